// Synchronising on plugging in, on Windows: the per-user Run value, %LOCALAPPDATA%, a
// named mutex and stop event, and the drives' arrival messages.
#include <windows.h>
// After windows.h, whose types it uses.
#include <dbt.h>

#include <cstdint>
#include <cwchar>
#include <map>
#include <string>

#include "on_plug_system.h"
#include "windows_platform.h"

namespace verdaline {
namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kWatcherMutex[] = L"Local\\VerdalineOnPlugWatcher";
const wchar_t kStopEvent[] = L"Local\\VerdalineOnPlugStop";

HANDLE g_stop = nullptr;

}  // namespace

OnPlugPlaces onPlugPlaces() {
    OnPlugPlaces places;
    const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
    if (local != nullptr && local[0] != L'\0') {
        std::string folder = narrow(local);
        if (folder.back() != '\\') {
            folder += '\\';
        }
        places.dataFolder = folder + "Verdaline\\";
        places.startEntry = "Verdaline on-plug";
    }
    return places;
}

int writeStartEntry(const OnPlugPlaces& places, const std::string& text) {
    const std::wstring value = widened(text);
    return static_cast<int>(::RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, widened(places.startEntry).c_str(),
                                              REG_SZ, value.c_str(),
                                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
}

int removeStartEntry(const OnPlugPlaces& places) {
    const LSTATUS status =
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, widened(places.startEntry).c_str());
    return status == ERROR_FILE_NOT_FOUND ? 0 : static_cast<int>(status);
}

bool hasStartEntry(const OnPlugPlaces& places) {
    return !places.startEntry.empty() &&
           ::RegGetValueW(HKEY_CURRENT_USER, kRunKey, widened(places.startEntry).c_str(), RRF_RT_REG_SZ,
                          nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

int makeExecutable(const std::string&) {
    return 0;
}

int removeEmptyFolder(const std::string& path) {
    if (::RemoveDirectoryW(widened(path).c_str()) != 0) {
        return 0;
    }
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : static_cast<int>(error);
}

int startDetached(const std::string& program) {
    std::wstring command = L"\"" + widened(program) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(widened(program).c_str(), command.data(), nullptr, nullptr, FALSE,
                         DETACHED_PROCESS | CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process) == 0) {
        return static_cast<int>(::GetLastError());
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return 0;
}

bool watcherRunning(const OnPlugPlaces&) {
    HANDLE mutex = ::OpenMutexW(SYNCHRONIZE, FALSE, kWatcherMutex);
    if (mutex == nullptr) {
        return false;
    }
    ::CloseHandle(mutex);
    return true;
}

void stopWatcher(const OnPlugPlaces& places) {
    HANDLE stop = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, kStopEvent);
    if (stop == nullptr) {
        return;
    }
    ::SetEvent(stop);
    ::CloseHandle(stop);
    for (int i = 0; i < 60 && watcherRunning(places); ++i) {
        ::Sleep(50);
    }
}

bool becomeTheOnlyWatcher(const OnPlugPlaces&) {
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, kWatcherMutex);
    if (mutex == nullptr || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        return false;
    }
    g_stop = ::CreateEventW(nullptr, TRUE, FALSE, kStopEvent);
    return g_stop != nullptr;
}

void notifyDesktop(const std::string&, const std::string&) {}

void markWindowOpen(const std::string&) {}
void unmarkWindowOpen() {}
bool windowOpenOn(const std::string&) {
    return false;
}

std::vector<Mount> mountsIn(const std::string&) {
    return {};
}

std::vector<Mount> currentMounts() {
    // A drive that comes back counts as mounted anew: its id carries how often it came.
    struct Seen {
        bool present = false;
        unsigned arrivals = 0;
    };
    static std::map<wchar_t, Seen> seen;
    std::vector<Mount> mounts;
    const DWORD drives = ::GetLogicalDrives();
    for (int i = 2; i < 26; ++i) {
        const wchar_t letter = static_cast<wchar_t>(L'A' + i);
        const wchar_t root[] = {letter, L':', L'\\', 0};
        DWORD serial = 0;
        const bool there =
            (drives & (1u << i)) != 0 && ::GetDriveTypeW(root) != DRIVE_CDROM &&
            ::GetVolumeInformationW(root, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0) != 0;
        Seen& drive = seen[letter];
        if (!there) {
            drive.present = false;
            continue;
        }
        if (!drive.present) {
            drive.present = true;
            ++drive.arrivals;
        }
        mounts.push_back({std::to_string(static_cast<unsigned>(letter)) + "." + std::to_string(serial) + "." +
                              std::to_string(drive.arrivals),
                          narrow(root), "drive"});
    }
    return mounts;
}

namespace {

LRESULT CALLBACK watcherWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE && (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE)) {
        ::PostMessageW(window, WM_APP, 0, 0);
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool waitForMountChange() {
    // Drive arrivals are told to top-level windows: a hidden one listens.
    static HWND window = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = watcherWindowProcedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VerdalineOnPlugWatcher";
        ::RegisterClassW(&windowClass);
        return ::CreateWindowExW(0, windowClass.lpszClassName, L"Verdaline", WS_OVERLAPPED, 0, 0, 0, 0,
                                 nullptr, nullptr, windowClass.hInstance, nullptr);
    }();
    if (g_stop == nullptr) {
        return false;
    }
    if (window == nullptr) {
        // No window for the messages (a session without a desktop): the drives are
        // looked at every two seconds instead.
        const DWORD drives = ::GetLogicalDrives();
        while (::WaitForSingleObject(g_stop, 2000) == WAIT_TIMEOUT) {
            if (::GetLogicalDrives() != drives) {
                return true;
            }
        }
        return false;
    }
    for (;;) {
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &g_stop, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) {
            return false;
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
            if (message.message == WM_APP) {
                return true;
            }
            ::DispatchMessageW(&message);
        }
    }
}

void pauseForSettling() {
    if (g_stop != nullptr && ::WaitForSingleObject(g_stop, 1500) == WAIT_OBJECT_0) {
        ::ExitProcess(0);
    }
}

}  // namespace verdaline
