// A reader of the metrics file as windows_exporter, written in Go, is one:
// it opens the file sharing reading and writing, not deletion, so that the
// file cannot be replaced while it holds it.  Runs the program (found beside
// it), holds FILE for that long once it exists, and ends with the program's
// status.
// Usage: hold_file.exe FILE MILLISECONDS PROGRAM [ARGUMENT...]
#include <stdlib.h>
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t **argv) {
    if (argc < 4)
        return 125;
    std::wstring line; // arguments without blanks or quotes
    for (int i = 3; i < argc; i++)
        line += (i > 3 ? L" " : L"") + std::wstring(argv[i]);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION program;
    if (!CreateProcessW(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &program))
        return 126;
    HANDLE file;
    while ((file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL)) ==
               INVALID_HANDLE_VALUE &&
           WaitForSingleObject(program.hProcess, 10) == WAIT_TIMEOUT) {
    }
    if (file != INVALID_HANDLE_VALUE) {
        Sleep((DWORD)_wtoi(argv[2]));
        CloseHandle(file);
    }
    WaitForSingleObject(program.hProcess, INFINITE);
    DWORD status = 127;
    GetExitCodeProcess(program.hProcess, &status);
    return (int)status;
}
