#include "arguments.h"

// The arguments are the bytes the user typed: UTF-8 where the locale is.
char **ArgumentsInUtf8(int, char **argv) { return argv; }
