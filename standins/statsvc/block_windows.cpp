#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include <aclapi.h>

#include <thread>

#include "block.h"

namespace {

BlockOutcome Refuse(const wchar_t *name, const std::string &problem, std::string *why,
                    BlockOutcome outcome = kBlockRefused) {
    char narrow[kStatisticsMapNameSize];
    snprintf(narrow, sizeof narrow, "%ls", name);
    *why = std::string(narrow) + ": " + problem;
    return outcome;
}

std::string Error() { return "error " + std::to_string(GetLastError()); }

// The user who owns the object when that is not the user running the
// service; empty when it is.
std::string OtherOwner(HANDLE object) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                        nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return "";
    std::string other;
    HANDLE token;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        // The owner the system gives the objects the service makes.
        union {
            TOKEN_OWNER owner;
            char room[256];
        } me;
        DWORD size;
        if (GetTokenInformation(token, TokenOwner, &me, sizeof me, &size) &&
            !EqualSid(me.owner.Owner, owner)) {
            char name[256] = "?", domain[256];
            DWORD nameSize = sizeof name, domainSize = sizeof domain;
            SID_NAME_USE use;
            LookupAccountSidA(nullptr, owner, name, &nameSize, domain, &domainSize, &use);
            other = name;
        }
        CloseHandle(token);
    }
    LocalFree(descriptor);
    return other;
}

} // namespace

// A process may hold millions of handles: there is always room.
bool RoomForBlocks(size_t, std::string *) { return true; }

// A block on Windows lives as long as a handle to it, so it cannot be
// removed or shortened under the service; but a monitor's handle keeps it
// after its service has ended.  Which service publishes a board is told by
// a mutex beside the block, which the system releases when its owner ends.
BlockOutcome OpenBlock(int32_t boardIndex, Block *block, std::string *why) {
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
                      why, kBlockHeld);
    }

    // A null DACL: every user may open the block for all access, as the
    // monitors ask.
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
    block->mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0,
                                        sizeof(PrpValue), block->name);
    // A block that outlived its service, held open by a monitor, is taken
    // over when it is the user's own.
    std::string owner;
    if (block->mapping != nullptr && GetLastError() == ERROR_ALREADY_EXISTS &&
        !(owner = OtherOwner(block->mapping)).empty()) {
        RemoveBlock(block);
        return Refuse(block->name, "belongs to user " + owner + "; not taken over", why);
    }
    if (block->mapping != nullptr)
        block->view =
            static_cast<PrpValue *>(MapViewOfFile(block->mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (block->view == nullptr) {
        Refuse(block->name, Error(), why);
        RemoveBlock(block);
        return kBlockRefused;
    }
    return kBlockOpened;
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

void StartReading(void (*read)()) { std::thread(read).detach(); }
