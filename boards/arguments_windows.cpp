#include "arguments.h"

#include <stdlib.h>
#include <windows.h>

// msvcrt's own reading of the wide command line, as main's argv is read
// from the narrow one.
extern "C" int __cdecl __wgetmainargs(int *argc, wchar_t ***argv, wchar_t ***environment,
                                      int expandWildcards, int *startInfo);

char **ArgumentsInUtf8(int argc, char **argv) {
    int count = 0, startInfo = 0;
    wchar_t **wide = NULL, **environment = NULL;
    if (__wgetmainargs(&count, &wide, &environment, 0, &startInfo) < 0 || count != argc ||
        wide == NULL)
        return argv;
    char **arguments = (char **)calloc((size_t)argc + 1, sizeof *arguments);
    for (int i = 0; arguments != NULL && i < argc; i++) {
        int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, NULL, 0, NULL, NULL);
        arguments[i] = size > 0 ? (char *)malloc((size_t)size) : NULL;
        if (arguments[i] == NULL ||
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arguments[i], size, NULL, NULL) != size)
            return argv;
    }
    return arguments != NULL ? arguments : argv;
}
