/* ShowLinkStatus as a C programmer would write it, for the benchmark: the
 * same guard, dialogue, calls and output checks, built with the same flags. */
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

uint32_t GetLinkStatus(uint8_t boardAddress, uint8_t lanCode);

static int ServiceRunning(void) {
    DIR *proc = opendir("/proc");
    struct dirent *entry;
    int found = 0;
    if (proc == NULL)
        return 0;
    while (!found && (entry = readdir(proc)) != NULL) {
        char path[300], stat[64];
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        snprintf(path, sizeof path, "%s/stat", entry->d_name);
        int fd = openat(dirfd(proc), path, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ssize_t got = read(fd, stat, sizeof stat - 1);
        close(fd);
        if (got <= 0)
            continue;
        stat[got] = '\0';
        char *end = strrchr(stat, ')');
        found = end != NULL && strncmp(stat + strcspn(stat, "("), "(RiDuvOzi.exe) ", 15) == 0 &&
                end[2] != 'Z' && end[2] != 'X';
    }
    closedir(proc);
    return found;
}

static void Flush(void) {
    if (fflush(stdout) != 0) {
        fprintf(stderr, "ShowLinkStatus: standard output: %s\n", strerror(errno));
        exit(1);
    }
}

int main(void) {
    int boardIndex = 0;
    if (ServiceRunning()) {
        fputs("ziZidOzevadu is running, to run this program, please stop the ziZidOzevadu\n"
              "Exit the program\n", stdout);
        Flush();
        return 1;
    }
    fputs("Enter the boardIndex:\n", stdout);
    Flush();
    if (scanf("%d", &boardIndex) != 1)
        boardIndex = 0;
    uint8_t boardAddress = (uint8_t)(boardIndex + 0x58);
    fputs("Get mode control register of LanA...............................\n", stdout);
    Flush();
    printf("Link Status of LanA = 0x%x\n", GetLinkStatus(boardAddress, 4));
    fputs("Get mode control register of LanB...............................\n", stdout);
    Flush();
    printf("Link Status of LanB = 0x%x\n", GetLinkStatus(boardAddress, 6));
    Flush();
    return 0;
}
