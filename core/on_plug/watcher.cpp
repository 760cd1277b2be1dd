#include "watcher.h"

#include <algorithm>
#include <array>

#include "computers.h"
#include "list_file.h"
#include "stick_number.h"
#include "texts.h"
#include "this_computer_run.h"

namespace verdaline {

bool mayHoldStick(const Mount& mount) {
    // The kernel's own file systems, memory, images of packages and network shares: looking
    // into a share that does not answer would hold the watcher up.
    static constexpr std::array<const char*, 31> kNeverAStick = {
        "proc",       "sysfs",     "devtmpfs",       "devpts", "cgroup",   "cgroup2",    "mqueue",
        "debugfs",    "tracefs",   "securityfs",     "pstore", "bpf",      "autofs",     "configfs",
        "fusectl",    "hugetlbfs", "binfmt_misc",    "nsfs",   "efivarfs", "rpc_pipefs", "tmpfs",
        "ramfs",      "squashfs",  "overlay",        "nfs",    "nfs4",     "cifs",       "smb3",
        "fuse.sshfs", "9p",        "fuse.gvfsd-fuse"};
    return std::none_of(kNeverAStick.begin(), kNeverAStick.end(),
                        [&](const char* type) { return mount.type == type; });
}

namespace {

bool among(const std::vector<Mount>& mounts, const Mount& mount) {
    return std::find(mounts.begin(), mounts.end(), mount) != mounts.end();
}

}  // namespace

void SeenMounts::forgetGone(const std::vector<Mount>& now) {
    std::erase_if(m_known, [&](const Mount& mount) { return !among(now, mount); });
}

std::vector<Mount> SeenMounts::appeared(const std::vector<Mount>& settled) {
    std::vector<Mount> appeared;
    for (const Mount& mount : settled) {
        if (!among(m_known, mount)) {
            appeared.push_back(mount);
        }
    }
    m_known = settled;
    return appeared;
}

namespace {

bool holdsStick(Platform& platform, const std::string& folder, const std::string& number) {
    const WorkArea area(folder);
    if (!platform.isFile(stickNumberFile(area))) {
        return false;
    }
    try {
        return readStickNumber(platform, area) == number;
    } catch (const std::exception&) {
        return false;
    }
}

std::string withSeparator(std::string folder) {
    if (folder.empty() || folder.back() != kSeparator) {
        folder += kSeparator;
    }
    return folder;
}

}  // namespace

std::vector<std::string> stickFoldersAmong(Platform& platform, const std::vector<Mount>& mounts,
                                           const OnPlugState& state) {
    std::vector<std::string> found;
    for (const Mount& mount : mounts) {
        if (!mayHoldStick(mount)) {
            continue;
        }
        const std::string root = withSeparator(mount.point);
        std::vector<std::string> candidates = {root + state.folderOnStick, root};
        for (const auto& name : platform.namesIn(root)) {
            candidates.push_back(root + name + kSeparator);
        }
        for (const auto& candidate : candidates) {
            if (holdsStick(platform, candidate, state.stickNumber)) {
                found.push_back(candidate);
                break;
            }
        }
    }
    return found;
}

namespace {

std::string travelled(const RunSummary& summary) {
    return "На флешку: " + std::to_string(summary.toFlash) +
           ", на компьютер: " + std::to_string(summary.toComputer) + ".";
}

}  // namespace

PlugNotice synchroniseOnPlug(Platform& platform, Clock& clock, const std::string& programFolder,
                             const std::string& mountPoint, OnPlugState& state) {
    WorkArea area(programFolder);
    area.keepMountPoint(mountPoint);
    PlugNotice notice;
    try {
        finishRename(platform, area);
        const auto computers = readListFile(platform, area.computerListFile());
        const auto name = computers ? recognise(diskNumberOf(platform.systemVolumeSerial()), *computers).name
                                    : std::nullopt;
        if (!name) {
            return {"Verdaline: компьютер не зарегистрирован",
                    "Этот компьютер не зарегистрирован на флешке " + programFolder +
                        ": запустите Verdaline с флешки и добавьте его."};
        }
        const ThisComputerRun run =
            runForThisComputer(platform, area, clock, *name, RunKind::Synchronise, true);
        const RunSummary summary = summarise(run.result);
        if (run.result.failure) {
            notice.summary = "Verdaline: синхронизация прервана";
            notice.body = *run.result.failure;
        } else {
            notice.summary = summary.failed > 0 || summary.conflicts > 0
                                 ? "Verdaline: синхронизация с замечаниями"
                                 : "Verdaline: файлы синхронизированы";
            notice.body = travelled(summary);
            if (summary.conflicts > 0) {
                notice.body += "\n" + texts::conflictsKept(summary.conflicts);
            }
            for (const auto& reason : run.reasons) {
                notice.body += "\n" + reason;
            }
            notice.body += "\nОтчет: " + area.reportFile(*name);
        }
        state.lastSynchronised =
            clock.timestamp() + ", " + programFolder + ": " +
            (run.result.failure ? std::string("прервана") : travelled(summary)) +
            (summary.conflicts > 0 ? " Конфликтов: " + std::to_string(summary.conflicts) + "."
                                   : std::string()) +
            (summary.failed > 0 ? " Не скопировано: " + std::to_string(summary.failed) + "." : std::string());
    } catch (const std::exception& failure) {
        notice.summary = "Verdaline: синхронизация не выполнена";
        notice.body = failureText(platform, area, failure);
        state.lastSynchronised = clock.timestamp() + ", " + programFolder + ": не выполнена";
    }
    return notice;
}

}  // namespace verdaline
