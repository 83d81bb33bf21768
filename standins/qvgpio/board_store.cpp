#include "board_store.h"

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "number.h"

// Looked up once per process.
const char *StoreDirectory(void) {
    static char directory[kStorePathSize + 1]; // too long a name stays too long
    if (directory[0] == '\0')
        StoreFolder(directory, sizeof directory);
    return directory;
}

// Room for the path, an escaped name and what is wrong.
static char failure[kStorePathSize + 1400];

const char *StoreFailure(void) { return failure; }

void EscapeText(const char *text, char *shown, size_t size) {
    EscapeBytes(text, strlen(text), shown, size);
}

void EscapeBytes(const char *bytes, size_t count, char *shown, size_t size) {
    size_t length = 0;
    const unsigned char *end = (const unsigned char *)bytes + count;
    for (const unsigned char *c = (const unsigned char *)bytes; c < end; c++) {
        char escape[5];
        if (*c == '\\')
            snprintf(escape, sizeof escape, "\\\\");
        else if (*c < ' ' || *c > '~')
            snprintf(escape, sizeof escape, "\\%03o", *c);
        else
            snprintf(escape, sizeof escape, "%c", *c);
        size_t more = strlen(escape);
        if (length + more >= size)
            break;
        memcpy(shown + length, escape, more);
        length += more;
    }
    shown[length] = '\0';
}

static bool Failed(const char *format, ...) __attribute__((format(printf, 1, 2)));
static bool Failed(const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(failure, sizeof failure, format, arguments);
    va_end(arguments);
    return false;
}

bool StoreFailed(const Folder *folder, const char *name, int error) {
    const char *separator = name[0] != '\0' ? "/" : "";
    char shown[1024]; // a name of up to 255 bytes, each escaped
    EscapeText(name, shown, sizeof shown);
    name = shown;
    switch (error) {
    case kForeignOwner:
        return Failed("%s: belongs to user %u; the store must be your own", folder->path,
                      folder->owner);
    case kOpenToOthers:
        return Failed("%s: other users may write into it (mode %04o)", folder->path, folder->mode);
    case ELOOP:
        return Failed("%s%s%s: is a link, not followed", folder->path, separator, name);
    case kNotRegular:
        return Failed("%s%s%s: is not a regular file", folder->path, separator, name);
    default:
        return Failed("%s%s%s: %s", folder->path, separator, name, strerror(error));
    }
}

StoreOutcome OpenStore(bool make, Folder *store) {
    int error = OpenStoreFolder(StoreDirectory(), make, store);
    if (error == 0)
        return kOpened;
    if (error == ENOENT && !make)
        return kMissing;
    StoreFailed(store, "", error);
    return kFailed;
}

StoreOutcome OpenBoard(const Folder *store, uint8_t boardAddress, bool make, Folder *board) {
    char name[16];
    snprintf(name, sizeof name, "board-%02x", boardAddress);
    int error = OpenSubfolder(store, name, make, board);
    if (error == 0)
        return kOpened;
    if (error == ENOENT && !make)
        return kMissing;
    StoreFailed(store, name, error);
    return kFailed;
}

// Opens the store and the board's folder in it: both, or neither.
static StoreOutcome OpenBoardFolders(uint8_t boardAddress, bool make, Folder *store,
                                     Folder *board) {
    StoreOutcome outcome = OpenStore(make, store);
    if (outcome != kOpened)
        return outcome;
    outcome = OpenBoard(store, boardAddress, make, board);
    if (outcome != kOpened)
        CloseFolder(store);
    return outcome;
}

// 0, or why not all of data was written.
static int WriteAll(int fd, const char *data, int length) {
    errno = 0;
    if (write(fd, data, (size_t)length) == length)
        return 0;
    return errno != 0 ? errno : ENOSPC;
}

// Writes text and a line end into a file made afresh in board, then puts it
// in the item's place.
static bool ReplaceItem(const Folder *board, const char *item, const char *text) {
    char line[256], temporary[64];
    int length = snprintf(line, sizeof line, "%s\n", text);
    int fd = -1, error = EEXIST;
    for (int attempt = 0; error == EEXIST && attempt < 3; attempt++) {
        snprintf(temporary, sizeof temporary, "%s.%016llx", item,
                 (unsigned long long)UnguessableNumber());
        error = OpenFile(board, temporary, kCreateNew, &fd);
    }
    if (error != 0)
        return StoreFailed(board, temporary, error);
    error = WriteAll(fd, line, length);
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0)
        error = RenameFile(board, temporary, item);
    if (error != 0) {
        RemoveEntry(board, temporary);
        return StoreFailed(board, item, error);
    }
    return true;
}

bool WriteItem(uint8_t boardAddress, const char *item, const char *text) {
    Folder store, board;
    if (OpenBoardFolders(boardAddress, true, &store, &board) != kOpened)
        return false;
    bool written = ReplaceItem(&board, item, text);
    CloseFolder(&board);
    CloseFolder(&store);
    return written;
}

bool ReadItem(uint8_t boardAddress, const char *item, char *text, size_t size, size_t *length) {
    size_t unused;
    length = length != NULL ? length : &unused;
    *length = kNeverWritten;
    text[0] = '\0';
    Folder store, board;
    StoreOutcome outcome = OpenBoardFolders(boardAddress, false, &store, &board);
    if (outcome != kOpened)
        return outcome == kMissing;
    bool done = true;
    int fd;
    int error = OpenFile(&board, item, kRead, &fd);
    if (error == 0) {
        ssize_t count = read(fd, text, size - 1);
        if (count < 0)
            done = StoreFailed(&board, item, errno);
        *length = count > 0 ? (size_t)count : 0;
        const char *lineEnd = (const char *)memchr(text, '\n', *length);
        if (lineEnd != NULL)
            *length = (size_t)(lineEnd - text);
        text[*length] = '\0';
        close(fd);
    } else if (error != ENOENT) {
        done = StoreFailed(&board, item, error);
    }
    CloseFolder(&board);
    CloseFolder(&store);
    return done;
}

uint32_t ItemMaximum(const char *item) {
    if (strncmp(item, "register-", 9) == 0)
        return 0xffff;
    if (strcmp(item, ITEM_GPIO_MODE) == 0 || strcmp(item, ITEM_LED) == 0 ||
        strncmp(item, "link-status-", 12) == 0)
        return 0xffffffff;
    return 0;
}

bool ReadNumberItem(uint8_t boardAddress, const char *item, uint32_t *value) {
    char text[32];
    size_t length;
    *value = 0;
    if (!ReadItem(boardAddress, item, text, sizeof text, &length))
        return false;
    uint32_t maximum = ItemMaximum(item);
    if (length == kNeverWritten || ParseNumber(text, length, maximum, value))
        return true;
    char shownItem[1024], shownText[4 * sizeof text];
    EscapeText(item, shownItem, sizeof shownItem);
    EscapeBytes(text, length, shownText, sizeof shownText);
    return Failed("%s/board-%02x/%s holds \"%s\", not a number from 0 to 0x%x", StoreDirectory(),
                  boardAddress, shownItem, shownText, maximum);
}

bool WriteNumberItem(uint8_t boardAddress, const char *item, uint32_t value) {
    char text[16];
    snprintf(text, sizeof text, "0x%x", value);
    return WriteItem(boardAddress, item, text);
}

bool AppendJournal(const char *line) {
    char entry[256];
    int length = snprintf(entry, sizeof entry, "%s\n", line);
    Folder store;
    if (OpenStore(true, &store) != kOpened)
        return false;
    int fd;
    int error = OpenFile(&store, JOURNAL_FILE, kAppend, &fd);
    if (error == 0)
        error = WriteAll(fd, entry, length);
    if (fd >= 0)
        close(fd);
    bool written = error == 0 || StoreFailed(&store, JOURNAL_FILE, error);
    CloseFolder(&store);
    return written;
}
