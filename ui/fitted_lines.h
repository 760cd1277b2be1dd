#pragma once

#include <QAbstractListModel>
#include <string>
#include <vector>

#include "list_file.h"

class QListView;

namespace verdaline {

// The rows of a read-only list box, over lines the window keeps. A file list may hold
// 100,000 entries, so nothing is held per line: the box asks only for the rows in
// sight, and each is fitted to the box when asked for. A path wider than the box loses
// its beginning, so that every file name stays in sight; a path in the folder given
// shows as its bare name.
class FittedLines : public QAbstractListModel {
    Q_OBJECT
public:
    // Becomes the model of the box, which it fits its rows to.
    explicit FittedLines(QListView* box);

    // The lines to show from now on, or none; called again whenever they change.
    void show(const Lines* lines, std::string folder = {});
    // A plan's mark before each row ('>', '<', '=', '!', '?'; a space while not known),
    // or none; rows first..last got theirs.
    void showMarks(const std::vector<char>* marks);
    void marksChanged(std::size_t first, std::size_t last);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QListView* m_box;
    const Lines* m_lines = nullptr;
    std::string m_folder;
    const std::vector<char>* m_marks = nullptr;
};

}  // namespace verdaline
