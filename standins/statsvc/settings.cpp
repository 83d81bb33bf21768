#include "settings.h"

#include "block_name.h"
#include "number.h"
#include "prp_value.h"

// clang-format off
#define FIELD(name) {#name, PRP_FIELD(name)}
const Field kFields[kFieldCount] = {
    FIELD(rxGoodOctetsA), FIELD(rxGoodOctetsB), FIELD(rxErrA),      FIELD(rxErrB),
    FIELD(txOctetsA),     FIELD(txOctetsB),     FIELD(linkStatusA), FIELD(linkStatusB),
};
// clang-format on

namespace {

const char kGrammar[] = "not BOARD:FIELD=VALUE, BOARD:FIELD+=VALUE or BOARD:reset";

std::string_view Trim(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The text in quotes, at most its first 40 bytes, control characters shown
// as '?'.
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text.substr(0, 40))
        quoted += (unsigned char)c < ' ' || c == 0x7f ? '?' : c;
    return quoted + (text.size() > 40 ? "...\"" : "\"");
}

Parsed Refuse(std::string_view text, const std::string &problem, std::string *why) {
    *why = Quoted(text) + ": " + problem;
    return kRefused;
}

} // namespace

Parsed ParseSetting(std::string_view text, Setting *setting, std::string *why) {
    if (Trim(text).empty())
        return kBlank;
    if (text.size() > kLongestSetting)
        return Refuse(text, "longer than " + std::to_string(kLongestSetting) + " bytes", why);
    size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return Refuse(text, kGrammar, why);
    std::string_view board = Trim(text.substr(0, colon));
    if (!ParseBoardIndex(board.data(), board.size(), &setting->board))
        return Refuse(text, "the board is a decimal number from -2147483648 to 2147483647", why);

    std::string_view rest = text.substr(colon + 1);
    if (Trim(rest) == "reset") {
        setting->action = Setting::kReset;
        setting->field = -1;
        setting->value = 0;
        return kTaken;
    }
    size_t equals = rest.find('=');
    if (equals == std::string_view::npos)
        return Refuse(text, kGrammar, why);
    bool rate = equals > 0 && rest[equals - 1] == '+';
    std::string_view name = Trim(rest.substr(0, rate ? equals - 1 : equals));
    setting->field = -1;
    for (int i = 0; i < kFieldCount; i++)
        if (name == kFields[i].name)
            setting->field = i;
    if (setting->field < 0) {
        std::string fields;
        for (const Field &field : kFields)
            fields += std::string(" ") + field.name;
        return Refuse(text, "no such field; the fields are" + fields, why);
    }
    const Field &field = kFields[setting->field];
    if (rate && !IsCounter(field))
        return Refuse(text, std::string(field.name) + " is not a counter, so it has no rate", why);
    std::string_view value = Trim(rest.substr(equals + 1));
    uint32_t maximum = IsCounter(field) ? 0xffffffffu : 0xffu;
    if (!ParseNumber(value.data(), value.size(), maximum, &setting->value))
        return Refuse(text,
                      "the value is a number from 0 to " + std::to_string(maximum) +
                          ", in decimal or 0x hexadecimal",
                      why);
    setting->action = rate ? Setting::kRate : Setting::kHold;
    return kTaken;
}
