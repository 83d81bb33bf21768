#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "block.h"

namespace {

bool Refuse(const wchar_t *name, const std::string &problem, std::string *why) {
    char narrow[kStatisticsMapNameSize];
    snprintf(narrow, sizeof narrow, "%ls", name);
    *why = std::string(narrow) + ": " + problem;
    return false;
}

std::string Error() { return "error " + std::to_string(GetLastError()); }

} // namespace

// A block on Windows lives as long as a handle to it, so it cannot be
// removed or shortened under the service; but a monitor's handle keeps it
// after its service has ended.  Which service publishes a board is told by
// a mutex beside the block, which the system releases when its owner ends.
bool OpenBlock(int32_t boardIndex, Block *block, std::string *why) {
    block->boardIndex = boardIndex;
    block->publisher = block->mapping = nullptr;
    block->view = nullptr;
    StatisticsMapName(boardIndex, block->name);
    wchar_t publisher[kStatisticsMapNameSize + 16];
    _snwprintf(publisher, kStatisticsMapNameSize + 16, L"%ls.publisher", block->name);
    block->publisher = CreateMutexW(nullptr, FALSE, publisher);
    if (block->publisher == nullptr)
        return Refuse(block->name, Error(), why);
    DWORD waited = WaitForSingleObject(block->publisher, 0);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(block->publisher);
        block->publisher = nullptr;
        return Refuse(block->name,
                      "board " + std::to_string(boardIndex) + " is published by another service",
                      why);
    }

    // A null DACL: every user may open the block for all access, as the
    // monitors ask.
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
    block->mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0,
                                        sizeof(PrpValue), block->name);
    if (block->mapping != nullptr)
        block->view =
            static_cast<PrpValue *>(MapViewOfFile(block->mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (block->view == nullptr) {
        bool made = Refuse(block->name, Error(), why);
        RemoveBlock(block);
        return made;
    }
    return true;
}

bool WriteBlock(Block *block, const PrpValue &record, std::string *) {
    memcpy(block->view, &record, sizeof record);
    return true;
}

void RemoveBlock(Block *block) {
    // The block goes with its last handle.
    if (block->view != nullptr)
        UnmapViewOfFile(block->view);
    if (block->mapping != nullptr)
        CloseHandle(block->mapping);
    if (block->publisher != nullptr) {
        ReleaseMutex(block->publisher);
        CloseHandle(block->publisher);
    }
    block->publisher = block->mapping = nullptr;
    block->view = nullptr;
}

void CatchEndingSignals(void (*stop)(int)) {
    for (int signal : {SIGINT, SIGTERM, SIGBREAK})
        ::signal(signal, stop);
}
