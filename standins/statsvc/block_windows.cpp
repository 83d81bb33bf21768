#include "block.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

PrpValue *CreateBlock(const wchar_t *name) {
    // A null DACL: every user may open the block for all access, as the
    // monitors ask.
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0,
                                        sizeof(PrpValue), name);
    void *view =
        mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0) : nullptr;
    if (view == nullptr) {
        fprintf(stderr, "RiDuvOzi.exe: cannot create %ls: error %lu\n", name, GetLastError());
        return nullptr;
    }
    memset(view, 0, sizeof(PrpValue));
    return static_cast<PrpValue *>(view); // the block lives while its handle is open
}

void RemoveBlock(const wchar_t *, PrpValue *record) {
    // The block goes with its last handle, at the latest when the process ends.
    UnmapViewOfFile(record);
}
