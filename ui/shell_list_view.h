#pragma once

#include <QFileSystemWatcher>
#include <QListWidget>
#include <string>

#include "platform.h"

namespace verdaline {

// The view of the files (not folders) of one folder, sorted, with small icons. It
// reads its folder again by itself whenever the folder changes.
class ShellListView : public QListWidget {
    Q_OBJECT
public:
    ShellListView(Platform& platform, QWidget* parent);

    const std::string& root() const { return m_root; }
    // A new root is read at once; the root it already has changes nothing.
    void setRoot(const std::string& root);

signals:
    // The items changed: a new root, or a change inside the folder.
    void itemsChanged();

private:
    void reload();

    Platform& m_platform;
    std::string m_root;
    QFileSystemWatcher m_watcher;
};

}  // namespace verdaline
