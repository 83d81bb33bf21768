// Boards known by their names: a names file, a line "INDEX NAME" a board,
// read once at the start; a name shows wherever a board is shown to a
// person.  A name is at most kLongestName characters of printable UTF-8, so
// that it can neither put a control character on a terminal nor break a
// line of a file.
#ifndef BOARDS_NAMES_H
#define BOARDS_NAMES_H

#include <stddef.h>
#include <stdint.h>

#include "arguments.h"
#include "text.h"

enum { kLongestName = 64, kLongestNameBytes = 4 * kLongestName };

struct BoardNames {
    int count;
    struct {
        int32_t boardIndex;
        char name[kLongestNameBytes + 1];
    } names[kMostBoards];
};

// Reads the file at path (UTF-8) into names: blank lines and lines that
// begin with '#' aside, each line a board index, blanks, and its name.
// False when the file cannot be read, or a line is not so, with why in
// *why: "boards:3: a name of more than 64 characters".
bool ReadBoardNames(const char *path, BoardNames *names, Text *why);

// --names FILE, as every program takes it: the names read (once a run)
// become the named boards'; false with why as ReadBoardNames says it.
bool TakeBoardNames(NamedBoards *named, const char *path, Text *why);

// The same of a file's bytes, which path names in why.
bool ParseBoardNames(const char *bytes, size_t length, const char *path, BoardNames *names,
                     Text *why);

// The board's name; "" when it has none (or there are no names).
const char *NameOf(const BoardNames *names, int32_t boardIndex);

// What a name may be, checked on its own: null when it may, or why not.
const char *WhyNotAName(const char *name, size_t length);

// The whole of a small file of a path in UTF-8, and its length; 0, or the
// system's error code (EFBIG for a file longer than size, ENODEV for one
// that is no regular file).  One implementation per platform.
int ReadSmallFile(const char *path, char *bytes, size_t size, size_t *length);

#endif
