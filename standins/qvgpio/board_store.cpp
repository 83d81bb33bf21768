#include "board_store.h"

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
static int Replace(const char *from, const char *to) {
    return rename(from, to);
}
static const char *DefaultDirectory(void) {
    return "/tmp/qvgpio-sim";
}
#endif

void StoreDirectory(char *path, size_t size) {
    const char *directory = getenv("QVGPIO_SIM_DIR");
    snprintf(path, size, "%s",
             directory != NULL && *directory != '\0' ? directory : DefaultDirectory());
}

static void ItemPath(uint8_t boardAddress, const char *item, char *path, size_t size) {
    char directory[4096];
    StoreDirectory(directory, sizeof directory);
    snprintf(path, size, "%s/board-%02x/%s", directory, boardAddress, item);
}

bool WriteItem(uint8_t boardAddress, const char *item, const char *text) {
    char directory[4096], path[4200], temporary[4300];
    StoreDirectory(directory, sizeof directory);
    mkdir(directory, 0777);
    ItemPath(boardAddress, "", path, sizeof path);
    mkdir(path, 0777);
    ItemPath(boardAddress, item, path, sizeof path);
    snprintf(temporary, sizeof temporary, "%s.%ld", path, (long)getpid());

    int fd = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
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
    char directory[4096], path[4200], entry[256];
    StoreDirectory(directory, sizeof directory);
    mkdir(directory, 0777);
    snprintf(path, sizeof path, "%s/" JOURNAL_FILE, directory);
    int length = snprintf(entry, sizeof entry, "%s\n", line);
    int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    if (write(fd, entry, (size_t)length) != length) {
        // Nothing to tell: the board tools examine no result.
    }
    close(fd);
}
