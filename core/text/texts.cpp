#include "texts.h"

#include <vector>

#include "errors.h"

namespace {
constexpr const char* kOldFilesFolder = "Старые файлы";
}  // namespace

namespace verdaline::texts {

std::string count(std::size_t n) {
    return std::to_string(n) + " шт.";
}

std::string lineOutsideCp1251(const std::string& path, const std::string& line) {
    return "Файл \"" + path + "\" не записан: строка \"" + line +
           "\" содержит символы, которых нет в кодировке Windows-1251 (кириллица), "
           "а списки на флешке хранятся в ней.";
}

std::string computerNameForbiddenCharacter(const std::string& name) {
    return "Имя \"" + name +
           "\" не подходит: оно станет частью имен файлов и папок на флешке, а в них нельзя "
           "использовать символы \\ / : * ? \" < > | и управляющие символы. Выберите другое имя.";
}

std::string computerNameLeftoverSpelledOtherwise(const std::string& leftover) {
    return "На флешке остались файлы компьютера с тем же именем в другом написании: \"" + leftover +
           "\" (большие и малые буквы флешка не различает). Зарегистрируйте компьютер под именем в "
           "том же написании или выберите другое имя.";
}

std::string computerNameTaken(const std::string& name) {
    return "Имя \"" + name +
           "\" уже занято на этой флешке (большие и малые буквы флешка не различает). Выберите другое "
           "имя.";
}

std::string computerRenamed(const std::string& from, const std::string& to) {
    return "Компьютер \"" + from + "\" переименован в \"" + to + "\".";
}

std::string renameNotFinished(const std::string& from, const std::string& to, int error) {
    std::string text = "\"" + from + "\" не переименован в \"" + to + "\": ";
    text += explained(systemReason(error), error);
    text += " Переименование закончится при следующем запуске программы с этой флешки.";
    return text;
}

std::string folderNotMade(const std::string& folder, int error) {
    std::string text = withFullStop(folderErrorText(error));
    text += " Не удалось создать папку \"";
    text += folder;
    text += "\". ";
    text += errorInWords(error);
    return text;
}

std::string computerNameOutsideCp1251(const std::string& name) {
    return "Имя \"" + name +
           "\" не подходит: в нем есть символы, которых нет в кодировке Windows-1251 (кириллица), "
           "а список компьютеров хранится в ней. Выберите другое имя.";
}

std::string computerNameTooLong(std::size_t longestBytes) {
    return "Имя слишком длинное: оно станет частью имен файлов и папок на флешке, а имя файла там не "
           "длиннее 255 байт. Выберите имя не длиннее " +
           std::to_string(longestBytes) +
           " байт (русская буква занимает 2 байта, латинская буква, цифра "
           "или знак - 1 байт).";
}

std::string computerNameTrailingDotOrSpace(const std::string& name) {
    return "Имя \"" + name +
           "\" не подходит: оно кончается точкой или пробелом, а флешка отбрасывает их в конце "
           "имени папки, и папки двух компьютеров могут совпасть. Выберите другое имя.";
}

std::string diskNumberUnreadable(int error) {
    std::string reason = error != 0 ? " (" + systemReason(error) + ")" : std::string();
    return "Не удалось прочитать номер системного диска этого компьютера" + reason +
           ". По этому номеру программа узнает компьютер при следующих запусках, "
           "поэтому без него компьютер зарегистрировать нельзя.";
}

std::string pathOutsideCp1251(const std::string& path) {
    return "Путь \"" + path +
           "\" не добавлен в список: в нем есть символы, которых нет в кодировке Windows-1251 "
           "(кириллица), а список файлов хранится в ней. Переименуйте файл или папку.";
}

std::string pathWithLineBreak(const std::string& path) {
    return "Путь \"" + path +
           "\" не добавлен в список: в нем есть перевод строки, а в списке файлов каждый путь занимает "
           "одну строку. Переименуйте файл или папку.";
}

std::string pathNotForStick(const std::string& path, char character) {
    const std::string shown = static_cast<unsigned char>(character) < 0x20
                                  ? "управляющий символ"
                                  : std::string("\"") + character + "\"";
    return "Файл \"" + path + "\" не добавлен в список: имя его копии на флешке содержало бы знак " + shown +
           ", а флешка такие имена не принимает. Переименуйте файл (или его папку).";
}

std::string pathIsFolder(const std::string& path) {
    return "Путь \"" + path + "\" не добавлен в список: это папка, а в список добавляются только файлы.";
}

std::string pathIsDevice(const std::string& path) {
    return "Путь \"" + path +
           "\" не добавлен в список: это устройство или канал, а не файл (в Windows имена CON, NUL, AUX, "
           "PRN, COM0-COM9, LPT0-LPT9, CONIN$ и CONOUT$ с любым расширением означают устройства). В "
           "список добавляются только обычные файлы: выберите файл или переименуйте его.";
}

std::string computerListUnreadable(const std::string& reason) {
    return "Компьютер не зарегистрирован: " + reason +
           ". Новый список компьютеров заменил бы записи других компьютеров. Проверьте флешку и "
           "повторите регистрацию.";
}

std::string workAreaBusy() {
    return "С этой флешкой сейчас работает другая копия программы: она меняет списки или копирует "
           "файлы. Дождитесь, пока она закончит, и повторите.";
}

std::string userListOutsideCp1251(const std::string& line) {
    return "Список не сохранен: строка \"" + line +
           "\" содержит символы, которых нет в кодировке Windows-1251 (кириллица), а списки на флешке "
           "хранятся в ней. Исправьте строку и сохраните список снова.";
}

std::string duplicateCaption() {
    return "Проверка наличия файла в списке";
}

std::string duplicateEntry(const std::string& path, std::size_t position) {
    return "Файл с именем " + path + " уже есть в списке под номером " + std::to_string(position) + "\r\n";
}

std::string synchronisationStatus(const std::string& endedAt, std::size_t toFlash, std::size_t toComputer,
                                  std::size_t failed, std::size_t conflicts, const std::string& nextAt,
                                  const std::string& skippedAt) {
    std::vector<std::string> lines;
    if (!skippedAt.empty()) {
        lines.push_back("Пропущена: " + skippedAt + ", нет флешки");
    } else if (!endedAt.empty()) {
        lines.push_back("Последняя: " + endedAt);
    }
    if (!endedAt.empty()) {
        lines.push_back("на флешку " + std::to_string(toFlash) + ", на компьютер " +
                        std::to_string(toComputer) + ",");
        lines.push_back("ошибок " + std::to_string(failed) + ", конфликтов " + std::to_string(conflicts));
    }
    if (!nextAt.empty()) {
        lines.push_back("Следующая: " + nextAt);
    }
    std::string text;
    for (const auto& line : lines) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

namespace {

std::string megabytes(std::uint64_t bytes) {
    return std::to_string((bytes + (1 << 20) - 1) >> 20) + " МБ";
}

}  // namespace

std::string failureReason(std::size_t number, const std::string& path, int error, bool onStick,
                          std::optional<std::uint64_t> needed, std::optional<std::uint64_t> free) {
    const std::string where = onStick ? "на флешке" : "на компьютере";
    std::string reason;
    switch (meaningOf(error)) {
        case ErrorMeaning::NoSpace:
            reason = where + " не хватает места";
            if (needed && free) {
                reason += ": нужно " + megabytes(*needed) + ", свободно " + megabytes(*free);
            }
            break;
        case ErrorMeaning::NoAccess:
            reason = "нет доступа " + where + ": файл только для чтения или папка закрыта для записи";
            break;
        case ErrorMeaning::WriteProtected:
            reason = onStick ? "флешка защищена от записи" : "диск компьютера защищен от записи";
            break;
        case ErrorMeaning::NotConnected:
            reason = onStick ? "флешка вынута или недоступна" : "диск компьютера недоступен";
            break;
        case ErrorMeaning::ChangedWhileCopied:
            reason =
                "файл менялся, пока его копировали; закройте его в программе, где он открыт, и повторите";
            break;
        case ErrorMeaning::ReadOrWrite:
            reason = "ошибка чтения или записи " + where + " (или флешка не сохранила дату изменения файла)";
            break;
        case ErrorMeaning::NotRegularFile:
            reason = "это не обычный файл, а устройство или канал";
            break;
        case ErrorMeaning::NotFound:
            reason = "нет папки, куда копировать, или файла, откуда";
            break;
        case ErrorMeaning::IsFolder:
            reason = "на месте файла " + where + " лежит папка";
            break;
        case ErrorMeaning::Exists:
            reason = "на месте файла " + where + " уже есть другой с тем же именем";
            break;
        case ErrorMeaning::NameTooLong:
            reason = "слишком длинное имя или путь " + where;
            break;
        case ErrorMeaning::TooLarge:
            reason = "файл слишком велик для " +
                     std::string(onStick ? "флешки (FAT32 берет не больше 4 ГБ)" : "диска");
            break;
        case ErrorMeaning::InUse:
            reason = "файл занят другой программой";
            break;
        case ErrorMeaning::Other:
            reason = "ошибка " + std::to_string(error) + " (" + systemReason(error) + ")";
            break;
    }
    return "Файл N" + std::to_string(number) + " " + path + ": " + reason + ".";
}

std::string replacedVersionNotKept() {
    return ", а заменяемую версию с компьютера нужно сохранить на ней, поэтому файл не заменен (без "
           "резервных копий он заменится, если это не конфликт).";
}

std::string noReportYet() {
    return "Отчета еще нет: он появится после первого копирования.";
}

std::string stickPulled() {
    return "Флешка вынута или недоступна. Вставьте ее снова и повторите: то, что было сделано до этого, "
           "цело.";
}

std::string stickMissing() {
    return "Флешка не найдена: вставьте ее снова";
}

std::string stickWriteProtected() {
    return "Флешка защищена от записи: на нее нельзя ничего записать. Снимите защиту (переключатель на "
           "флешке) или вставьте ее заново и повторите.";
}

std::string reportNotSavedWriteProtected() {
    return "Флешка защищена от записи, поэтому отчет о копировании на ней не сохранен.";
}

std::string conflictsKept(std::size_t conflicts) {
    return "Конфликтов: " + std::to_string(conflicts) +
           ". Файл изменен и на компьютере, и на флешке: скопирована более новая версия, а другая "
           "сохранена в папке \"" +
           std::string(kOldFilesFolder) + "\" (где именно - в строке \"Конфликт\").";
}

std::string copyFailed(const std::string& source, const std::string& target, int error) {
    std::string text = "Файл \"" + source + "\" не скопирован в \"" + target + "\": ";
    text += explained(systemReason(error), error);
    text += " Файл в список не добавлен.";
    return text;
}

std::string notOnStick(const std::string& path) {
    return "Файл \"" + path +
           "\" не добавлен в список: его нет на флешке. Выберите файл на флешке, например в папке "
           "копий другого компьютера.";
}

std::string listedAlready(const std::string& path, std::size_t position) {
    return "Файл \"" + path + "\" уже есть в списке под номером " + std::to_string(position) +
           ". Выберите для файла с флешки другое место или другое имя.";
}

std::string tiedAlready(const std::string& path, std::size_t position) {
    return "Файл \"" + path + "\" уже есть в списке под номером " + std::to_string(position) +
           " и уже связан с этой копией на флешке: синхронизация сама переносит изменения.";
}

std::string copyOfAnotherEntry(const std::string& copy, std::size_t position) {
    return "Копия \"" + copy + "\" уже связана с файлом номер " + std::to_string(position) +
           " этого списка. Одна копия на флешке служит одному файлу компьютера.";
}

std::string computerVersionNotKept(const std::string& path, int error) {
    std::string text =
        "Файл \"" + path + "\" не заменен: его нынешнюю версию не удалось сохранить в папке \"";
    text += kOldFilesFolder;
    text += "\". ";
    text += explained(systemReason(error), error);
    text += " Файл в список не добавлен.";
    return text;
}

std::string tieCaption() {
    return "Файл уже есть в списке";
}

std::string tieQuestion(const std::string& path, std::size_t position, const std::string& copy) {
    return "Файл \"" + path + "\" уже есть в списке под номером " + std::to_string(position) +
           ".\n\nСвязать его с копией \"" + copy +
           "\"? Копия будет скопирована на компьютер, а нынешняя версия файла сохранится в папке \"" +
           kOldFilesFolder + "\" на флешке. Дальше изменения будут переноситься между ними.";
}

std::string tieHint(const std::string& path, std::size_t position) {
    return "Файл \"" + path + "\" уже есть в списке под номером " + std::to_string(position) +
           ". Чтобы связать его с этой копией (нынешняя версия файла сохранится в папке \"" +
           kOldFilesFolder +
           "\"), повторите команду с --tie: verdaline-cli add-from-flash --tie ФАЙЛ_НА_ФЛЕШКЕ ПУТЬ";
}

std::string copiesNowRemembered(std::size_t entries) {
    return "Для " + std::to_string(entries) +
           " файл(ов) списка на флешке не было записано, какая копия чья (список записан прежней "
           "версией программы или изменен вручную). Копии найдены по прежнему правилу и теперь "
           "запомнены.";
}

std::string copyOfTwoEntries(std::size_t entry, const std::string& path, std::size_t owner,
                             const std::string& ownerPath, const std::string& copy, const std::string& newCopy) {
    std::string text = "В списке копий на флешке файлы " + std::to_string(owner) + " (\"" + ownerPath;
    text += "\") и " + std::to_string(entry) + " (\"" + path + "\") были связаны с одной копией \"";
    text += copy + "\" (список изменен вручную или поврежден). Копия осталась за файлом ";
    text += std::to_string(owner) + ", а файлу " + std::to_string(entry) + " дана своя копия \"";
    text += newCopy + "\". Проверьте обе копии перед следующим копированием.";
    return text;
}

std::string untrustedComputerName(const std::string& computerListFile, const std::string& name) {
    return "В списке компьютеров \"" + computerListFile + "\" этот компьютер записан под именем \"" + name +
           "\", которое нельзя использовать в именах файлов и папок на флешке. "
           "Зарегистрируйте компьютер под другим именем.";
}

std::string newerOtherWay(bool onStick, std::size_t count) {
    return std::string(onStick ? "на флешке новее: " : "на компьютере новее: ") + std::to_string(count) +
           (onStick ? " — нажмите «<»" : " — нажмите «>»");
}

std::string newerOtherWayTip(bool onStick) {
    return onStick ? "На флешке более новая версия: нажмите «<»."
                   : "На компьютере более новая версия: нажмите «>».";
}

std::string createFolderQuestion(const std::string& folder) {
    return "Папки \"" + folder + "\" на этом компьютере еще нет. Создать ее и положить файл туда?";
}

std::string computerRenamedMeanwhile(const std::string& from, const std::optional<std::string>& to) {
    return "Имя этого компьютера на флешке сменилось, пока окно показывало \"" + from + "\": " +
           (to ? "теперь он называется \"" + *to + "\", и окно показывает его списки"
               : "его больше нет в списке компьютеров") +
           ". Ничего не записано; повторите, если нужно.";
}

std::string pathInProgramFolder(const std::string& path) {
    return "Файл \"" + path +
           "\" не добавлен в список: он лежит в папке программы на флешке, среди ее собственных файлов, "
           "списков и копий, которые программа сама пишет. Выберите файл на компьютере.";
}

std::string userListLineInProgramFolder(const std::string& line) {
    return "Строка \"" + line +
           "\" указывает в папку программы, но не на копию в папке \"Файлы с компьютера_...\": копирование "
           "записало бы файл поверх собственных файлов программы.";
}

std::string userListLineOfAnotherEntry(const std::string& line, const std::string& owner) {
    return "Строка \"" + line + "\" указывает на копию другого файла (" + owner +
           "): копирование записало бы один файл поверх другого.";
}

std::string userListOtherLength(std::size_t lines, std::size_t entries) {
    return "В пользовательском списке " + std::to_string(lines) + " строк, а в списке файлов " +
           std::to_string(entries) + ": строка N относится к файлу N, проверьте, что строки стоят против своих "
           "файлов, прежде чем копировать.";
}

std::string anotherComputersFile() {
    return "файла другого компьютера";
}

std::string computerNameEmpty() {
    return "Имя компьютера не может быть пустым: оно входит в имена папки и списков на флешке. Введите имя.";
}

std::string listChangeUndone(const std::string& reason) {
    return reason + " Список не изменен, а файл на компьютере оставлен таким, каким был.";
}

std::string renameJournalDropped(const std::string& from, const std::string& to) {
    return "Незаконченное переименование компьютера \"" + from + "\" в \"" + to +
           "\" не продолжено: такого компьютера на флешке нет или имя уже занято другим. Ничего не изменено.";
}

std::string versionRestored(const std::string& path) {
    std::string text = "Версия возвращена: она теперь и в файле \"" + path +
                       "\", и в его копии на флешке. Замененные ею версии сохранены в папке \"";
    return text.append(kOldFilesFolder).append("\".");
}

std::string versionNotRestored(const std::string& path, int error) {
    std::string text = "Версию файла \"" + path + "\" вернуть не удалось: ";
    text += explained(systemReason(error), error);
    return text.append(" Файл и его копия остались как были.");
}

std::string versionNotSaved(const std::string& version, const std::string& target, int error) {
    std::string text = "Версия \"" + version + "\" не сохранена в \"" + target + "\": ";
    return text.append(explained(systemReason(error), error));
}

std::string versionNotRemoved(const std::string& version, int error) {
    std::string text = "Версия \"" + version + "\" не удалена: ";
    return text.append(explained(systemReason(error), error));
}

std::string versionGone(const std::string& version) {
    return "Версии \"" + version + "\" больше нет среди сохраненных версий этого файла на флешке.";
}

std::string entryGone(const std::string& path) {
    return "Файла \"" + path + "\" больше нет в списке этого компьютера.";
}

std::string versionRemoveQuestion(const std::string& version) {
    return "Удалить сохраненную версию \"" + version + "\" с флешки? Ее нельзя будет вернуть.";
}

std::string versionRestoreQuestion(const std::string& date, const std::string& path) {
    std::string text = "Вернуть версию от " + date + "? Она будет записана в файл \"";
    text.append(path).append("\" и в его копию на флешке, а их нынешние версии сохранятся в папке \"");
    return text.append(kOldFilesFolder).append("\".");
}

}  // namespace verdaline::texts
