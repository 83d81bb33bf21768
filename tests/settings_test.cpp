// The stand-in service's settings grammar, called directly.
#include <gtest/gtest.h>

#include <string>

#include "settings.h"

namespace {

const char kValue255[] = ": the value is a number from 0 to 255, in decimal or 0x hexadecimal";
const char kValue32[] =
    ": the value is a number from 0 to 4294967295, in decimal or 0x hexadecimal";
const char kBoard[] = ": the board is a decimal number from -2147483648 to 2147483647";

TEST(ParseSetting, OneGrammarWithTheFieldsRanges) {
    const struct {
        std::string text;
        Parsed parsed;
        std::string taken; // board action field value, or why
    } cases[] = {
        // clang-format off
        {"0:linkStatusA=255",        kTaken,   "0 hold linkStatusA 255"},
        {"0:linkStatusA=-2",         kRefused, "\"0:linkStatusA=-2\"" + std::string(kValue255)},
        {"0:linkStatusA=256",        kRefused, "\"0:linkStatusA=256\"" + std::string(kValue255)},
        {"0:txOctetsA=4294967295",   kTaken,   "0 hold txOctetsA 4294967295"},
        {"0:txOctetsA=0xFFFFffff",   kTaken,   "0 hold txOctetsA 4294967295"},
        {"0:txOctetsA=-1",           kRefused, "\"0:txOctetsA=-1\"" + std::string(kValue32)},
        {"0:txOctetsA=4294967296",   kRefused, "\"0:txOctetsA=4294967296\"" + std::string(kValue32)},
        {"0:txOctetsA=0x",           kRefused, "\"0:txOctetsA=0x\"" + std::string(kValue32)},
        {"0x52:rxErrA=1",            kRefused, "\"0x52:rxErrA=1\"" + std::string(kBoard)},
        {"+82:rxErrA=1",             kRefused, "\"+82:rxErrA=1\"" + std::string(kBoard)},
        {"2147483648:rxErrA=1",      kRefused, "\"2147483648:rxErrA=1\"" + std::string(kBoard)},
        {"-2147483648:rxErrA=010",   kTaken,   "-2147483648 hold rxErrA 10"},
        {"82:rxErrB=1\r",            kTaken,   "82 hold rxErrB 1"},
        {" 82 :\trxErrB = 1 ",       kTaken,   "82 hold rxErrB 1"},
        {"-3:rxGoodOctetsB+=125000000", kTaken, "-3 rate rxGoodOctetsB 125000000"},
        {"-3:linkStatusB+=1",        kRefused, "\"-3:linkStatusB+=1\": linkStatusB is not a counter, so it has no rate"},
        {"7: reset ",                kTaken,   "7 reset"},
        {"7:rxErrA",                 kRefused, "\"7:rxErrA\": not BOARD:FIELD=VALUE, BOARD:FIELD+=VALUE or BOARD:reset"},
        {"7:rxerra=1",               kRefused, "\"7:rxerra=1\": no such field; the fields are rxGoodOctetsA "
                                               "rxGoodOctetsB rxErrA rxErrB txOctetsA txOctetsB linkStatusA linkStatusB"},
        {" \t\r",                    kBlank,   ""},
        {"1:txOctetsA=" + std::string(189, '1'), kRefused,
                                               "\"1:txOctetsA=1111111111111111111111111111...\": longer than 200 bytes"},
        // clang-format on
    };
    const char *kActions[] = {"hold", "rate", "reset"};
    for (const auto &c : cases) {
        Setting setting;
        std::string why;
        Parsed parsed = ParseSetting(c.text, &setting, &why);
        EXPECT_EQ(parsed, c.parsed) << c.text;
        std::string taken = std::to_string(setting.board) + " " + kActions[setting.action];
        if (setting.action != Setting::kReset)
            taken += std::string(" ") + kFields[setting.field].name + " " +
                     std::to_string(setting.value);
        EXPECT_EQ(parsed == kTaken ? taken : why, c.taken) << c.text;
    }
}

} // namespace
