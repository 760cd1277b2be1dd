#include "shell_list_view.h"

#include <QStyle>

namespace verdaline {

ShellListView::ShellListView(Platform& platform, QWidget* parent)
    : QListWidget(parent), m_platform(platform) {
    setViewMode(QListView::ListMode);
    setIconSize(QSize(16, 16));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { reload(); });
}

void ShellListView::setRoot(const std::string& root) {
    if (root == m_root) {
        return;
    }
    if (!m_watcher.directories().isEmpty()) {
        m_watcher.removePaths(m_watcher.directories());
    }
    m_root = root;
    reload();
}

void ShellListView::reload() {
    const QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    clear();
    for (const auto& name : m_platform.filesIn(m_root)) {
        addItem(new QListWidgetItem(icon, QString::fromStdString(name)));
    }
    // Also a folder that was removed and made again, which the watcher forgot.
    if (m_watcher.directories().isEmpty() && m_platform.isFolder(m_root)) {
        m_watcher.addPath(QString::fromStdString(m_root));
    }
    emit itemsChanged();
}

}  // namespace verdaline
