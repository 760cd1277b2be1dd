#include "decision.h"

#include "clock.h"
#include "cp1251.h"

namespace verdaline {
namespace {

using Kind = EntryOutcome::Kind;
using State = Platform::FileState;

// A side differs from what it held: gone, another size, or another two-second step.
bool changed(const State& now, const SideState& then) {
    return !now.exists || now.size != then.size || !sameStep(now.seconds, then.seconds);
}

Decision nothing(Kind outcome, bool remember = false) {
    return {outcome, Decision::Copy::None, false, remember};
}

Decision copying(Decision::Copy way, Kind outcome, bool conflict = false) {
    return {outcome, way, conflict, false};
}

Decision synchronisation(const State& computer, const State& flash, const std::optional<EntryState>& known,
                         const std::function<bool()>& sameContents) {
    using Copy = Decision::Copy;
    if (!computer.date || !flash.date) {
        return computer.date ? copying(Copy::ToFlash, Kind::NewToFlash)
               : flash.date  ? copying(Copy::ToComputer, Kind::NewToComputer)
                             : nothing(Kind::NotFound);
    }
    Freshness order = compareDates(*computer.date, *flash.date);
    if (known) {
        const bool computerChanged = changed(computer, known->computer);
        const bool flashChanged = changed(flash, known->flash);
        if (!computerChanged && !flashChanged) {
            return nothing(Kind::Equal);
        }
        if (computerChanged && flashChanged) {
            if (sameContents()) {
                return nothing(Kind::Equal, true);
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

Decision directed(bool toFlash, const State& source, const State& target,
                  const std::optional<EntryState>& known, const std::function<bool()>& sameContents) {
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
        const bool sourceChanged = changed(source, toFlash ? known->computer : known->flash);
        const bool targetChanged = changed(target, toFlash ? known->flash : known->computer);
        if (!sourceChanged && !targetChanged) {
            return nothing(Kind::Equal);
        }
        if (!targetChanged) {
            return copying(way, updated);
        }
        if (!sourceChanged) {
            return nothing(order == Freshness::TargetLater ? Kind::TargetLater : Kind::TargetChanged);
        }
        if (sameContents()) {
            return nothing(Kind::Equal, true);
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
                const std::optional<EntryState>& known, const std::function<bool()>& sameContents) {
    switch (kind) {
        case RunKind::ToFlash:
            return directed(true, computer, flash, known, sameContents);
        case RunKind::ToComputer:
            return directed(false, flash, computer, known, sameContents);
        case RunKind::Synchronise:
            break;
    }
    return synchronisation(computer, flash, known, sameContents);
}

bool sameContents(Platform& platform, const std::string& computerPath, const std::string& flashPath,
                  const Platform::FileState& computer, const Platform::FileState& flash) {
    bool same = false;
    return computer.size == flash.size && platform.compareFiles(computerPath, flashPath, same) == 0 && same;
}

bool usablePath(const std::string& path) {
    return isAbsolutePath(path);
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

State Planner::stateOf(const std::string& path) {
    if (!usablePath(path)) {
        return {};
    }
    const auto copied = m_copied.find(foldCase(path));
    return copied != m_copied.end() ? copied->second : m_platform.stateOf(path);
}

Planner::Planned Planner::entry(std::size_t index) {
    Planned planned;
    static const std::string none;
    static const std::optional<EntryState> unknown;
    const std::string& computerPath = m_files[index];
    const std::string& flashPath = index < m_flash.size() ? m_flash[index] : none;
    planned.computer = stateOf(computerPath);
    planned.flash = stateOf(flashPath);
    const auto& known = index < m_states.size() ? m_states[index] : unknown;
    planned.decision = decide(m_kind, planned.computer, planned.flash, known, [&] {
        return sameContents(m_platform, computerPath, flashPath, planned.computer, planned.flash);
    });
    Decision& d = planned.decision;
    if (d.copy != Decision::Copy::None) {
        const bool toFlash = d.copy == Decision::Copy::ToFlash;
        if (!usablePath(computerPath) || !usablePath(flashPath)) {
            d = {Kind::Failed, Decision::Copy::None, false, false};
        } else {
            m_copied[foldCase(toFlash ? flashPath : computerPath)] =
                toFlash ? planned.computer : planned.flash;
        }
    }
    return planned;
}

}  // namespace verdaline
