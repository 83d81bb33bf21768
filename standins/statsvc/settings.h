// The stand-in service's settings, one grammar for its command line and its
// standard input:
//
//   BOARD:FIELD=VALUE    hold FIELD of BOARD at VALUE
//   BOARD:FIELD+=VALUE   let the counter FIELD grow by VALUE a second
//   BOARD:reset          set every counter of BOARD to 0
//
// BOARD is a board index in decimal, VALUE a number in decimal or 0x
// hexadecimal within the field's range (0 to 255 for a link status, 0 to
// 4294967295 for a counter); blanks may stand around each part.  The parser
// is a pure function, apart from the service, so that a fuzz target can
// feed it any text.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <string_view>

// A field of the record that a setting may name.
struct Field {
    const char *name;
    size_t offset, size;
};

enum { kFieldCount = 8 };
extern const Field kFields[kFieldCount];

// The 32-bit fields count; the 8-bit ones are link states.
inline bool IsCounter(const Field &field) { return field.size == 4; }

// The longest setting taken, in bytes.
enum { kLongestSetting = 200 };

struct Setting {
    enum Action { kHold, kRate, kReset };
    int32_t board;
    Action action;
    int field;      // in kFields (not for kReset)
    uint32_t value; // held, or grown by a second
};

// Parses one setting.  Text of nothing but blanks is no setting; refused
// text gives why: the text quoted (a long one only by its start), then
// what is wrong with it.
enum Parsed { kTaken, kBlank, kRefused };
Parsed ParseSetting(std::string_view text, Setting *setting, std::string *why);
