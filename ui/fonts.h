#pragma once

#include <QFont>
#include <QIcon>

namespace verdaline {

// The windows are drawn in "MS Sans Serif" 8 pt and the arrows in "Times New Roman";
// where those are not installed, in fonts of the same widths that Debian provides
// (Liberation Sans and Liberation Serif, metric twins of Arial and Times New Roman),
// and DejaVu as the last resort.
QFont windowFont(int pointSize = 8, bool bold = false);
QFont arrowFont();

// The program's icon, drawn for 16, 32 and 48 pixels.
QIcon programIcon();

}  // namespace verdaline
