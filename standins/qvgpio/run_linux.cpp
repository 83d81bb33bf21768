#include "run.h"

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

// The folder holding the simulator library: beside qvgpio-sim when
// installed (both in lib/prp-hsr-standins), ../lib from it in the build
// tree (bin/ and lib/); empty when neither holds it.
static std::string LibraryFolder(const std::string &self) {
    std::string folder = self.substr(0, self.rfind('/'));
    for (const std::string &candidate : {folder, folder + "/../lib"}) {
        struct stat status;
        if (stat((candidate + "/libqvgpio.so").c_str(), &status) == 0 && S_ISREG(status.st_mode))
            return candidate;
    }
    return "";
}

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
    std::string path = LibraryFolder(std::string(self, (size_t)length));
    if (path.empty()) {
        // Any other libqvgpio.so the loader found would not be the simulator.
        fprintf(stderr, "qvgpio-sim: no libqvgpio.so beside it or in ../lib\n");
        return 127;
    }
    // An empty entry would mean the current folder: add none.
    const char *before = getenv("LD_LIBRARY_PATH");
    if (before != NULL && *before != '\0')
        path = path + ":" + before;
    setenv("LD_LIBRARY_PATH", path.c_str(), 1);

    execvp(program[0], program);
    fprintf(stderr, "qvgpio-sim: %s: %s\n", program[0], strerror(errno));
    return 127;
}
