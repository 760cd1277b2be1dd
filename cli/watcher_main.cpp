// verdaline-watcher: waits, costing nothing, for this computer's stick to be mounted, and
// synchronises this computer's entries on it, as "verdaline-cli sync" would. Installed
// in the user's data folder by turning the option on; never run from a stick.
#include <algorithm>
#include <clocale>

#include "native_platform.h"
#include "on_plug.h"
#include "watcher.h"

namespace {

using verdaline::Mount;

bool among(const std::vector<Mount>& mounts, const Mount& mount) {
    return std::find(mounts.begin(), mounts.end(), mount) != mounts.end();
}

// Forgets the mounts gone from what is mounted now: the system gives a later mount the
// number of one that went, so a stick pulled and put back must not look as if it stayed.
void forgetGone(std::vector<Mount>& known, const std::vector<Mount>& now) {
    std::erase_if(known, [&](const Mount& mount) { return !among(now, mount); });
}

// The mounts as they are once the desktop has stopped changing them.
std::vector<Mount> settledMounts(std::vector<Mount>& known) {
    std::vector<Mount> mounts = verdaline::currentMounts();
    forgetGone(known, mounts);
    for (;;) {
        verdaline::pauseForSettling();
        std::vector<Mount> now = verdaline::currentMounts();
        forgetGone(known, now);
        if (now == mounts) {
            return mounts;
        }
        mounts = std::move(now);
    }
}

}  // namespace

int main() {
    std::setlocale(LC_ALL, "");
    using namespace verdaline;
    const OnPlugPlaces places = onPlugPlaces();
    NativePlatform platform;
    SystemClock clock;
    if (places.dataFolder.empty() || !becomeTheOnlyWatcher(places)) {
        return 0;
    }
    std::vector<Mount> known;  // the mounts already looked at
    for (;;) {
        auto state = readOnPlugState(platform, places);
        if (!onPlugIsOn(platform, places) || !state) {
            return 0;  // turned off, or removed by hand
        }
        const std::vector<Mount> mounts = settledMounts(known);
        std::vector<Mount> appeared;
        for (const Mount& mount : mounts) {
            if (!among(known, mount)) {
                appeared.push_back(mount);
            }
        }
        known = mounts;
        for (const std::string& folder : stickFoldersAmong(platform, appeared, *state)) {
            if (windowOpenOn(folder)) {
                continue;  // the window synchronises as it was told to
            }
            const PlugNotice notice =
                synchroniseOnPlug(platform, clock, folder, platform.mountPointOf(folder), *state);
            try {
                writeOnPlugState(platform, places, *state);
            } catch (const std::exception&) {
                // what the last run did is only for "status": the run itself is done
            }
            notifyDesktop(notice.summary, notice.body);
        }
        if (!waitForMountChange()) {
            return 0;
        }
    }
}
