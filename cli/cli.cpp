#include "cli.h"

#include <charconv>
#include <filesystem>

#include "computers.h"
#include "copy_run.h"
#include "decision.h"
#include "errors.h"
#include "file_list.h"
#include "on_plug.h"
#include "report.h"
#include "texts.h"
#include "this_computer_run.h"
#include "versions.h"
#include "work_area.h"

namespace verdaline {
namespace {

// UTF-8 both ways, whatever the narrow encoding of paths is (on Windows, the ANSI code page).
std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

constexpr int kDone = 0;
constexpr int kPartly = 1;
constexpr int kStopped = 2;

const char* const kUsage =
    "verdaline-cli: списки и копии Verdaline из командной строки.\n"
    "Работает с папками и списками рядом с программой, как и окно Verdaline.\n"
    "\n"
    "Команды:\n"
    "  status              номер диска, имя этого компьютера, число файлов в списке\n"
    "  register ИМЯ        зарегистрировать этот компьютер под именем ИМЯ\n"
    "  add ПУТЬ...         добавить файлы этого компьютера в список\n"
    "  add-from-flash [--tie] ФАЙЛ_НА_ФЛЕШКЕ ПУТЬ\n"
    "                      взять файл с флешки: скопировать его в ПУТЬ на этом компьютере и\n"
    "                      добавить в список; с --tie связать с ним уже записанный в списке ПУТЬ\n"
    "  rename ИМЯ          переименовать этот компьютер (его списки, отчет и папка копий\n"
    "                      на флешке получат новое имя)\n"
    "  remove N            убрать из списка файл под номером N\n"
    "  list                список: номер, путь на компьютере, путь на флешке\n"
    "  versions N          сохраненные версии файла номер N, новые первыми: номер версии,\n"
    "                      дата, размер в байтах, вид, путь на флешке\n"
    "  restore N K         вернуть версию K файла номер N: она будет записана и на компьютер,\n"
    "                      и на флешку, а их нынешние версии сохранятся в папке \"Старые файлы\"\n"
    "  plan to-flash|to-computer|sync\n"
    "                      что сделало бы копирование, ничего не записывая: номер, знак,\n"
    "                      путь на компьютере, путь на флешке; знаки: > на флешку, < на компьютер,\n"
    "                      = копировать нечего, ! изменены обе версии, ? нет исходного файла\n"
    "  to-flash            копировать с компьютера на флешку (кнопка \">\")\n"
    "  to-computer         копировать с флешки на компьютер (кнопка \"<\")\n"
    "  sync                синхронизировать (кнопка \"Синхронизация\")\n"
    "                      с --no-backups замененные версии не сохраняются (кроме конфликтов)\n"
    "  on-plug on|off|status\n"
    "                      синхронизировать этот компьютер при каждом подключении этой флешки:\n"
    "                      включить (наблюдатель копируется на компьютер), выключить (все\n"
    "                      записанное удаляется), узнать, включено ли\n"
    "  --help              эта справка\n"
    "\n"
    "Один файл на двух компьютерах (на работе и дома): добавьте его в список на первом\n"
    "компьютере и скопируйте на флешку; на втором выполните add-from-flash с его копией из\n"
    "папки \"Файлы с компьютера_ИМЯ_ПЕРВОГО\" на флешке. Оба компьютера будут работать с\n"
    "этой одной копией, и синхронизация перенесет изменения в обе стороны.\n"
    "\n"
    "Отчет о копировании сохраняется, как и в окне, и печатается.\n"
    "Код возврата: 0 - все выполнено; 1 - часть файлов не скопирована или не добавлена;\n"
    "2 - команда не выполнена (ошибка или компьютер не зарегистрирован).\n";

class Cli {
public:
    explicit Cli(CliContext& context)
        : m_c(context), m_area(context.programFolder), m_diskSerial(context.platform.systemVolumeSerial()) {}

    int run(const std::vector<std::string>& args) {
        if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
            m_c.out << kUsage;
            return args.empty() ? kStopped : kDone;
        }
        const std::string& command = args[0];
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        try {
            if (const auto dropped = finishRename(m_c.platform, m_area)) {
                m_c.err << *dropped << "\n";
            }
            if (command == "status" && rest.empty()) {
                return status();
            }
            if (command == "register" && rest.size() == 1) {
                return registerComputer(rest[0]);
            }
            if (command == "rename" && rest.size() == 1) {
                return renameComputer(rest[0]);
            }
            if (command == "add" && !rest.empty()) {
                return add(rest);
            }
            if (command == "add-from-flash" &&
                (rest.size() == 2 || (rest.size() == 3 && rest[0] == "--tie"))) {
                return addFromFlash(rest[rest.size() - 2], rest.back(), rest.size() == 3);
            }
            if (command == "remove" && rest.size() == 1) {
                return remove(rest[0]);
            }
            if (command == "list" && rest.empty()) {
                return list();
            }
            if (command == "versions" && rest.size() == 1) {
                return versions(rest[0], nullptr);
            }
            if (command == "restore" && rest.size() == 2) {
                return versions(rest[0], &rest[1]);
            }
            if (command == "on-plug" && rest.size() == 1 &&
                (rest[0] == "on" || rest[0] == "off" || rest[0] == "status")) {
                return onPlug(rest[0]);
            }
            if (command == "plan" && rest.size() == 1) {
                return plan(rest[0]);
            }
            const bool noBackups = rest.size() == 1 && rest[0] == "--no-backups";
            if (rest.empty() || noBackups) {
                for (const auto& [name, kind] : {std::pair{"to-flash", RunKind::ToFlash},
                                                 {"to-computer", RunKind::ToComputer},
                                                 {"sync", RunKind::Synchronise}}) {
                    if (command == name) {
                        return copy(kind, !noBackups);
                    }
                }
            }
        } catch (const std::exception& failure) {
            m_c.err << withFullStop(failureText(m_c.platform, m_area, failure)) << "\n";
            return kStopped;
        }
        m_c.err << "Непонятная команда или не то число аргументов: " << command
                << ". Список команд: verdaline-cli --help\n";
        return kStopped;
    }

private:
    std::optional<std::string> diskNumber() const { return diskNumberOf(m_diskSerial); }

    // The name this computer is registered under; on failure says why and gives nothing.
    std::optional<std::string> recognisedName() {
        const auto lines = readListFile(m_c.platform, m_area.computerListFile());
        const Recognition recognition = lines ? recognise(diskNumber(), *lines) : Recognition{};
        if (recognition.untrustedName) {
            m_c.err << texts::untrustedComputerName(m_area.computerListFile(), *recognition.untrustedName)
                    << "\n";
        }
        return recognition.name;
    }

    std::optional<std::string> requireRegistered() {
        auto name = recognisedName();
        if (!name) {
            m_c.err << "Этот компьютер не зарегистрирован: сначала выполните verdaline-cli register ИМЯ.\n";
        }
        return name;
    }

    // The file list and its flash-side list, as the window loads them at start.
    FileLists load(const std::string& name) {
        auto loaded = loadLists(m_c.platform, m_area, name);
        if (!loaded) {
            return {};
        }
        tell(loaded->notices);
        ensureFolder(m_c.platform, m_area.copiesFolder(name));
        return std::move(loaded->lists);
    }

    void tell(const std::vector<Notice>& notices) {
        for (const auto& notice : notices) {
            m_c.err << notice.text << (notice.text.ends_with("\n") ? "" : "\n");
        }
    }

    int status() {
        const auto disk = diskNumber();
        if (disk) {
            m_c.out << "Номер диска: " << *disk << "\n";
        } else {
            m_c.out << "Номер диска: не прочитан"
                    << (m_diskSerial.error != 0 ? " (" + systemReason(m_diskSerial.error) + ")"
                                                : std::string())
                    << "\n";
        }
        const auto name = recognisedName();
        if (!name) {
            m_c.out << "Компьютер: не зарегистрирован\n";
            return kDone;
        }
        m_c.out << "Компьютер: " << *name << "\n";
        const WorkAreaLock reading(m_c.platform, m_area, WorkAreaLock::Reading::Yes);
        const auto files = readListFile(m_c.platform, m_area.fileListFile(*name));
        m_c.out << "Файлов в списке: " << (files ? files->size() : 0) << "\n";
        return kDone;
    }

    int registerComputer(const std::string& name) {
        if (const auto already = recognisedName()) {
            m_c.err << "Этот компьютер уже зарегистрирован под именем \"" << *already << "\".\n";
            return kPartly;
        }
        Lines computers;  // read again under the lock by the registration
        if (const auto refusal = verdaline::registerComputer(m_c.platform, m_area, computers, name,
                                                             diskNumber(), m_diskSerial.error)) {
            m_c.err << *refusal << "\n";
            return kPartly;
        }
        m_c.out << "Компьютер зарегистрирован под именем \"" << name << "\".\n";
        return kDone;
    }

    int renameComputer(const std::string& name) {
        const auto current = requireRegistered();
        if (!current) {
            return kStopped;
        }
        if (const auto refusal = verdaline::renameComputer(m_c.platform, m_area, *current, name)) {
            m_c.err << *refusal << "\n";
            return kPartly;
        }
        m_c.out << texts::computerRenamed(*current, name) << "\n";
        return kDone;
    }

    // A path typed relative to the current folder, made absolute by name (as a shell
    // shows it); an absolute path stays exactly as typed, as the window takes it.
    std::string absolute(const std::string& path) const {
        if (isAbsolutePath(path)) {
            return path;
        }
        return utf8Of((pathOf(m_c.currentFolder) / pathOf(path)).lexically_normal());
    }

    int add(const std::vector<std::string>& given) {
        const auto name = requireRegistered();
        if (!name) {
            return kStopped;
        }
        std::vector<std::string> paths;
        for (const auto& path : given) {
            paths.push_back(absolute(path));
        }
        load(*name);
        return added(addEntries(m_c.platform, m_area, *name, {}, paths));
    }

    int addFromFlash(const std::string& flashFile, const std::string& computerPath, bool tie) {
        const auto name = requireRegistered();
        if (!name) {
            return kStopped;
        }
        load(*name);
        const std::string path = absolute(computerPath);
        const ListChange change =
            verdaline::addFromFlash(m_c.platform, m_area, *name, {}, absolute(flashFile), path, tie);
        if (change.canTie) {
            m_c.err << texts::tieHint(path, *change.canTie) << "\n";
            return kPartly;
        }
        if (change.added.empty() && change.notices.empty()) {
            m_c.out << "Связан с копией: " << *positionOf(change.lists.files, path) << "\t" << path << "\n";
        }
        return added(change);
    }

    // What a run would do with each entry, writing nothing at all.
    int plan(const std::string& what) {
        const auto kind = what == "to-flash"      ? std::optional(RunKind::ToFlash)
                          : what == "to-computer" ? std::optional(RunKind::ToComputer)
                          : what == "sync"        ? std::optional(RunKind::Synchronise)
                                                  : std::nullopt;
        if (!kind) {
            m_c.err << "Неизвестный вид копирования: " << what
                    << ". Возможны to-flash, to-computer и sync.\n";
            return kStopped;
        }
        const auto name = requireRegistered();
        if (!name) {
            return kStopped;
        }
        FileLists lists = readLists(m_c.platform, m_area, *name).value_or(FileLists{});
        const RunRequest request{
            *kind, *name, std::move(lists.files), std::move(lists.flash), true, std::move(lists.states), {}};
        Planner planner(m_c.platform, m_area, request.kind, request.fileList, request.flashList, request.states);
        for (std::size_t i = 0; i < request.fileList.size(); ++i) {
            m_c.out << i + 1 << '\t' << markOf(planner.entry(i).decision.outcome) << '\t'
                    << request.fileList[i] << '\t' << request.flashAt(i) << '\n';
        }
        return kDone;
    }

    int onPlug(const std::string& what) {
        const OnPlugPlaces places = onPlugPlaces();
        if (what == "status") {
            m_c.out << onPlugStatusText(m_c.platform, places);
            return kDone;
        }
        if (what == "off") {
            m_c.out << (turnOnPlugOff(m_c.platform, places)
                            ? "Синхронизация при подключении флешки выключена: наблюдатель остановлен, "
                              "его папка и автозапуск удалены.\n"
                            : "Синхронизация при подключении флешки и так выключена.\n");
            return kDone;
        }
        m_c.out << onPlugQuestion(places) << "\n";
        turnOnPlugOn(m_c.platform, m_area, places, m_area.programFolder() + watcherFileName());
        m_c.out << "Синхронизация при подключении флешки включена.\n"
                << onPlugStatusText(m_c.platform, places);
        return kDone;
    }

    // Prints the entries a change added, and tells its notices.
    int added(const ListChange& change) {
        tell(change.notices);
        for (const std::size_t i : change.added) {
            m_c.out << i + 1 << "\t" << change.lists.files[i] << "\t" << change.lists.flash[i] << "\n";
        }
        return change.notices.empty() ? kDone : kPartly;
    }

    int remove(const std::string& numberText) {
        const auto name = requireRegistered();
        if (!name) {
            return kStopped;
        }
        const FileLists lists = load(*name);
        const auto number = numberIn(numberText, lists.files.size());
        if (!number) {
            m_c.err << noSuchEntry(numberText, lists.files.size()) << "\n";
            return kPartly;
        }
        const ListChange change = removeEntry(m_c.platform, m_area, *name, lists, *number - 1);
        if (!change.removed) {
            m_c.err << "Файл под номером " << *number << " уже убран из списка другой копией программы.\n";
            return kPartly;
        }
        m_c.out << "Убран из списка: " << *number << "\t" << *change.removed << "\n";
        return kDone;
    }

    // A number typed for one of count things (from 1), or nothing.
    static std::optional<std::size_t> numberIn(const std::string& text, std::size_t count) {
        std::size_t number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error != std::errc() || end != text.data() + text.size() || number < 1 || number > count) {
            return std::nullopt;
        }
        return number;
    }

    static std::string noSuchEntry(const std::string& text, std::size_t count) {
        std::string said = "Нет файла под номером \"" + text;
        return said.append("\": в списке ").append(texts::count(count));
    }

    // Prints the kept versions of an entry, or takes one of them back.
    int versions(const std::string& entryText, const std::string* versionText) {
        const auto name = requireRegistered();
        if (!name) {
            return kStopped;
        }
        const FileLists lists = load(*name);
        const auto number = numberIn(entryText, lists.files.size());
        if (!number) {
            m_c.err << noSuchEntry(entryText, lists.files.size()) << "\n";
            return kStopped;
        }
        const std::string& path = lists.files[*number - 1];
        std::vector<FileVersion> kept;
        {
            const WorkAreaLock reading(m_c.platform, m_area, WorkAreaLock::Reading::Yes);
            kept = keptVersionsOf(m_c.platform, m_area, *name, path, lists.flash[*number - 1]);
        }
        if (!versionText) {
            for (std::size_t k = 0; k < kept.size(); ++k) {
                m_c.out << k + 1 << '\t' << localTimeText(kept[k].time.seconds, "%Y-%m-%d %H:%M:%S") << '\t'
                        << kept[k].size << '\t' << versionKindText(kept[k].kind) << '\t' << kept[k].path
                        << '\n';
            }
            return kDone;
        }
        const auto version = numberIn(*versionText, kept.size());
        if (!version) {
            m_c.err << "Нет версии под номером \"" << *versionText << "\": у файла " << *number
                    << " сохранено версий: " << kept.size() << ".\n";
            return kStopped;
        }
        try {
            restoreVersion(m_c.platform, m_area, *name, path, kept[*version - 1].path);
        } catch (const Failure& failure) {
            m_c.err << withFullStop(failureText(m_c.platform, m_area, failure)) << "\n";
            return kPartly;
        }
        m_c.out << texts::versionRestored(path) << "\n";
        return kDone;
    }

    int list() {
        const auto name = requireRegistered();
        if (!name) {
            return kStopped;
        }
        const FileLists lists = load(*name);
        for (std::size_t i = 0; i < lists.files.size(); ++i) {
            m_c.out << i + 1 << "\t" << lists.files[i] << "\t" << lists.flash[i] << "\n";
        }
        return kDone;
    }

    int copy(RunKind kind, bool backups) {
        const auto name = requireRegistered();
        if (!name) {
            return kStopped;
        }
        std::size_t total = 0;
        std::function<void(std::size_t)> progress;
        if (m_c.showProgress) {
            progress = [this, &total](std::size_t index) {
                if (index % 64 == 0 || index + 1 == total) {
                    m_c.err << "\rФайл " << index + 1 << " из " << total << std::flush;
                }
            };
        }
        const auto loaded = [&](const ThisComputerRun& run) {
            tell(run.notices);
            if (run.emptyList) {
                m_c.err << "Ошибка " << emptyListErrorNumber() << "\n";
            }
            total = run.request.fileList.size();
        };
        const ThisComputerRun run =
            runForThisComputer(m_c.platform, m_area, m_c.clock, *name, kind, backups, loaded, progress);
        const RunResult& result = run.result;
        if (m_c.showProgress && total > 0) {
            m_c.err << "\r\033[K" << std::flush;
        }
        writeReportText(m_c.out, reportSize(result),
                        [&](std::size_t i) { return reportLineAt(run.request, result, i); });
        for (const auto& reason : run.reasons) {
            m_c.err << reason << "\n";
        }
        if (result.failure) {
            m_c.err << withFullStop(*result.failure) << "\n";
        }
        if (const std::size_t conflicts = summarise(result).conflicts) {
            m_c.err << texts::conflictsKept(conflicts) << "\n";
        }
        return result.anyFailed() ? kPartly : kDone;
    }

    CliContext& m_c;
    WorkArea m_area;
    VolumeSerial m_diskSerial;
};

}  // namespace

int runCli(const std::vector<std::string>& arguments, CliContext& context) {
    return Cli(context).run(arguments);
}

}  // namespace verdaline
