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
                         const std::string& flashPath, const std::string& computerName) {
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
        case Kind::NotFound:
            break;
    }
    return join({"НЕ НАЙДЕН- Файл N", number, "   ", computerPath, "  из списка  ", computerName});
}

std::string synchronisationLine(const EntryOutcome& o, const std::string& computerPath,
                                const std::string& flashPath, const std::string& computerName) {
    const std::string number = std::to_string(o.number);
    switch (o.kind) {
        case Kind::Equal:
        case Kind::TargetLater:
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
        case Kind::NotFound:
            break;
    }
    return join({"НЕ НАЙДЕН- Файл N", number, "   ", computerPath, "  из списка  ", computerName,
                 "   ни на компьютере ни на флешке."});
}

}  // namespace

std::string reportLine(RunKind kind, const EntryOutcome& outcome, const std::string& computerPath,
                       const std::string& flashPath, const std::string& computerName) {
    return kind == RunKind::Synchronise ? synchronisationLine(outcome, computerPath, flashPath, computerName)
                                        : directedLine(kind, outcome, computerPath, flashPath, computerName);
}

Lines closingLines(RunKind kind, const std::string& timestamp) {
    const std::string separator = kind == RunKind::ToFlash ? "-------------" : "_____________";
    return {"       ", separator + timestamp + separator};
}

void saveReport(Platform& platform, const WorkArea& area, const std::string& computerName, std::size_t entries,
                const std::function<std::string(std::size_t)>& lineAt, const Lines& closing,
                std::size_t sizeBound) {
    ensureFolder(platform, area.listsFolder());
    const std::string path = area.reportFile(computerName);
    // Encoded line by line: a long report is not held a second time as one UTF-8 text.
    // Room for the most it can take, since growing would hold it twice for a moment;
    // what the bytes do not fill is never touched.
    std::string bytes;
    bytes.reserve(sizeBound);
    const auto add = [&bytes](const std::string& line) {
        appendCp1251Lossy(line, bytes);
        bytes += "\r\n";
    };
    for (std::size_t i = 0; i < entries; ++i) {
        add(lineAt(i));
    }
    for (const auto& line : closing) {
        add(line);
    }
    if (const int error = platform.writeFile(path, bytes)) {
        throw Failure(cannotCreateFileText(path, error));
    }
}

std::optional<std::string> readableReportCopy(Platform& platform, const WorkArea& area,
                                              const std::string& computerName, const std::string& folder) {
    const auto lines = readListFile(platform, area.reportFile(computerName));
    if (!lines) {
        return std::nullopt;
    }
    ensureFolders(platform, folder);
    const std::string path = folder + kSeparator + fileNameOf(area.reportFile(computerName));
    if (const int error = platform.writeFile(path, reportText(*lines))) {
        throw Failure(cannotCreateFileText(path, error));
    }
    return path;
}

void writeReportText(std::ostream& out, const Lines& report) {
    // In pieces of some size: a call per line costs more than the line on a long report.
    constexpr std::size_t kPiece = std::size_t(1) << 16;
    std::string piece;
    piece.reserve(kPiece);
    for (const auto& line : report) {
        piece += line;
        piece += '\n';
        if (piece.size() >= kPiece) {
            out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
            piece.clear();
        }
    }
    out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
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
