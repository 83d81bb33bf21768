#include "service.h"

#include <wchar.h>
#include <windows.h>

#include <tlhelp32.h> // after windows.h, which it needs

// The process snapshot gives each process's bare executable file name.
bool IsPrpServiceRunning(void) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry))
        found = wcscmp(entry.szExeFile, L"" PRP_SERVICE_IMAGE) == 0;
    CloseHandle(snapshot);
    return found;
}
