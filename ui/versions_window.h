#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "dialogs.h"
#include "platform.h"
#include "versions.h"
#include "work_area.h"

class QPushButton;
class QTableWidget;

namespace verdaline {

// One entry's versions: what the computer and the stick hold now and every version kept
// on the stick, newest first, each to be opened, saved elsewhere, taken back or removed.
class VersionsWindow : public QWidget {
    Q_OBJECT
public:
    VersionsWindow(Platform& platform, const WorkArea& area, Dialogs& dialogs, QWidget* parent = nullptr);

    // Shows the versions of the computer's entry at computerPath, in front.
    void showEntry(const std::string& computer, const std::string& computerPath);
    const std::vector<FileVersion>& versions() const { return m_versions; }

signals:
    // A version was taken back: both sides of the entry changed.
    void restored();

private:
    void refresh();
    void chooseRow();
    const FileVersion* chosen() const;
    void openVersion();
    void restoreVersion();
    void saveVersionAs();
    void removeVersion();
    void act(const std::function<void()>& action);

    Platform& m_platform;
    const WorkArea& m_area;
    Dialogs& m_dialogs;
    std::string m_computer;
    std::string m_computerPath;
    std::string m_flashPath;
    std::vector<FileVersion> m_versions;

    QTableWidget* m_versionTable = nullptr;
    QPushButton* m_openButton = nullptr;
    QPushButton* m_restoreButton = nullptr;
    QPushButton* m_saveAsButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_closeButton = nullptr;
};

}  // namespace verdaline
