// verdaline-watcher: waits, costing nothing, for this computer's stick to be mounted, and
// synchronises this computer's entries on it, as "verdaline-cli sync" would. Installed
// in the user's data folder by turning the option on; never run from a stick.
#include <clocale>

#include "native_platform.h"
#include "on_plug.h"
#include "watcher.h"

namespace {

// The mounts as they are once the desktop has stopped changing them; every look at them
// tells seen which went.
std::vector<verdaline::Mount> settledMounts(verdaline::SeenMounts& seen) {
    std::vector<verdaline::Mount> mounts = verdaline::currentMounts();
    seen.forgetGone(mounts);
    for (;;) {
        verdaline::pauseForSettling();
        std::vector<verdaline::Mount> now = verdaline::currentMounts();
        seen.forgetGone(now);
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
    SeenMounts seen;
    for (;;) {
        auto state = readOnPlugState(platform, places);
        if (!onPlugIsOn(platform, places) || !state) {
            return 0;  // turned off, or removed by hand
        }
        const std::vector<Mount> appeared = seen.appeared(settledMounts(seen));
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
