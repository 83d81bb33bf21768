#include "file_name.h"

#include <string.h>

void EscapeControls(const char *text, char *shown, size_t size) {
    size_t length = 0;
    for (const unsigned char *c = (const unsigned char *)text; *c != '\0'; c++) {
        bool c1 = c[0] == 0xC2 && c[1] >= 0x80 && c[1] <= 0x9F;
        if (*c >= ' ' && *c != 0x7F && !c1) {
            if (length + 1 >= size)
                break;
            shown[length++] = (char)*c;
            continue;
        }
        // One escape for a C0 control or DEL, two for the bytes of a C1.
        for (int i = 0; i < (c1 ? 2 : 1); i++) {
            if (length + 4 >= size) {
                shown[length] = '\0';
                return;
            }
            unsigned char byte = c[i];
            shown[length++] = '\\';
            shown[length++] = (char)('0' + (byte >> 6));
            shown[length++] = (char)('0' + (byte >> 3 & 7));
            shown[length++] = (char)('0' + (byte & 7));
        }
        c += c1;
    }
    shown[length] = '\0';
}

bool TemporaryFileName(const char *path, const char *separators, uint64_t number, char *temporary,
                       size_t size) {
    enum { kLongestName = 255, kDigits = 16 };
    const char *name = path;
    for (const char *c = path; *c != '\0'; c++)
        if (strchr(separators, *c) != NULL)
            name = c + 1;
    size_t folder = (size_t)(name - path), kept = strlen(name);
    if (kept > kLongestName - 2 - kDigits) {
        kept = kLongestName - 2 - kDigits;
        while (kept > 0 && ((unsigned char)name[kept] & 0xC0) == 0x80)
            kept--;
    }
    // Put together by hand, without snprintf: it is done every second.
    if (folder + kept + 2 + kDigits >= size)
        return false;
    char *end = temporary;
    memcpy(end, path, folder);
    end += folder;
    *end++ = '.';
    memcpy(end, name, kept);
    end += kept;
    *end++ = '.';
    for (int shift = 4 * (kDigits - 1); shift >= 0; shift -= 4)
        *end++ = "0123456789abcdef"[number >> shift & 0xF];
    *end = '\0';
    return true;
}
