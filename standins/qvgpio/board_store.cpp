#include "board_store.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <windows.h>
#define mkdir(path, mode) _mkdir(path)
#define O_CLOEXEC O_BINARY
static int Replace(const char *from, const char *to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) ? 0 : -1;
}
static const char *DefaultDirectory(void) {
    static char path[MAX_PATH];
    const char *temporary = getenv("TEMP");
    snprintf(path, sizeof path, "%s\\qvgpio-sim", temporary != NULL ? temporary : ".");
    return path;
}
#else
static int Replace(const char *from, const char *to) { return rename(from, to); }
static const char *DefaultDirectory(void) { return "/tmp/qvgpio-sim"; }
#endif

// Looked up once per process.
const char *StoreDirectory(void) {
    static char directory[4096];
    if (directory[0] == '\0') {
        const char *chosen = getenv("QVGPIO_SIM_DIR");
        snprintf(directory, sizeof directory, "%s",
                 chosen != NULL && *chosen != '\0' ? chosen : DefaultDirectory());
    }
    return directory;
}

static void ItemPath(uint8_t boardAddress, const char *item, char *path, size_t size) {
    snprintf(path, size, "%s/board-%02x/%s", StoreDirectory(), boardAddress, item);
}

// Opens a file to write, making the store's folder, and the board's folder
// when one is given, where they are missing.
static int Create(const char *path, int flags, const char *boardFolder) {
    int fd = open(path, flags | O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0 && errno == ENOENT) {
        mkdir(StoreDirectory(), 0777);
        if (boardFolder != NULL)
            mkdir(boardFolder, 0777);
        fd = open(path, flags | O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    }
    return fd;
}

bool WriteItem(uint8_t boardAddress, const char *item, const char *text) {
    char folder[4200], path[4200], temporary[4300];
    ItemPath(boardAddress, "", folder, sizeof folder);
    ItemPath(boardAddress, item, path, sizeof path);
    snprintf(temporary, sizeof temporary, "%s.%ld", path, (long)getpid());

    int fd = Create(temporary, O_TRUNC, folder);
    if (fd < 0)
        return false;
    size_t length = strlen(text);
    bool written = write(fd, text, length) == (ssize_t)length && write(fd, "\n", 1) == 1;
    close(fd);
    if (!written || Replace(temporary, path) != 0) {
        unlink(temporary);
        return false;
    }
    return true;
}

void ReadItem(uint8_t boardAddress, const char *item, char *text, size_t size) {
    char path[4200];
    ItemPath(boardAddress, item, path, sizeof path);
    text[0] = '\0';
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ssize_t length = read(fd, text, size - 1);
    close(fd);
    if (length < 0)
        length = 0;
    text[length] = '\0';
    text[strcspn(text, "\n")] = '\0';
}

uint32_t ReadNumberItem(uint8_t boardAddress, const char *item) {
    char text[32];
    ReadItem(boardAddress, item, text, sizeof text);
    return (uint32_t)strtoul(text, NULL, 0);
}

bool WriteNumberItem(uint8_t boardAddress, const char *item, uint32_t value) {
    char text[16];
    snprintf(text, sizeof text, "0x%x", value);
    return WriteItem(boardAddress, item, text);
}

void AppendJournal(const char *line) {
    char path[4200], entry[256];
    snprintf(path, sizeof path, "%s/" JOURNAL_FILE, StoreDirectory());
    int length = snprintf(entry, sizeof entry, "%s\n", line);
    int fd = Create(path, O_APPEND, NULL);
    if (fd < 0)
        return;
    if (write(fd, entry, (size_t)length) != length) {
        // Nothing to tell: the board tools examine no result.
    }
    close(fd);
}
