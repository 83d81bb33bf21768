#include "run.h"

#include <stdio.h>
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "store.h"

// Adds one argument to a command line so that the program's C runtime reads
// it back unchanged: quoted when it holds blanks or quotes, with the
// backslashes before a quote, and before the closing quote, doubled.
static void AppendArgument(std::wstring &line, const std::wstring &argument) {
    if (!line.empty())
        line += L' ';
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            backslashes++;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        line += c;
        backslashes = 0;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

// The loader looks for a DLL in the program's own folder first and in PATH
// later: with the maker's qvgpio.dll neither there nor in the system's
// folders, the program loads the simulator.  The arguments are taken again
// from the command line as typed, in UTF-16: its last ones, as many as
// program holds.
int RunOnSimulator(char **program) {
    int count = 0, first;
    wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    for (first = count; first > 0 && *program != NULL; program++)
        first--;
    wchar_t self[MAX_PATH];
    DWORD length = GetModuleFileNameW(NULL, self, MAX_PATH);
    if (arguments == NULL || first == count || length == 0 || length == MAX_PATH) {
        fprintf(stderr, "qvgpio-sim: cannot read its command line or find its own folder\n");
        return 127;
    }
    std::wstring path(self, length);
    path.erase(path.find_last_of(L"\\/"));
    wchar_t before[32767];
    DWORD beforeLength = GetEnvironmentVariableW(L"PATH", before, sizeof before / sizeof *before);
    if (beforeLength > 0 && beforeLength < sizeof before / sizeof *before)
        path = path + L";" + before;
    SetEnvironmentVariableW(L"PATH", path.c_str());

    std::wstring line;
    for (int i = first; i < count; i++)
        AppendArgument(line, arguments[i]);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessW(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process)) {
        std::wstring failure = std::wstring(arguments[first]) + L": cannot run it (error " +
                               std::to_wstring(GetLastError()) + L")";
        std::string narrow(4 * failure.size() + 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, failure.c_str(), -1, &narrow[0], (int)narrow.size(), NULL,
                            NULL);
        SayFailure("qvgpio-sim", narrow.c_str());
        return 127;
    }
    // Ctrl-C reaches the program, which ends; its status is passed on.
    SetConsoleCtrlHandler(NULL, TRUE);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 127;
    GetExitCodeProcess(process.hProcess, &status);
    return (int)status;
}
