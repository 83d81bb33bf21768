// File names from outside (given on the command line): as a line on a
// terminal may show them, and the name of a temporary file beside one.
#ifndef COMMON_FILE_NAME_H
#define COMMON_FILE_NAME_H

#include <stddef.h>
#include <stdint.h>

// text with every control character (below 0x20, DEL, and U+0080 to U+009F
// in UTF-8, which some terminals obey as well) as a backslash and three
// octal digits, ESC as \033, so that a name cannot move the cursor or
// clear the screen; every other byte as it is, so that a name in any
// script shows as it is.  Cut short at a whole escape to fit size.
void EscapeControls(const char *text, char *shown, size_t size);

// The name of a temporary file in path's folder (up to its last character
// of separators): a dot, as much of path's own name as leaves room, a dot
// and number in 16 hexadecimal digits.  It does not end as path does (in
// .prom, say, which a collector reads), and is never longer than 255
// bytes, the longest name a file system takes, whatever path's; a UTF-8
// character is not cut in two.  False when it does not fit size.
bool TemporaryFileName(const char *path, const char *separators, uint64_t number, char *temporary,
                       size_t size);

#endif
