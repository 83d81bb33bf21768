/* WatchTxOctets as a C programmer would write it, for the benchmark: the
 * same dialogue and failure lines, built with the same flags. */
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

int main(void) {
    int boardIndex = 0;
    char name[40];
    fputs("Enter the board index:", stdout);
    fflush(stdout);
    if (scanf("%d", &boardIndex) != 1)
        boardIndex = 0;
    snprintf(name, sizeof name, "/QvPrpFileMapObject%d", boardIndex);
    int fd = shm_open(name, O_RDWR, 0);
    if (fd < 0) {
        printf("Could not open file mapping object (%d).\n", errno);
        fputs("Check if ziZidOzevadu is started.\n", stdout);
        return 1;
    }
    const uint8_t *view = mmap(NULL, 336, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        printf("Could not map view of file (%d).\n", errno);
        close(fd);
        return 1;
    }
    for (;;) {
        uint8_t record[336];
        int32_t a, b;
        memcpy(record, view, sizeof record);
        memcpy(&a, record + 248, 4);
        memcpy(&b, record + 252, 4);
        printf("prpValue.txOctetsA = %d\nprpValue.txOctetsB = %d\n", a, b);
        if (fflush(stdout) != 0)
            return 1;
        sleep(1);
    }
}
