#include "run_troubles.h"

#include "report.h"

namespace verdaline {
namespace {

using Kind = EntryOutcome::Kind;

// "Конфликтов: 1. Не скопировано: 2."
std::string counted(const RunTroubles& troubles) {
    std::string text;
    if (troubles.conflicts > 0) {
        text = "Конфликтов: " + std::to_string(troubles.conflicts) + ".";
    }
    if (troubles.failed > 0) {
        text += (text.empty() ? "" : " ") + std::string("Не скопировано: ") + std::to_string(troubles.failed) + ".";
    }
    return text;
}

}  // namespace

RunTroubles runTroubles(const RunRequest& request, const RunResult& result, const Lines& reasons) {
    RunTroubles troubles;
    for (std::size_t i = 0; i < result.outcomes.size(); ++i) {
        const EntryOutcome& outcome = result.outcomes[i];
        if (outcome.kind != Kind::ConflictToFlash && outcome.kind != Kind::ConflictToComputer) {
            continue;
        }
        const bool toFlash = outcome.kind == Kind::ConflictToFlash;
        std::string line = "Файл N" + std::to_string(outcome.number) + " " + request.fileList[outcome.number - 1] +
                           ": изменен и на компьютере, и на флешке; более новая версия скопирована " +
                           (toFlash ? "с компьютера на флешку" : "с флешки на компьютер") + ", версия " +
                           (toFlash ? "с флешки" : "с компьютера") + " сохранена";
        if (const std::string* kept = result.keptFor(i)) {
            line += ": " + *kept;
            troubles.keptVersions.push_back(*kept);
            troubles.keptEntries.push_back(outcome.number - 1);
        }
        troubles.lines.push_back(line + ".");
        ++troubles.conflicts;
    }
    troubles.lines.insert(troubles.lines.end(), reasons.begin(), reasons.end());
    troubles.failed = reasons.size();
    return troubles;
}

std::string runMessage(const RunTroubles& troubles, const Lines& report) {
    if (!troubles.any()) {
        return reportText(report);
    }
    const std::string text = counted(troubles) + "\n\n" + reportText(troubles.lines);
    return report.empty() ? text : text + "\nОтчет:\n" + reportText(report);
}

std::string openKeptVersionsQuestion(const RunTroubles& troubles) {
    const std::string question = "Показать версии файла, чтобы открыть или вернуть другую версию?";
    if (troubles.keptEntries.size() <= 1) {
        return question;
    }
    std::string text = "Показать версии файла N" + std::to_string(troubles.keptEntries.front() + 1);
    return text.append(
        ", чтобы открыть или вернуть другую версию? Версии остальных файлов покажет "
        "пункт \"Версии файла...\" в меню списка.");
}

std::string troublesNotice(const RunTroubles& troubles, const std::string& endedAt) {
    return "Синхронизация в " + endedAt + ". " + counted(troubles) + " Подробности - в отчете.";
}

}  // namespace verdaline
