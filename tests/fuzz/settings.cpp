// Any text as a setting of the stand-in service: the parser takes it or
// refuses it, never reads past it, and what it takes is within the field's
// range.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <string_view>

#include "settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Setting setting;
    std::string why;
    Parsed parsed = ParseSetting(std::string_view((const char *)data, size), &setting, &why);
    if (parsed == kRefused && (why.empty() || why.size() > 400))
        abort(); // a refusal says why, and never echoes the text whole
    if (parsed == kTaken && setting.action != Setting::kReset) {
        const Field &field = kFields[setting.field];
        if (!IsCounter(field) && (setting.value > 255 || setting.action == Setting::kRate))
            abort();
    }
    return 0;
}
