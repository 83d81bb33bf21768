#include "run.h"

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

// The loader reads LD_LIBRARY_PATH before the system's folders, so the
// program replaced by exec loads the simulator.  Its exit status is the
// program's own.
int RunOnSimulator(char **program) {
    char self[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        fprintf(stderr, "qvgpio-sim: cannot find its own folder: %s\n", strerror(errno));
        return 127;
    }
    std::string path(self, (size_t)length);
    path.erase(path.rfind('/'));
    // An empty entry would mean the current folder: add none.
    const char *before = getenv("LD_LIBRARY_PATH");
    if (before != NULL && *before != '\0')
        path = path + ":" + before;
    setenv("LD_LIBRARY_PATH", path.c_str(), 1);

    execvp(program[0], program);
    fprintf(stderr, "qvgpio-sim: %s: %s\n", program[0], strerror(errno));
    return 127;
}
