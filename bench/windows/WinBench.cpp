// ztb_winbench: times the Windows programs from outside, and does the same
// work with plain Win32 calls as their baseline. Every figure is the time of
// a child process: from its start until what the user waits for is there.
//
//   ztb_winbench dialog EXE INSTALLED NEW
//       Starts the installer dialog and times it until its window is up and
//       both lists hold their rows (INSTALLED and NEW; 0 is the placeholder
//       row). Prints that time, then closes the dialog.
//   ztb_winbench addall EXE INSTALLED NEW
//       The same start, then a click on "Add All", timed until the count
//       message "NEW ZTB(s) have been installed." is up.
//   ztb_winbench remove EXE INSTALLED NEW
//       The same start, then every installed row selected as the user would
//       (a selection change), and a click on "Remove", timed until the count
//       message "INSTALLED ZTB(s) have been removed." is up.
//   ztb_winbench run nul|file:PATH|pipe COMMAND...
//       Times COMMAND with its standard output on the null device, in the
//       file PATH or in a pipe that this program drains.
//   ztb_winbench scan INSTALLED_DIR DISTRIBUTION_DIR PATTERN
//   ztb_winbench install INSTALLED_DIR DISTRIBUTION_DIR PATTERN
//   ztb_winbench uninstall INSTALLED_DIR DISTRIBUTION_DIR PATTERN
//       The baselines; each prints the time of its work. The scan is timed
//       as "run nul ztb_winbench scan ..." so that it pays for a process
//       start as the dialog does; install and uninstall, like the clicks,
//       are timed without. scan: find, open, read,
//       times and close of every table in both folders. install: each
//       distribution table copied under a temporary name beside the
//       installed ones (times set, flushed), read back, any installed copy
//       read, copied, flushed and moved to Backup, the copy moved in with
//       write-through and given its times; then the scan. uninstall: each
//       installed table read, flushed and moved to Backup with
//       write-through; then the scan.
//
// Folders end in a backslash. Times are printed in seconds on one line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ui/resource.h"

namespace {

[[noreturn]] void Die(const std::string& why) {
    std::fprintf(stderr, "ztb_winbench: %s (error %lu)\n", why.c_str(), GetLastError());
    std::exit(1);
}

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// ---- the baselines -----------------------------------------------------------

std::vector<std::string> FindNames(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA((folder + pattern).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(data.cFileName);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

// Reads the whole file and its times, as a load does.
void ReadWhole(const std::string& path, FILETIME& lastWrite) {
    const HANDLE file = CreateFileA(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Die("cannot open " + path);
    static char buffer[64 * 1024];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got != 0) {
    }
    FILETIME creation, lastAccess;
    GetFileTime(file, &creation, &lastAccess, &lastWrite);
    CloseHandle(file);
}

void Scan(const std::string& installed, const std::string& distribution, const std::string& pattern) {
    FILETIME lastWrite;
    for (const std::string& folder : {installed, distribution})
        for (const std::string& name : FindNames(folder, pattern)) ReadWhole(folder + name, lastWrite);
}

// Copies from to the new file to with from's times, flushed.
void CopyFlushed(const std::string& from, const std::string& to, FILETIME times[3]) {
    const HANDLE source = CreateFileA(
        from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source == INVALID_HANDLE_VALUE) Die("cannot open " + from);
    const HANDLE copy = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (copy == INVALID_HANDLE_VALUE) Die("cannot create " + to);
    GetFileTime(source, &times[0], &times[1], &times[2]);
    static char buffer[64 * 1024];
    DWORD got = 0;
    DWORD written = 0;
    while (ReadFile(source, buffer, sizeof buffer, &got, nullptr) && got != 0)
        WriteFile(copy, buffer, got, &written, nullptr);
    SetFileTime(copy, &times[0], &times[1], &times[2]);
    FlushFileBuffers(copy);
    CloseHandle(copy);
    CloseHandle(source);
}

void MoveThrough(const std::string& from, const std::string& to, DWORD flags = 0) {
    if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH | flags)) Die("cannot move " + from);
}

void Install(const std::string& installed, const std::string& distribution, const std::string& pattern) {
    const std::string backup = installed + "Backup\\";
    CreateDirectoryA(backup.c_str(), nullptr);
    const std::string temporary = installed + ".~winbench.tmp";
    FILETIME times[3];
    for (const std::string& name : FindNames(distribution, pattern)) {
        const std::string target = installed + name;
        CopyFlushed(distribution + name, temporary, times);
        ReadWhole(temporary, times[2]);
        const bool replacing = GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (replacing) {
            const std::string backupCopy = installed + ".~winbench-backup.tmp";
            ReadWhole(target, times[2]);
            CopyFlushed(target, backupCopy, times);
            MoveThrough(backupCopy, backup + name);
        }
        MoveThrough(temporary, target, replacing ? MOVEFILE_REPLACE_EXISTING : 0);
        const HANDLE file = CreateFileA(target.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
            FILE_ATTRIBUTE_NORMAL, nullptr);
        SetFileTime(file, &times[0], &times[1], &times[2]);
        CloseHandle(file);
    }
    Scan(installed, distribution, pattern);
}

void Uninstall(const std::string& installed, const std::string& distribution, const std::string& pattern) {
    const std::string backup = installed + "Backup\\";
    CreateDirectoryA(backup.c_str(), nullptr);
    FILETIME lastWrite;
    for (const std::string& name : FindNames(installed, pattern)) {
        const std::string path = installed + name;
        ReadWhole(path, lastWrite);
        const HANDLE file = CreateFileA(
            path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        FlushFileBuffers(file);
        CloseHandle(file);
        MoveThrough(path, backup + name);
    }
    Scan(installed, distribution, pattern);
}

// ---- timing a child process --------------------------------------------------

std::string Quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

PROCESS_INFORMATION Start(const std::vector<std::string>& command, HANDLE output) {
    std::string line;
    for (const std::string& argument : command) {
        if (!line.empty()) line += ' ';
        line += Quoted(argument);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (output != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(
            nullptr, line.data(), nullptr, nullptr, output != nullptr, 0, nullptr, nullptr, &startup, &process)) {
        Die("cannot start " + line);
    }
    return process;
}

DWORD WINAPI Drain(LPVOID pipe) {
    static char buffer[64 * 1024];
    DWORD got = 0;
    while (ReadFile(static_cast<HANDLE>(pipe), buffer, sizeof buffer, &got, nullptr) && got != 0) {
    }
    return 0;
}

double TimeRun(const std::string& output, const std::vector<std::string>& command) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE out = INVALID_HANDLE_VALUE;
    HANDLE readEnd = nullptr;
    if (output == "nul") {
        out =
            CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    } else if (output.rfind("file:", 0) == 0) {
        out = CreateFileA(output.c_str() + 5, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
            FILE_ATTRIBUTE_NORMAL, nullptr);
    } else if (output == "pipe") {
        if (!CreatePipe(&readEnd, &out, &inherit, 64 * 1024)) Die("cannot make a pipe");
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    } else {
        Die("unknown output " + output);
    }
    if (out == INVALID_HANDLE_VALUE) Die("cannot open the output " + output);

    const double start = Now();
    const PROCESS_INFORMATION process = Start(command, out);
    CloseHandle(out);
    HANDLE drainer = readEnd ? CreateThread(nullptr, 0, Drain, readEnd, 0, nullptr) : nullptr;
    WaitForSingleObject(process.hProcess, INFINITE);
    if (drainer) WaitForSingleObject(drainer, INFINITE);
    const double elapsed = Now() - start;

    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    if (status != 0) Die("the command ended with status " + std::to_string(status));
    if (drainer) CloseHandle(drainer);
    if (readEnd) CloseHandle(readEnd);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

// ---- driving the dialog ------------------------------------------------------

// A message to a window of the other process; waits while it is busy.
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 600'000, &result))
        Die("the dialog does not answer");
    return static_cast<LRESULT>(result);
}

struct DialogSearch {
    DWORD processId;
    HWND except;
    HWND found;
};

// The first visible dialog-class window of the process other than except.
HWND FindDialogOf(DWORD processId, HWND except) {
    DialogSearch search{processId, except, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto& s = *reinterpret_cast<DialogSearch*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char className[16] = {};
            GetClassNameA(window, className, sizeof className);
            if (owner != s.processId || window == s.except || std::strcmp(className, "#32770") != 0 ||
                !IsWindowVisible(window)) {
                return TRUE;
            }
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void WaitWhile(HANDLE process, const char* what, const auto& notYet) {
    while (notYet()) {
        if (WaitForSingleObject(process, 2) == WAIT_OBJECT_0) Die(std::string("the dialog ended before ") + what);
    }
}

class DialogRun {
public:
    explicit DialogRun(const std::string& exe) : start_(Now()), process_(Start({exe}, nullptr)) {}

    // Waits until the main dialog shows both lists with their rows; returns
    // the time since the start.
    double WaitReady(int installed, int fresh) {
        WaitWhile(process_.hProcess, "its window showed", [&] {
            dialog_ = FindDialogOf(process_.dwProcessId, nullptr);
            return dialog_ == nullptr || GetDlgItem(dialog_, IDC_NEW_LIST) == nullptr;
        });
        WaitWhile(process_.hProcess, "its lists were filled",
            [&] { return !Holds(IDC_INSTALLED_LIST, installed) || !Holds(IDC_NEW_LIST, fresh); });
        return Now() - start_;
    }

    // Clicks button and returns the time until the message box that shows
    // message is up; closes it.
    double ClickUntilMessage(int button, const std::string& message) {
        const HWND control = GetDlgItem(dialog_, button);
        if (!IsWindowEnabled(control)) Die("the button " + std::to_string(button) + " is off");
        const double clicked = Now();
        PostMessageA(control, BM_CLICK, 0, 0);
        HWND box = nullptr;
        WaitWhile(process_.hProcess, "the message showed", [&] {
            box = FindDialogOf(process_.dwProcessId, dialog_);
            return box == nullptr;
        });
        const double elapsed = Now() - clicked;
        char text[256] = {};
        Ask(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        if (message != text) Die("the message reads \"" + std::string(text) + "\", not \"" + message + "\"");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return elapsed;
    }

    // Selects every installed row, as a user's selection would, with the
    // notification that it sends.
    void SelectAllInstalled() {
        const HWND list = GetDlgItem(dialog_, IDC_INSTALLED_LIST);
        Ask(list, LB_SETSEL, TRUE, -1);
        Ask(dialog_, WM_COMMAND, MAKEWPARAM(IDC_INSTALLED_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }

    ~DialogRun() {
        WaitWhile(process_.hProcess, "it was closed", [&] { return FindDialogOf(process_.dwProcessId, dialog_); });
        PostMessageA(dialog_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 60'000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

private:
    // Whether the list holds rows rows (the one placeholder row for 0).
    bool Holds(int id, int rows) { return Ask(GetDlgItem(dialog_, id), LB_GETCOUNT) == (rows == 0 ? 1 : rows); }

    double start_;
    PROCESS_INFORMATION process_;
    HWND dialog_ = nullptr;
};

void Print(double seconds) { std::printf("%.3f\n", seconds); }

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string mode = args.empty() ? "" : args[0];
    if ((mode == "dialog" || mode == "addall" || mode == "remove") && args.size() == 4) {
        const int installed = std::atoi(args[2].c_str());
        const int fresh = std::atoi(args[3].c_str());
        DialogRun run(args[1]);
        const double ready = run.WaitReady(installed, fresh);
        if (mode == "dialog") {
            Print(ready);
        } else if (mode == "addall") {
            Print(run.ClickUntilMessage(IDC_ADD_ALL, std::to_string(fresh) + " ZTB(s) have been installed."));
        } else {
            run.SelectAllInstalled();
            Print(run.ClickUntilMessage(IDC_REMOVE, std::to_string(installed) + " ZTB(s) have been removed."));
        }
        return 0;
    }
    if (mode == "run" && args.size() >= 3) {
        Print(TimeRun(args[1], std::vector<std::string>(args.begin() + 2, args.end())));
        return 0;
    }
    if ((mode == "scan" || mode == "install" || mode == "uninstall") && args.size() == 4) {
        const double start = Now();
        if (mode == "scan") Scan(args[1], args[2], args[3]);
        if (mode == "install") Install(args[1], args[2], args[3]);
        if (mode == "uninstall") Uninstall(args[1], args[2], args[3]);
        Print(Now() - start);
        return 0;
    }
    std::fprintf(stderr,
        "usage: ztb_winbench dialog|addall|remove EXE INSTALLED NEW\n"
        "       ztb_winbench run nul|file:PATH|pipe COMMAND...\n"
        "       ztb_winbench scan|install|uninstall INSTALLED_DIR DISTRIBUTION_DIR PATTERN\n");
    return 2;
}
