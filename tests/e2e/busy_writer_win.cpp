// A busy machine for the end-to-end test of activity (busy_machine_test.sh):
// a background program that writes while setups are monitored.
//   (a) when a first scan has finished HKEY_LOCAL_MACHINE and begun
//       HKEY_CURRENT_USER (its HKCU.SNS snapshot appears), before the setup
//       starts: a new value under HKLM\Software\KBgEarly; then it holds the
//       monitoring program still for 2.5 s, as a machine busy elsewhere
//       would, so that (a) lies whole seconds before the setup's start
//       however fast this machine scans (key times are whole seconds);
//   (b) all the time, into a place that Windows changes by itself too: a
//       value under Explorer\UserAssist;
//   (c) all the time, into places of its own: the value
//       HKCU\Software\KBgCounter\Count and the file C:\KBgData\busy.log;
//   (d) a moment after a setup (a process named kbusy_setup*.exe) has
//       ended: a new file C:\KBgData\after<N>.txt.
// Usage: kelvora_busy_writer.exe KELVORA_FOLDER. It ends when
// C:\KBgData\stop exists.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void SetDword(HKEY root, const char* key, const char* name, DWORD value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS) return;
    RegSetValueExA(handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(handle);
}

void AppendLine(const char* path, const std::string& line) {
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

// Suspends every process of that name for ms milliseconds; answers how many.
int Hold(const char* exe, DWORD ms) {
    using ProcessCall = LONG(WINAPI*)(HANDLE);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto suspend = reinterpret_cast<ProcessCall>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtSuspendProcess")));
    auto resume = reinterpret_cast<ProcessCall>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtResumeProcess")));
    if (suspend == nullptr || resume == nullptr) return 0;
    std::vector<HANDLE> held;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (_stricmp(entry.szExeFile, exe) != 0) continue;
        if (HANDLE process = OpenProcess(PROCESS_SUSPEND_RESUME, FALSE, entry.th32ProcessID)) {
            suspend(process);
            held.push_back(process);
        }
    }
    CloseHandle(snapshot);
    Sleep(ms);
    for (HANDLE process : held) {
        resume(process);
        CloseHandle(process);
    }
    return static_cast<int>(held.size());
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SetupRuns() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
        found = _strnicmp(entry.szExeFile, "kbusy_setup", 11) == 0;
    }
    CloseHandle(snapshot);
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string snapshot = std::string(argv[1]) + "\\HKCU.SNS";
    CreateDirectoryA("C:\\KBgData", nullptr);
    DWORD count = 0;
    int early = 0;
    int after = 0;
    int held = 0;
    bool scanned = Exists(snapshot);
    bool setupSeen = false;
    for (int tick = 0; !Exists("C:\\KBgData\\stop"); ++tick) {
        if (tick % 5 == 0) {
            ++count;
            SetDword(HKEY_CURRENT_USER, "Software\\KBgCounter", "Count", count);
            AppendLine("C:\\KBgData\\busy.log", "tick " + std::to_string(count) + "\r\n");
            SetDword(HKEY_CURRENT_USER,
                     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\"
                     "{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count",
                     "KBgTool", count);
        }
        const bool nowScanned = Exists(snapshot);
        if (nowScanned && !scanned) {
            ++early;
            SetDword(HKEY_LOCAL_MACHINE, "Software\\KBgEarly", ("Before" + std::to_string(early)).c_str(), early);
            held += Hold("kelvora-cli.exe", 2500);
        }
        scanned = nowScanned;
        const bool runs = SetupRuns();
        if (setupSeen && !runs) {
            // Well after the end, before the rescan reaches the folders.
            Sleep(300);
            ++after;
            AppendLine(("C:\\KBgData\\after" + std::to_string(after) + ".txt").c_str(), "after\r\n");
        }
        setupSeen = runs;
        Sleep(20);
    }
    std::printf("%d early, %d held, %d after, %lu ticks\n", early, held, after, static_cast<unsigned long>(count));
    return 0;
}
