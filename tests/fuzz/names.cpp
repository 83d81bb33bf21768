// Any bytes as a names file: nothing crashes, and every name taken is one
// a terminal and a metrics line can take as it is: UTF-8, no control
// character, at most 64 characters, no quote left unescaped where it is
// written escaped.
#include <stdlib.h>
#include <string.h>

#include "names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static BoardNames names;
    char chars[1024];
    Text why = TEXT_IN(chars);
    if (!ParseBoardNames((const char *)data, size, "names", &names, &why))
        return 0;
    for (int i = 0; i < names.count; i++) {
        const char *name = names.names[i].name;
        if (WhyNotAName(name, strlen(name)) != nullptr)
            abort(); // a name taken that a name may not be
        static char escaped[4 * kLongestNameBytes + 1];
        Text text = TEXT_IN(escaped);
        AppendEscaped(&text, name);
        for (size_t at = 0; at < text.length; at++)
            if (escaped[at] == '"' && (at == 0 || escaped[at - 1] != '\\'))
                abort(); // a quote that would end a label value
    }
    return 0;
}
