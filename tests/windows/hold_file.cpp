// A reader of the metrics file as windows_exporter, written in Go, is one:
// it opens the file sharing reading and writing, not deletion, so that the
// file cannot be replaced while it holds it.  Holds FILE (made empty when
// there is none) before it runs the program (found beside it), so that the
// program's first replace meets the reader whatever the time either takes
// to start; lets go once the program has said on standard error that the
// file was held, or has ended.  What the program says there is passed on
// as it comes.  Ends with the program's status.
// Usage: hold_file.exe FILE PROGRAM [ARGUMENT...]
#include <windows.h>

#include <string>

namespace {

// A copy of handle that a child process inherits; handle itself when it
// cannot be copied (none at all, say).
HANDLE Inherited(HANDLE handle) {
    HANDLE copy = NULL;
    if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
        return handle;
    return copy;
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc < 3)
        return 125;
    HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 124;
    std::wstring line; // arguments without blanks or quotes
    for (int i = 2; i < argc; i++)
        line += (i > 2 ? L" " : L"") + std::wstring(argv[i]);

    SECURITY_ATTRIBUTES inherited = {sizeof inherited, NULL, TRUE};
    HANDLE said, saying; // the program's standard error: read here, written there
    if (!CreatePipe(&said, &saying, &inherited, 0))
        return 126;
    SetHandleInformation(said, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Inherited(GetStdHandle(STD_INPUT_HANDLE));
    startup.hStdOutput = Inherited(GetStdHandle(STD_OUTPUT_HANDLE));
    startup.hStdError = saying;
    PROCESS_INFORMATION program;
    if (!CreateProcessW(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &program))
        return 126;
    CloseHandle(saying); // the pipe ends when the program and its children have
    if (startup.hStdInput != GetStdHandle(STD_INPUT_HANDLE))
        CloseHandle(startup.hStdInput);
    if (startup.hStdOutput != GetStdHandle(STD_OUTPUT_HANDLE))
        CloseHandle(startup.hStdOutput);

    HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    std::string text;
    char buffer[4096];
    DWORD count, written;
    while (ReadFile(said, buffer, sizeof buffer, &count, NULL) && count > 0) {
        WriteFile(errors, buffer, count, &written, NULL);
        text.append(buffer, count);
        if (file != INVALID_HANDLE_VALUE && text.find("held by a reader") != std::string::npos) {
            CloseHandle(file);
            file = INVALID_HANDLE_VALUE;
        }
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    WaitForSingleObject(program.hProcess, INFINITE);
    DWORD status = 127;
    GetExitCodeProcess(program.hProcess, &status);
    return (int)status;
}
