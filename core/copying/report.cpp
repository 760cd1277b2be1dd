#include "report.h"

#include "cp1251.h"
#include "errors.h"

namespace verdaline {
namespace {

using Kind = EntryOutcome::Kind;

// Joins the parts of a report line with one allocation: a long run makes a line per entry.
std::string join(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const auto part : parts) {
        size += part.size();
    }
    std::string line;
    line.reserve(size);
    for (const auto part : parts) {
        line += part;
    }
    return line;
}

std::string directedLine(RunKind kind, const EntryOutcome& o, const std::string& computerPath,
                         const std::string& flashPath, const std::string& computerName,
                         const std::string& kept) {
    const std::string number = std::to_string(o.number);
    // The copy to the computer names its source, the copy, in every line but one.
    const std::string& source = kind == RunKind::ToFlash ? computerPath : flashPath;
    switch (o.kind) {
        case Kind::Equal:
            return join({"Не копирую- Файл N", number, "   ", source, "   - даты изменений равны"});
        case Kind::TargetLater:
            return join({"Не копирую- Файл N", number, "   ", source, "   - ДАТА ИЗМЕНЕНИЯ МЕНЬШЕ"});
        case Kind::UpdatedToFlash:
            return join({"Выполнено- Файл N", number, "   ", source, " - обновлен."});
        case Kind::UpdatedToComputer:
            return join({"Выполнено- Файл N", number, "   ", source, " - обновлен"});
        case Kind::NewToFlash:
        case Kind::NewToComputer:
            return join({"Выполнено- Файл N", number, "   ", source, " - новый."});
        case Kind::Failed:
            return join({"Ошибка ", std::to_string(o.error), " Файл N", number, "   ", source});
        case Kind::TargetChanged:
            return join({"Не копирую- Файл N", number, "   ", source,
                         kind == RunKind::ToFlash
                             ? "   - КОПИЯ НА ФЛЕШКЕ ИЗМЕНЕНА ПОСЛЕ ПРОШЛОГО КОПИРОВАНИЯ"
                             : "   - ФАЙЛ НА КОМПЬЮТЕРЕ ИЗМЕНЕН ПОСЛЕ ПРОШЛОГО КОПИРОВАНИЯ"});
        case Kind::ConflictToFlash:
            return join({"Конфликт- Файл N", number, "   ", source,
                         " - обновлен, но копия на флешке тоже была изменена; ее версия сохранена: ", kept});
        case Kind::ConflictToComputer:
            return join(
                {"Конфликт- Файл N", number, "   ", source,
                 " - обновлен, но файл на компьютере тоже был изменен; его версия сохранена: ", kept});
        case Kind::NotFound:
            break;
    }
    return join({"НЕ НАЙДЕН- Файл N", number, "   ", computerPath, "  из списка  ", computerName});
}

std::string synchronisationLine(const EntryOutcome& o, const std::string& computerPath,
                                const std::string& flashPath, const std::string& computerName,
                                const std::string& kept) {
    const std::string number = std::to_string(o.number);
    switch (o.kind) {
        case Kind::Equal:
        case Kind::TargetLater:
        case Kind::TargetChanged:
            return join({"Не копирую - Файлы N", number, " ", computerPath, "    и    ", flashPath,
                         " - даты изменений равны."});
        case Kind::UpdatedToFlash:
            return join(
                {"Выполнено - Файл N", number, " ", computerPath, " - Обновлен с компьютера на флешку."});
        case Kind::UpdatedToComputer:
            return join({"Выполнено - Файл N", number, " ", flashPath, " - Обновлен с флешки на компьютер."});
        case Kind::NewToFlash:
            return join(
                {"Выполнено - Файл N", number, " ", computerPath, " - Новый - с компьютера на флешку."});
        case Kind::NewToComputer:
            return join({"Выполнено - Файл N", number, " ", flashPath, " - Новый - с флешки на компьютер."});
        case Kind::Failed:
            return join({"Ошибка ", std::to_string(static_cast<unsigned>(o.error))});
        case Kind::ConflictToFlash:
            return join(
                {"Конфликт - Файл N", number, " ", computerPath,
                 " - Изменены обе версии: более новая скопирована с компьютера на флешку, версия с флешки "
                 "сохранена: ",
                 kept});
        case Kind::ConflictToComputer:
            return join({"Конфликт - Файл N", number, " ", flashPath,
                         " - Изменены обе версии: более новая скопирована с флешки на компьютер, версия с "
                         "компьютера сохранена: ",
                         kept});
        case Kind::NotFound:
            break;
    }
    return join({"НЕ НАЙДЕН- Файл N", number, "   ", computerPath, "  из списка  ", computerName,
                 "   ни на компьютере ни на флешке."});
}

// The lines in pieces of some size, each as encode puts it, then an empty piece: a
// call per line would cost more than the line on a long report.
Platform::Pieces piecesOf(std::size_t lines, const LineAt& lineAt,
                          void (*encode)(const std::string& line, std::string& piece)) {
    constexpr std::size_t kPiece = std::size_t(1) << 16;
    return [=, next = std::size_t(0), piece = std::string()]() mutable -> std::string_view {
        piece.clear();
        for (; next < lines && piece.size() < kPiece; ++next) {
            encode(lineAt(next), piece);
        }
        return piece;
    };
}

}  // namespace

std::string reportLine(RunKind kind, const EntryOutcome& outcome, const std::string& computerPath,
                       const std::string& flashPath, const std::string& computerName,
                       const std::string* kept) {
    static const std::string none;
    std::string line =
        kind == RunKind::Synchronise
            ? synchronisationLine(outcome, computerPath, flashPath, computerName, kept ? *kept : none)
            : directedLine(kind, outcome, computerPath, flashPath, computerName, kept ? *kept : none);
    if (outcome.computerInFuture || outcome.flashInFuture) {
        line += outcome.computerInFuture && outcome.flashInFuture ? " (дата в будущем у обеих версий)"
                : outcome.computerInFuture ? " (дата в будущем у файла на компьютере)"
                                           : " (дата в будущем у копии на флешке)";
    }
    return line;
}

Lines closingLines(RunKind kind, const std::string& timestamp) {
    const std::string separator = kind == RunKind::ToFlash ? "-------------" : "_____________";
    return {"       ", separator + timestamp + separator};
}

void saveReport(Platform& platform, const WorkArea& area, const std::string& computerName, std::size_t lines,
                const LineAt& lineAt) {
    ensureFolder(platform, area.listsFolder());
    const std::string path = area.reportFile(computerName);
    const auto encode = [](const std::string& line, std::string& piece) {
        appendCp1251Lossy(line, piece);
        piece += "\r\n";
    };
    if (const int error = platform.writeFileInPieces(path, piecesOf(lines, lineAt, encode))) {
        throw Failure(cannotCreateFileText(path, error), error);
    }
}

std::optional<Lines> lastReport(Platform& platform, const WorkArea& area, const std::string& computerName) {
    const WorkAreaLock reading(platform, area, WorkAreaLock::Reading::Yes);
    return readListFile(platform, area.reportFile(computerName));
}

void writeReportText(std::ostream& out, std::size_t lines, const LineAt& lineAt) {
    const auto nextPiece = piecesOf(lines, lineAt, [](const std::string& line, std::string& piece) {
        piece += line;
        piece += '\n';
    });
    for (std::string_view piece = nextPiece(); !piece.empty(); piece = nextPiece()) {
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
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
