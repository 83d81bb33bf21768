#include "arguments.h"

#include <string.h>

#include "block_name.h"
#include "console.h"
#include "counter_step.h"

void StartNamedBoards(NamedBoards *named) {
    memset(named, 0, sizeof *named);
    named->lanBitsPerSecond = 1000000000;
}

static const Option *ShortOption(const CommandLine *line, char name) {
    for (int i = 0; i < line->count; i++)
        if (line->options[i].shortName == name && (unsigned char)name > ' ')
            return &line->options[i];
    return NULL;
}

static const Option *LongOption(const CommandLine *line, const char *name, size_t length) {
    for (int i = 0; i < line->count; i++)
        if (strlen(line->options[i].longName) == length &&
            strncmp(line->options[i].longName, name, length) == 0)
            return &line->options[i];
    return NULL;
}

// One argument that starts with '-'; next is the one after it (null at the
// end), taken when the option needs a value (*used 2).
static int TakeOption(const CommandLine *line, void *settings, const char *argument,
                      const char *next, int *used) {
    if (argument[1] != '-') {
        if (argument[1] == '\0')
            return line->refuse("unknown option", argument);
        for (const char *name = argument + 1; *name != '\0'; name++) {
            const Option *found = ShortOption(line, *name);
            if (found == NULL) {
                char alone[] = {'-', *name, '\0'};
                return line->refuse("unknown option", alone);
            }
            if (found->takesValue) {
                if (name[1] != '\0')
                    return line->apply(settings, *name, name + 1);
                if (next == NULL)
                    return line->refuse("needs a value", argument);
                *used = 2;
                return line->apply(settings, *name, next);
            }
            int status = line->apply(settings, *name, NULL);
            if (status >= 0)
                return status;
        }
        return -1;
    }
    const char *name = argument + 2, *value = NULL;
    size_t length = strcspn(name, "=");
    const Option *found = LongOption(line, name, length);
    if (found == NULL)
        return line->refuse("unknown option", argument);
    if (name[length] == '=')
        value = name + length + 1;
    if (!found->takesValue && value != NULL)
        return line->refuse("takes no value", argument);
    if (found->takesValue && value == NULL) {
        if (next == NULL)
            return line->refuse("needs a value", argument);
        value = next;
        *used = 2;
    }
    return line->apply(settings, found->shortName, value);
}

int TakeArguments(int argc, char **argv, const CommandLine *line, NamedBoards *named,
                  void *settings) {
    bool optionsEnd = false;
    for (int i = 1; i < argc; i++) {
        const char *argument = argv[i];
        int status, used = 1;
        if (optionsEnd || argument[0] != '-' || IsDigit(argument[1])) {
            const char *why = TakeBoard(named, argument);
            status = why != NULL ? line->refuse(why, argument) : -1;
        } else if (strcmp(argument, "--") == 0) {
            optionsEnd = true;
            status = -1;
        } else {
            status = TakeOption(line, settings, argument, argv[i + 1], &used);
        }
        if (status >= 0)
            return status;
        i += used - 1;
    }
    return -1;
}

bool ParseNumber(const char *text, uint64_t most, bool allowTenths, uint64_t *value) {
    uint64_t number = 0;
    const char *p = text;
    for (; IsDigit(*p); p++) {
        number = number * 10 + (uint64_t)(*p - '0');
        if (number > most)
            return false;
    }
    if (p == text)
        return false;
    if (allowTenths) {
        number *= 10;
        if (*p == '.' && IsDigit(p[1])) {
            number += (uint64_t)(p[1] - '0');
            p += 2;
        }
    }
    *value = number;
    return *p == '\0' && number <= (allowTenths ? most * 10 : most);
}

bool ParseRate(const char *text, uint64_t *bitsPerSecond) {
    char digits[24];
    size_t length = strlen(text);
    if (length == 0 || length >= sizeof digits)
        return false;
    memcpy(digits, text, length + 1);
    uint64_t scale = 1;
    const char *prefix = strchr("kMG", digits[length - 1]);
    if (prefix != NULL && *prefix != '\0') {
        scale = *prefix == 'k' ? 1000 : *prefix == 'M' ? 1000000 : 1000000000;
        digits[length - 1] = '\0';
    }
    uint64_t number;
    if (!ParseNumber(digits, 1000000000000ull / scale, false, &number) || number == 0)
        return false;
    *bitsPerSecond = number * scale;
    return true;
}

const char *TakeLanSpeed(NamedBoards *named, const char *value) {
    const char *equals = strchr(value, '=');
    int32_t boardIndex = 0;
    uint64_t speed;
    if (!ParseRate(equals != NULL ? equals + 1 : value, &speed) ||
        (equals != NULL && !ParseBoardIndex(value, (size_t)(equals - value), &boardIndex)))
        return "not a LAN speed";
    // Faster, a 32-bit counter may wrap between two publications, and no
    // step would tell what it counted.
    if (MostCounted(speed, 1, false) >= (uint64_t)1 << 32)
        return "faster than a 32-bit counter can follow from one publication to the next "
               "(at most 32G)";
    if (equals == NULL) {
        named->lanBitsPerSecond = speed;
        return NULL;
    }
    int i = 0;
    while (i < named->speedCount && named->speeds[i].boardIndex != boardIndex)
        i++;
    if (i == kMostBoards)
        return "too many boards, at most 1024";
    named->speeds[i] = BoardSpeed{boardIndex, speed};
    named->speedCount += i == named->speedCount;
    return NULL;
}

uint64_t SpeedOf(const NamedBoards *named, int32_t boardIndex) {
    for (int i = 0; i < named->speedCount; i++)
        if (named->speeds[i].boardIndex == boardIndex)
            return named->speeds[i].bitsPerSecond;
    return named->lanBitsPerSecond;
}

const char *TakeBoard(NamedBoards *named, const char *argument) {
    int32_t boardIndex;
    if (!ParseBoardIndex(argument, strlen(argument), &boardIndex))
        return "not a board index";
    for (int i = 0; i < named->boardCount; i++)
        if (named->boards[i] == boardIndex)
            return NULL;
    if (named->boardCount == kMostBoards)
        return "too many boards, at most 1024";
    named->boards[named->boardCount++] = boardIndex;
    return NULL;
}
