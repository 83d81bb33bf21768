// File names from outside (given on the command line): as a line on a
// terminal may show them, and a temporary file beside one, which takes the
// file's place whole.
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

// Why a call on a file failed, in the system's words, without a line end;
// error is errno's on Linux, GetLastError()'s on Windows.
const char *SystemErrorText(int error);

// Writes count bytes to a new file beside path and closes it, for a rename
// that puts it in path's place whole: its name TemporaryFileName's with a
// number no other process can guess (a name taken already is refused, never
// followed or opened, and another tried); on Linux its mode is mode,
// whatever the umask.  Returns 0 with its name in temporary; otherwise the
// error, no file left, and temporary empty where no name fitted.
int WriteBeside(const char *path, const char *bytes, size_t count, unsigned mode, char *temporary,
                size_t size);

#endif
