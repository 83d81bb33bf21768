#include "names.h"

#include <errno.h>
#include <string.h>

#include "block_name.h"
#include "file_name.h"

// The next character of UTF-8 text, or -1 where the text is no UTF-8 (an
// overlong form, a surrogate, beyond U+10FFFF, a byte out of place).
static int32_t NextCodePoint(const unsigned char **at, const unsigned char *end) {
    const unsigned char *p = *at;
    int follow = p[0] < 0x80   ? 0
                 : p[0] < 0xc2 ? -1
                 : p[0] < 0xe0 ? 1
                 : p[0] < 0xf0 ? 2
                 : p[0] < 0xf5 ? 3
                               : -1;
    if (follow < 0 || end - p <= follow)
        return -1;
    int32_t c = follow == 0 ? p[0] : p[0] & (0x3f >> follow);
    for (int i = 1; i <= follow; i++) {
        if ((p[i] & 0xc0) != 0x80)
            return -1;
        c = c << 6 | (p[i] & 0x3f);
    }
    static const int32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[follow] || (c >= 0xd800 && c <= 0xdfff) || c > 0x10ffff)
        return -1;
    *at = p + 1 + follow;
    return c;
}

const char *WhyNotAName(const char *name, size_t length) {
    const unsigned char *p = (const unsigned char *)name, *end = p + length;
    int characters = 0;
    while (p < end) {
        int32_t c = NextCodePoint(&p, end);
        if (c < 0)
            return "a name that is not UTF-8";
        // What a terminal obeys rather than shows, and what ends a line.
        if (c < 0x20 || c == 0x7f || (c >= 0x80 && c < 0xa0) || c == 0x2028 || c == 0x2029)
            return "a control character in a name";
        if (++characters > kLongestName)
            return "a name of more than 64 characters";
    }
    return characters == 0 ? "no name after the board index" : nullptr;
}

static bool Blank(char c) { return c == ' ' || c == '\t'; }

// Says why the line is refused: "FILE:LINE: why".
static bool Refuse(Text *why, const char *path, int line, const char *what) {
    char shown[512];
    EscapeControls(path, shown, sizeof shown);
    AppendText(why, shown);
    AppendChar(why, ':');
    AppendUnsigned(why, (uint64_t)line);
    AppendText(why, ": ");
    AppendText(why, what);
    return false;
}

bool ReadBoardNames(const char *path, BoardNames *names, Text *why) {
    static char bytes[kMostBoards * (kLongestNameBytes + 32)];
    size_t length;
    names->count = 0;
    int error = ReadSmallFile(path, bytes, sizeof bytes, &length);
    if (error != 0) {
        char shown[512];
        EscapeControls(path, shown, sizeof shown);
        AppendText(why, shown);
        AppendText(why, ": ");
        AppendText(why,
                   error == EFBIG ? "longer than names for 1024 boards take" : strerror(error));
        return false;
    }
    return ParseBoardNames(bytes, length, path, names, why);
}

bool ParseBoardNames(const char *bytes, size_t length, const char *path, BoardNames *names,
                     Text *why) {
    names->count = 0;
    const char *end = bytes + length;
    int number = 0;
    for (const char *line = bytes; line < end; line++) {
        const char *stop = (const char *)memchr(line, '\n', (size_t)(end - line));
        stop = stop != nullptr ? stop : end;
        number++;
        const char *p = line, *last = stop;
        line = stop;
        while (p < last && Blank(*p))
            p++;
        while (last > p && (Blank(last[-1]) || last[-1] == '\r'))
            last--;
        if (p == last || *p == '#')
            continue;
        const char *index = p;
        while (p < last && !Blank(*p))
            p++;
        int32_t boardIndex;
        if (!ParseBoardIndex(index, (size_t)(p - index), &boardIndex))
            return Refuse(why, path, number, "not a board index");
        while (p < last && Blank(*p))
            p++;
        const char *whyNot = WhyNotAName(p, (size_t)(last - p));
        if (whyNot != nullptr)
            return Refuse(why, path, number, whyNot);
        for (int i = 0; i < names->count; i++)
            if (names->names[i].boardIndex == boardIndex)
                return Refuse(why, path, number, "a board named twice");
        if (names->count == kMostBoards)
            return Refuse(why, path, number, "more than 1024 boards");
        names->names[names->count].boardIndex = boardIndex;
        memcpy(names->names[names->count].name, p, (size_t)(last - p));
        names->names[names->count].name[last - p] = '\0';
        names->count++;
    }
    return true;
}

bool TakeBoardNames(NamedBoards *named, const char *path, Text *why) {
    static BoardNames names;
    if (!ReadBoardNames(path, &names, why))
        return false;
    named->names = &names;
    return true;
}

const char *NameOf(const BoardNames *names, int32_t boardIndex) {
    for (int i = 0; names != nullptr && i < names->count; i++)
        if (names->names[i].boardIndex == boardIndex)
            return names->names[i].name;
    return "";
}
