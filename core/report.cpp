#include "report.h"

#include "cp1251.h"
#include "errors.h"

namespace verdaline {
namespace {

using Kind = EntryOutcome::Kind;

std::string directedLine(RunKind kind, const EntryOutcome& o, const std::string& computerName) {
    const std::string number = std::to_string(o.number);
    // The copy to the computer names its source, the copy, in every line but one.
    const std::string& source = kind == RunKind::ToFlash ? o.computerPath : o.flashPath;
    switch (o.kind) {
        case Kind::Equal:
            return "Не копирую- Файл N" + number + "   " + source + "   - даты изменений равны";
        case Kind::TargetLater:
            return "Не копирую- Файл N" + number + "   " + source + "   - ДАТА ИЗМЕНЕНИЯ МЕНЬШЕ";
        case Kind::UpdatedToFlash:
            return "Выполнено- Файл N" + number + "   " + source + " - обновлен.";
        case Kind::UpdatedToComputer:
            return "Выполнено- Файл N" + number + "   " + source + " - обновлен";
        case Kind::NewToFlash:
        case Kind::NewToComputer:
            return "Выполнено- Файл N" + number + "   " + source + " - новый.";
        case Kind::Failed:
            return "Ошибка " + std::to_string(o.error) + " Файл N" + number + "   " + source;
        case Kind::NotFound:
            break;
    }
    return "НЕ НАЙДЕН- Файл N" + number + "   " + o.computerPath + "  из списка  " + computerName;
}

std::string synchronisationLine(const EntryOutcome& o, const std::string& computerName) {
    const std::string number = std::to_string(o.number);
    switch (o.kind) {
        case Kind::Equal:
        case Kind::TargetLater:
            return "Не копирую - Файлы N" + number + " " + o.computerPath + "    и    " + o.flashPath +
                   " - даты изменений равны.";
        case Kind::UpdatedToFlash:
            return "Выполнено - Файл N" + number + " " + o.computerPath +
                   " - Обновлен с компьютера на флешку.";
        case Kind::UpdatedToComputer:
            return "Выполнено - Файл N" + number + " " + o.flashPath + " - Обновлен с флешки на компьютер.";
        case Kind::NewToFlash:
            return "Выполнено - Файл N" + number + " " + o.computerPath +
                   " - Новый - с компьютера на флешку.";
        case Kind::NewToComputer:
            return "Выполнено - Файл N" + number + " " + o.flashPath + " - Новый - с флешки на компьютер.";
        case Kind::Failed:
            return "Ошибка " + std::to_string(static_cast<unsigned>(o.error));
        case Kind::NotFound:
            break;
    }
    return "НЕ НАЙДЕН- Файл N" + number + "   " + o.computerPath + "  из списка  " + computerName +
           "   ни на компьютере ни на флешке.";
}

}  // namespace

std::string reportLine(RunKind kind, const EntryOutcome& outcome, const std::string& computerName) {
    return kind == RunKind::Synchronise ? synchronisationLine(outcome, computerName)
                                        : directedLine(kind, outcome, computerName);
}

void finishReport(Lines& report, RunKind kind, const std::string& timestamp) {
    const std::string separator = kind == RunKind::ToFlash ? "-------------" : "_____________";
    report.push_back("       ");
    report.push_back(separator + timestamp + separator);
}

void saveReport(Platform& platform, const WorkArea& area, const std::string& computerName,
                const Lines& report) {
    ensureFolder(platform, area.listsFolder());
    const std::string path = area.reportFile(computerName);
    if (const int error = platform.writeFile(path, encodeCp1251Lossy(joinLines(report)))) {
        throw Failure(cannotCreateFileText(path, error));
    }
}

std::string reportText(const Lines& report) {
    std::string text;
    for (const auto& line : report) {
        text += line;
        text += '\n';
    }
    return text;
}

}  // namespace verdaline
