#include "fitted_lines.h"

#include <QListView>
#include <QScrollBar>
#include <QStyle>
#include <QtMath>

#include "work_area.h"

namespace verdaline {

FittedLines::FittedLines(QListView* box) : QAbstractListModel(box), m_box(box) {
    box->setModel(this);
}

void FittedLines::show(const Lines* lines, std::string folder) {
    beginResetModel();
    m_lines = lines;
    m_folder = std::move(folder);
    endResetModel();
}

int FittedLines::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || m_lines == nullptr ? 0 : static_cast<int>(m_lines->size());
}

QVariant FittedLines::data(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    if (m_lines == nullptr || row >= m_lines->size()) {
        return {};
    }
    if (role == Qt::SizeHintRole) {  // rows as far apart as the lines of a text box
        return QSize(0, qCeil(QFontMetricsF(m_box->font()).lineSpacing()));
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const std::string& line = (*m_lines)[row];
    const bool inFolder = !m_folder.empty() && line.size() > m_folder.size() && line.starts_with(m_folder) &&
                          line.find(kSeparator, m_folder.size()) == std::string::npos;
    // The width the box draws a row's text in: its inside less the scroll bar, which
    // is always there, and the margin on either side of the text. Read from the box's
    // frame rather than from its viewport, which is laid out only once the window shows.
    const int margin = m_box->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_box) + 1;
    const int width =
        m_box->contentsRect().width() - m_box->verticalScrollBar()->sizeHint().width() - 2 * margin;
    return m_box->fontMetrics().elidedText(
        QString::fromStdString(inFolder ? line.substr(m_folder.size()) : line), Qt::ElideLeft, width);
}

}  // namespace verdaline
