#include "decision.h"

#include <cerrno>

#include "clock.h"
#include "cp1251.h"

namespace verdaline {
namespace {

using Kind = EntryOutcome::Kind;
using State = Platform::FileState;

Decision nothing(Kind outcome, bool remember = false, std::optional<Digest> digest = std::nullopt) {
    return {outcome, Decision::Copy::None, false, remember, digest};
}

Decision copying(Decision::Copy way, Kind outcome, bool conflict = false) {
    return {outcome, way, conflict, false, std::nullopt};
}

enum class Change { None, Redated, Changed };

// How a side stands against what it held: the same time and size, not changed (nothing
// read); another size, or gone, changed; another time alone, changed only if its content
// differs from the one both sides held. A state of an older version holds whole seconds:
// there a side changed when its size or its two-second step did.
template <typename DigestNow>
Change changeOf(const State& now, const SideState& then, const EntryState& known, DigestNow digestNow) {
    if (!now.exists || now.size != then.size) {
        return Change::Changed;
    }
    if (!known.exact) {
        return sameStep(now.seconds, then.time.seconds) ? Change::None : Change::Changed;
    }
    if (now.time() == then.time) {
        return Change::None;
    }
    if (!known.digest) {
        return Change::Changed;
    }
    const std::optional<Digest>& digest = digestNow();
    return digest && *digest == *known.digest ? Change::Redated : Change::Changed;
}

// What changed on each side since the last run, and what both sides hold where that
// is known, so that a side only re-dated is remembered with its new time.
struct Changes {
    bool computer = false;
    bool flash = false;
    bool remember = false;
    std::optional<Digest> digest;
};

// Whether both sides hold the same bytes now.
bool sameBytes(const State& computer, const State& flash, SideDigests& digests) {
    if (computer.size != flash.size) {
        return false;
    }
    const auto& a = digests.computer();
    const auto& b = digests.flash();
    return a && b && *a == *b;
}

Changes changesSince(const State& computer, const State& flash, const EntryState& known,
                     SideDigests& digests) {
    Change c = changeOf(
        computer, known.computer, known, [&]() -> const auto& { return digests.computer(); });
    Change f = changeOf(
        flash, known.flash, known, [&]() -> const auto& { return digests.flash(); });
    std::optional<Digest> digest = known.digest;
    // Without a digest, a side whose time alone moved is measured against the other side,
    // which has not changed: both held the same bytes when they were remembered.
    if (known.exact && !known.digest && (c == Change::Changed) != (f == Change::Changed)) {
        const bool computerMoved = c == Change::Changed;
        const SideState& then = computerMoved ? known.computer : known.flash;
        const State& now = computerMoved ? computer : flash;
        if (now.exists && now.size == then.size && sameBytes(computer, flash, digests)) {
            (computerMoved ? c : f) = Change::Redated;
            digest = digests.computer();
        }
    }
    // A state of an older version is written anew in the exact form.
    const bool remember = c == Change::Redated || f == Change::Redated || !known.exact;
    return {c == Change::Changed, f == Change::Changed, remember, digest};
}

Decision synchronisation(const State& computer, const State& flash, const std::optional<EntryState>& known,
                         SideDigests& digests) {
    using Copy = Decision::Copy;
    if (!computer.date || !flash.date) {
        return computer.date ? copying(Copy::ToFlash, Kind::NewToFlash)
               : flash.date  ? copying(Copy::ToComputer, Kind::NewToComputer)
                             : nothing(Kind::NotFound);
    }
    Freshness order = compareDates(*computer.date, *flash.date);
    if (known) {
        const Changes changes = changesSince(computer, flash, *known, digests);
        const bool computerChanged = changes.computer;
        const bool flashChanged = changes.flash;
        if (!computerChanged && !flashChanged) {
            return nothing(Kind::Equal, changes.remember, changes.digest);
        }
        if (computerChanged && flashChanged) {
            if (sameBytes(computer, flash, digests)) {
                return nothing(Kind::Equal, true, digests.computer());
            }
            return order == Freshness::TargetLater ? copying(Copy::ToComputer, Kind::ConflictToComputer, true)
                                                   : copying(Copy::ToFlash, Kind::ConflictToFlash, true);
        }
        // The side that changed travels, whatever the dates.
        order = computerChanged ? Freshness::TargetEarlier : Freshness::TargetLater;
    }
    switch (order) {
        case Freshness::TargetEarlier:
            return copying(Copy::ToFlash, Kind::UpdatedToFlash);
        case Freshness::TargetLater:
            return copying(Copy::ToComputer, Kind::UpdatedToComputer);
        case Freshness::Equal:
            break;
    }
    return nothing(Kind::Equal, true);
}

Decision directed(bool toFlash, const State& computer, const State& flash,
                  const std::optional<EntryState>& known, SideDigests& digests) {
    const State& source = toFlash ? computer : flash;
    const State& target = toFlash ? flash : computer;
    const auto way = toFlash ? Decision::Copy::ToFlash : Decision::Copy::ToComputer;
    if (!source.date) {
        return nothing(Kind::NotFound);
    }
    if (!target.date) {
        return copying(way, toFlash ? Kind::NewToFlash : Kind::NewToComputer);
    }
    const Kind updated = toFlash ? Kind::UpdatedToFlash : Kind::UpdatedToComputer;
    const Freshness order = compareDates(*source.date, *target.date);
    if (known) {
        const Changes changes = changesSince(computer, flash, *known, digests);
        const bool sourceChanged = toFlash ? changes.computer : changes.flash;
        const bool targetChanged = toFlash ? changes.flash : changes.computer;
        if (!sourceChanged && !targetChanged) {
            return nothing(Kind::Equal, changes.remember, changes.digest);
        }
        if (!targetChanged) {
            return copying(way, updated);
        }
        if (!sourceChanged) {
            return nothing(order == Freshness::TargetLater ? Kind::TargetLater : Kind::TargetChanged);
        }
        if (sameBytes(computer, flash, digests)) {
            return nothing(Kind::Equal, true, digests.computer());
        }
        return copying(way, toFlash ? Kind::ConflictToFlash : Kind::ConflictToComputer, true);
    }
    switch (order) {
        case Freshness::TargetLater:
            return nothing(Kind::TargetLater);
        case Freshness::TargetEarlier:
            return copying(way, updated);
        case Freshness::Equal:
            break;
    }
    return nothing(Kind::Equal, true);
}

}  // namespace

Decision decide(RunKind kind, const State& computer, const State& flash,
                const std::optional<EntryState>& known, SideDigests& digests) {
    switch (kind) {
        case RunKind::ToFlash:
            return directed(true, computer, flash, known, digests);
        case RunKind::ToComputer:
            return directed(false, computer, flash, known, digests);
        case RunKind::Synchronise:
            break;
    }
    return synchronisation(computer, flash, known, digests);
}

const std::optional<Digest>& SideDigests::of(int side) {
    if (!m_read[side]) {
        m_read[side] = true;
        Digest digest;
        if (usablePath(*m_paths[side]) && m_platform.digestOf(*m_paths[side], digest) == 0) {
            m_digests[side] = digest;
        }
    }
    return m_digests[side];
}

bool usablePath(const std::string& path) {
#ifdef _WIN32
    // Windows would open the device of that name, not a file.
    if (isDeviceName(fileNameOf(path))) {
        return false;
    }
#endif
    return isAbsolutePath(path);
}

int accessDenied() {
#ifdef _WIN32
    return 5;  // ERROR_ACCESS_DENIED
#else
    return EACCES;
#endif
}

int refusedCopy(Platform& platform, const WorkArea& area, const std::string& computerPath, bool toComputer) {
    return toComputer && insideProgramFolder(platform, area, computerPath) ? accessDenied() : 0;
}

char markOf(Kind outcome) {
    switch (outcome) {
        case Kind::UpdatedToFlash:
        case Kind::NewToFlash:
            return '>';
        case Kind::UpdatedToComputer:
        case Kind::NewToComputer:
            return '<';
        case Kind::ConflictToFlash:
        case Kind::ConflictToComputer:
            return '!';
        case Kind::Equal:
        case Kind::TargetLater:
        case Kind::TargetChanged:
            return '=';
        case Kind::Failed:
        case Kind::NotFound:
            break;
    }
    return '?';
}

std::string planTip(Platform& platform, char mark, const std::string& computerPath,
                    const std::string& flashPath) {
    const State computer = usablePath(computerPath) ? platform.stateOf(computerPath) : State{};
    const State flash = usablePath(flashPath) ? platform.stateOf(flashPath) : State{};
    const auto date = [](const State& side) {
        return side.exists ? localTimeText(static_cast<std::time_t>(side.seconds), "%x %X")
                           : std::string("нет файла");
    };
    std::string what;
    switch (mark) {
        case '>':
            what = "Будет скопирован с компьютера на флешку.";
            break;
        case '<':
            what = "Будет скопирован с флешки на компьютер.";
            break;
        case '=':
            what = "Копировать нечего.";
            break;
        case '!':
            what =
                "Изменены обе версии: более новая заменит другую, а та сохранится в папке \"Старые файлы\".";
            break;
        default:
            what = "Копировать неоткуда: исходного файла нет или путь к нему не годится.";
            break;
    }
    return what + "\nНа компьютере: " + date(computer) + "\nНа флешке: " + date(flash);
}

void PlanCounts::add(char mark) {
    toFlash += mark == '>';
    toComputer += mark == '<';
    conflicts += mark == '!';
    missing += mark == '?';
}

std::string planSummary(const PlanCounts& counts) {
    return "Будет скопировано: на флешку " + std::to_string(counts.toFlash) + ", на компьютер " +
           std::to_string(counts.toComputer) + ", конфликтов " + std::to_string(counts.conflicts) +
           (counts.missing > 0 ? ", не найдено " + std::to_string(counts.missing) : std::string());
}

State Planner::stateOf(const std::string*& path) {
    if (!usablePath(*path)) {
        return {};
    }
    const auto copied = m_copied.find(foldCase(*path));
    if (copied == m_copied.end()) {
        return m_platform.stateOf(*path);
    }
    path = &copied->second.second;
    return copied->second.first;
}

Planner::Planned Planner::entry(std::size_t index) {
    Planned planned;
    static const std::string none;
    static const std::optional<EntryState> unknown;
    const std::string& computerPath = m_files[index];
    const std::string& flashPath = index < m_flash.size() ? m_flash[index] : none;
    const std::string* computerContent = &computerPath;
    const std::string* flashContent = &flashPath;
    planned.computer = stateOf(computerContent);
    planned.flash = stateOf(flashContent);
    const auto& known = index < m_states.size() ? m_states[index] : unknown;
    SideDigests digests(m_platform, *computerContent, *flashContent);
    planned.decision = decide(m_kind, planned.computer, planned.flash, known, digests);
    Decision& d = planned.decision;
    if (d.copy != Decision::Copy::None) {
        const bool toFlash = d.copy == Decision::Copy::ToFlash;
        // A device or a pipe fails its copy at once, as the run finds.
        if (!usablePath(computerPath) || !usablePath(flashPath) || planned.computer.special ||
            planned.flash.special || refusedCopy(m_platform, m_area, computerPath, !toFlash) != 0 ||
            (index < m_foreign.size() && m_foreign[index])) {
            d = {Kind::Failed, Decision::Copy::None, false, false, std::nullopt};
        } else {
            m_copied[foldCase(toFlash ? flashPath : computerPath)] = {
                toFlash ? planned.computer : planned.flash, toFlash ? *computerContent : *flashContent};
        }
    }
    return planned;
}

}  // namespace verdaline
