#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "paths.h"
#include "platform.h"

namespace verdaline {

// The folders and list files beside the program. Every path is the program folder
// (with its trailing separator) followed directly by a fixed name: nothing is
// normalised, so the paths are exactly the ones other computers see.
class WorkArea {
public:
    explicit WorkArea(std::string programFolder);

    const std::string& programFolder() const { return m_programFolder; }
    // Where the stick was mounted when the program found its folder. A stick detached
    // lazily leaves the folder's path on the computer's own disk, and one pulled leaves it
    // nowhere: either way the folder's file system is no longer mounted there.
    void keepMountPoint(std::string mountPoint) { m_mountPoint = std::move(mountPoint); }
    const std::string& mountPoint() const { return m_mountPoint; }

    std::string listsFolder() const;
    std::string computerListFile() const;
    // The file whose lock every change of the work area holds.
    std::string lockFile() const;
    std::string fileListFile(const std::string& computer) const;
    // Beside the file list: which copy on the stick is each entry's.
    std::string copiesListFile(const std::string& computer) const;
    std::string reportFile(const std::string& computer) const;
    // There while a run of the computer may have temporary files on the computer.
    std::string computerWritesMarker(const std::string& computer) const;
    // There while a computer is renamed: its old name and its new, so that whoever
    // starts next finishes what a pulled stick cut short.
    std::string renameJournal() const;
    std::string copiesFolder(const std::string& computer) const;
    std::string oldFilesFolder(const std::string& computer) const;
    // Where the replaced version of a file of that name is kept.
    std::string backupPath(const std::string& computer, const std::string& fileName) const;

private:
    std::string m_programFolder;
    std::string m_mountPoint;
};

inline constexpr const char* kOldFilesFolderName = "Старые файлы";
inline constexpr const char* kListsFolderName = "Списки_отчеты";
// The copies folder of a computer is the program folder, this and the computer's name.
inline constexpr const char* kCopiesFolderPrefix = "Файлы с компьютера_";

// The last folder name of a path: empty for a file directly in the root, a drive's
// root ("D:") included.
std::string holdingFolderOf(const std::string& path);
// Whether a path starts at a root: '/' here; a drive ("C:\\") or a share on Windows.
bool isAbsolutePath(const std::string& path);
// An absolute path in its plain spelling, the one file it names written one way: no
// doubled separators, "." or ".."; on Windows also a backslash for every '/', an
// upper-case drive letter, no "\\?\" prefix and no dots or spaces that end a name
// (Windows drops them).
// Letter case of the names stays.
std::string plainPath(const std::string& path);
// Whether Windows opens a file of that name, in any folder, as a device: CON, PRN, AUX,
// NUL, COM0-COM9, LPT0-LPT9, CONIN$, CONOUT$, in any letter case, with any extension.
bool isDeviceName(const std::string& fileName);
// A file name that every stick and Windows can carry: without the dots and spaces that
// Windows drops from the end of a name, and with "_" after a device name that Windows
// would open instead of the file.
std::string stickSafeName(const std::string& name);

// Held by every change of the work area (a list change, a copy run) from its reading
// to its last write, so that two programs on one stick never lose each other's
// changes. Makes the lists folder when missing; throws Failure when another program
// keeps the lock past the wait.
class WorkAreaLock {
public:
    static constexpr std::chrono::milliseconds kWait{3000};
    WorkAreaLock(Platform& platform, const WorkArea& area, std::chrono::milliseconds wait = kWait);
    // For reading the lists whole while no other program writes them. Makes nothing: with
    // no lock file yet, or on a stick nothing can write, there is nothing to wait for.
    enum class Reading { Yes };
    WorkAreaLock(Platform& platform, const WorkArea& area, Reading, std::chrono::milliseconds wait = kWait);

private:
    std::unique_ptr<FileLock> m_lock;
};


// Whether a path names a place of the program folder's own: the program and every file
// beside it, its libraries, lists, copies and kept versions, which no computer path may
// name. Compared with letter case ignored, as the stick compares names, and with links
// followed.
bool insideProgramFolder(Platform& platform, const WorkArea& area, const std::string& path);

// Whether the stick the program folder lies on is there: pulled out, or its mount gone,
// the folder cannot be seen; detached, or another disk mounted in its place, the folder
// lies on another mount than the one kept.
bool stickPresent(Platform& platform, const WorkArea& area);
// What to tell of a failure: the stick gone, whatever failed when it went, or the failure's own text.
std::string failureText(Platform& platform, const WorkArea& area, const std::exception& failure);

// Makes one folder level when the path is not a folder yet; throws Failure with the
// folder error text when it cannot.
void ensureFolder(Platform& platform, const std::string& path);
// The same for every missing level of an absolute path.
void ensureFolders(Platform& platform, const std::string& path);

}  // namespace verdaline
