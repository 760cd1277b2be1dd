#include "fitted_lines.h"

#include <QListView>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QtMath>
#include <map>

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

void FittedLines::showMarks(const std::vector<char>* marks) {
    beginResetModel();
    m_marks = marks;
    endResetModel();
}

void FittedLines::marksChanged(std::size_t first, std::size_t last) {
    if (m_lines != nullptr && first <= last && last < m_lines->size()) {
        emit dataChanged(index(static_cast<int>(first)), index(static_cast<int>(last)),
                         {Qt::DecorationRole, Qt::UserRole});
    }
}

namespace {

constexpr int kMarkSize = 12;

// A mark as a small round sign in its colour.
QPixmap markPicture(char mark) {
    static std::map<char, QPixmap> pictures;
    auto& picture = pictures[mark];
    if (picture.isNull()) {
        const QColor colour = mark == '>'   ? QColor(0, 120, 215)
                              : mark == '<' ? QColor(200, 110, 0)
                              : mark == '!' ? QColor(200, 0, 0)
                              : mark == '?' ? QColor(120, 120, 120)
                                            : QColor(0, 150, 70);
        picture = QPixmap(kMarkSize, kMarkSize);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(0.5, 0.5, kMarkSize - 1, kMarkSize - 1));
        QFont font = painter.font();
        font.setPixelSize(10);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, kMarkSize, kMarkSize), Qt::AlignCenter, QString(QLatin1Char(mark)));
    }
    return picture;
}

}  // namespace

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
    const char mark = m_marks != nullptr && row < m_marks->size() ? (*m_marks)[row] : ' ';
    if (role == Qt::DecorationRole || role == Qt::UserRole) {
        if (m_marks == nullptr) {
            return {};
        }
        if (role == Qt::UserRole) {
            return QString(QLatin1Char(mark));
        }
        return mark == ' ' ? QVariant() : QVariant(markPicture(mark));
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
    const int width = m_box->contentsRect().width() - m_box->verticalScrollBar()->sizeHint().width() -
                      2 * margin - (m_marks != nullptr ? kMarkSize + 2 * margin : 0);
    return m_box->fontMetrics().elidedText(
        QString::fromStdString(inFolder ? line.substr(m_folder.size()) : line), Qt::ElideLeft, width);
}

}  // namespace verdaline
