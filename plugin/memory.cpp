#include "memory.h"

#include <string.h>

#include "block_name.h"

static const char kFirstLine[] = "check_prp_hsr state ";

const RememberedBoard *Remembered(const Memory *memory, int32_t boardIndex) {
    int at = 0, past = memory->count;
    while (at < past) {
        int middle = at + (past - at) / 2;
        if (memory->boards[middle].boardIndex < boardIndex)
            at = middle + 1;
        else
            past = middle;
    }
    return at < memory->count && memory->boards[at].boardIndex == boardIndex ? &memory->boards[at]
                                                                             : nullptr;
}

// A line's words, read one after the other.
struct Words {
    const char *at, *end;
    bool bad; // a word missing, or not what it should be
};

// The next word; empty at the line's end.
static size_t NextWord(Words *words, const char **word) {
    while (words->at < words->end && *words->at == ' ')
        words->at++;
    *word = words->at;
    while (words->at < words->end && *words->at != ' ')
        words->at++;
    return (size_t)(words->at - *word);
}

static bool IsWord(Words *words, const char *expected) {
    const char *word;
    size_t length = NextWord(words, &word);
    return length == strlen(expected) && memcmp(word, expected, length) == 0;
}

// Whether the next word is expected, which is then taken; otherwise the
// line is left as it was.
static bool TakeWord(Words *words, const char *expected) {
    const char *at = words->at;
    if (IsWord(words, expected))
        return true;
    words->at = at;
    return false;
}

// A whole number up to most; "-" where unknown is allowed and found.
static uint64_t Number(Words *words, uint64_t most, bool *unknown = nullptr) {
    const char *word;
    size_t length = NextWord(words, &word);
    if (unknown != nullptr && length == 1 && word[0] == '-') {
        *unknown = true;
        return 0;
    }
    uint64_t value = 0;
    for (size_t i = 0; i < length; i++) {
        uint64_t digit = (uint64_t)(word[i] - '0');
        if (digit > 9 || value > (most - digit) / 10) {
            words->bad = true;
            return 0;
        }
        value = value * 10 + digit;
    }
    words->bad |= length == 0 || (length > 1 && word[0] == '0');
    return value;
}

// The fastest LAN any board is taken at, and a moment beyond any check's.
static const uint64_t kFastestSpeed = 1000000000000ull, kLatestMs = 1ull << 50;

static bool ParseBoard(Words *words, RememberedBoard *board) {
    memset(board, 0, sizeof *board);
    const char *word;
    size_t length = NextWord(words, &word);
    if (!ParseBoardIndex(word, length, &board->boardIndex))
        return false;
    length = NextWord(words, &word);
    int state = 0;
    while (state < kBoardStates && (strlen(StateWord((BoardState)state)) != length ||
                                    memcmp(StateWord((BoardState)state), word, length) != 0))
        state++;
    if (state == kBoardStates)
        return false;
    board->state = (BoardState)state;
    if (TakeWord(words, "record")) {
        board->hasRecord = true;
        board->publishedMs = Number(words, kLatestMs);
        board->bitsPerSecond = Number(words, kFastestSpeed);
        words->bad |= board->bitsPerSecond == 0;
        for (int lan = 0; lan < kLans; lan++)
            board->linkStatus[lan] = (uint8_t)Number(words, UINT8_MAX);
        for (int counter = 0; counter < kCounters; counter++)
            for (int lan = 0; lan < kLans; lan++)
                board->counter[lan][counter] = (uint32_t)Number(words, UINT32_MAX);
    }
    if (TakeWord(words, "exporter")) {
        board->hasTotals = true;
        board->writtenMs = Number(words, kLatestMs);
        board->totals.boardIndex = board->boardIndex;
        for (int total = 0; total < kTotals; total++) {
            for (int lan = 0; lan < kLans; lan++) {
                bool unknown = false;
                board->totals.total[lan][total] = Number(words, UINT64_MAX, &unknown);
                if (!unknown)
                    board->totals.known |= (uint16_t)(1u << (lan * kTotals + total));
            }
        }
    }
    if (TakeWord(words, "away")) {
        board->awaySinceMs = Number(words, kLatestMs);
        words->bad |= board->awaySinceMs == 0;
    }
    // What an away board has, a record, is no board's.
    bool away = !HasRecord(board->state);
    words->bad |= away != (board->awaySinceMs != 0) || (away && board->hasRecord);
    return !words->bad && NextWord(words, &word) == 0;
}

MemoryRead ParseMemory(const char *bytes, size_t length, Memory *memory) {
    memory->checkedMs = 0;
    memory->count = 0;
    const char *end = bytes + length, *line = bytes;
    bool ended = false;
    for (int number = 0; line < end && !ended; number++) {
        const char *stop = (const char *)memchr(line, '\n', (size_t)(end - line));
        if (stop == nullptr) // cut short
            break;
        Words words = {line, stop, false};
        line = stop + 1;
        if (number == 0) {
            // Another version is told by its first line alone.
            size_t first = sizeof kFirstLine - 1;
            if ((size_t)(stop - words.at) <= first || memcmp(words.at, kFirstLine, first) != 0)
                break;
            words.at += first;
            uint64_t version = Number(&words, UINT32_MAX);
            if (words.bad || words.at != stop)
                break;
            if (version != kMemoryVersion)
                return kMemoryOtherVersion;
            continue;
        }
        if (number == 1) {
            if (!IsWord(&words, "checked"))
                break;
            memory->checkedMs = Number(&words, kLatestMs);
            if (words.bad || memory->checkedMs == 0 || words.at != stop)
                break;
            continue;
        }
        if (TakeWord(&words, "end")) {
            ended = words.at == stop;
            if (!ended)
                break;
            continue;
        }
        RememberedBoard *board = &memory->boards[memory->count];
        if (memory->count == kMostBoards || !IsWord(&words, "board") || !ParseBoard(&words, board))
            break;
        // In increasing order, each once; found away no later than checked.
        if ((memory->count > 0 &&
             board->boardIndex <= memory->boards[memory->count - 1].boardIndex) ||
            board->awaySinceMs > memory->checkedMs)
            break;
        memory->count++;
    }
    // Whole: up to its end line, and nothing after it.
    if (!ended || line != end || memory->checkedMs == 0) {
        memory->checkedMs = 0;
        memory->count = 0;
        return kMemoryDamaged;
    }
    return kMemoryWhole;
}

void AppendMemory(Text *text, const Memory *memory) {
    AppendText(text, kFirstLine);
    AppendUnsigned(text, kMemoryVersion);
    AppendText(text, "\nchecked ");
    AppendUnsigned(text, memory->checkedMs);
    AppendChar(text, '\n');
    for (int i = 0; i < memory->count; i++) {
        const RememberedBoard &board = memory->boards[i];
        AppendText(text, "board ");
        AppendSigned(text, board.boardIndex);
        AppendChar(text, ' ');
        AppendText(text, StateWord(board.state));
        if (board.hasRecord) {
            AppendText(text, " record ");
            AppendUnsigned(text, board.publishedMs);
            AppendChar(text, ' ');
            AppendUnsigned(text, board.bitsPerSecond);
            for (int lan = 0; lan < kLans; lan++) {
                AppendChar(text, ' ');
                AppendUnsigned(text, board.linkStatus[lan]);
            }
            for (int counter = 0; counter < kCounters; counter++) {
                for (int lan = 0; lan < kLans; lan++) {
                    AppendChar(text, ' ');
                    AppendUnsigned(text, board.counter[lan][counter]);
                }
            }
        }
        if (board.hasTotals) {
            AppendText(text, " exporter ");
            AppendUnsigned(text, board.writtenMs);
            for (int total = 0; total < kTotals; total++) {
                for (int lan = 0; lan < kLans; lan++) {
                    AppendChar(text, ' ');
                    if (TotalKnown(&board.totals, lan, (Total)total))
                        AppendUnsigned(text, board.totals.total[lan][total]);
                    else
                        AppendChar(text, '-');
                }
            }
        }
        if (board.awaySinceMs != 0) {
            AppendText(text, " away ");
            AppendUnsigned(text, board.awaySinceMs);
        }
        AppendChar(text, '\n');
    }
    AppendText(text, "end\n");
}

// FNV-1a, 64 bits: small, and spreads every byte.
static uint64_t Hash(const char *bytes, size_t length) {
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < length; i++)
        hash = (hash ^ (unsigned char)bytes[i]) * 1099511628211ull;
    return hash;
}

static void AppendRangeText(Text *text, const char *name, const Range *range) {
    AppendChar(text, ' ');
    AppendText(text, name);
    AppendChar(text, '=');
    if (range->text != nullptr)
        AppendText(text, range->text);
}

void AppendStateKey(Text *text, const CheckOptions *options) {
    static Text arguments = GrowingText();
    EmptyText(&arguments);
    const NamedBoards &named = options->named;
    // The boards named, in increasing order, each once.
    AppendText(&arguments, "boards");
    for (int32_t last = INT32_MIN, i = 0; i < named.boardCount; i++) {
        bool any = false;
        int32_t next = INT32_MAX;
        for (int j = 0; j < named.boardCount; j++) {
            int32_t board = named.boards[j];
            if ((i == 0 || board > last) && board <= next) {
                next = board;
                any = true;
            }
        }
        if (!any)
            break;
        AppendChar(&arguments, ' ');
        AppendSigned(&arguments, next);
        last = next;
    }
    AppendRangeText(&arguments, "w", &options->divergence.warning);
    AppendRangeText(&arguments, "c", &options->divergence.critical);
    AppendRangeText(&arguments, "W", &options->errors.warning);
    AppendRangeText(&arguments, "C", &options->errors.critical);
    AppendRangeText(&arguments, "losses-warning", &options->losses.warning);
    AppendRangeText(&arguments, "losses-critical", &options->losses.critical);
    // The speeds: every board's, then each board's own in increasing order.
    AppendText(&arguments, " s=");
    AppendUnsigned(&arguments, named.lanBitsPerSecond);
    for (int32_t last = INT32_MIN, i = 0; i < named.speedCount; i++) {
        int found = -1;
        for (int j = 0; j < named.speedCount; j++) {
            int32_t board = named.speeds[j].boardIndex;
            if ((i == 0 || board > last) && (found < 0 || board < named.speeds[found].boardIndex))
                found = j;
        }
        if (found < 0)
            break;
        AppendChar(&arguments, ' ');
        AppendSigned(&arguments, named.speeds[found].boardIndex);
        AppendChar(&arguments, '=');
        AppendUnsigned(&arguments, named.speeds[found].bitsPerSecond);
        last = named.speeds[found].boardIndex;
    }
    AppendText(&arguments, " textfile=");
    AppendText(&arguments, options->textfile != nullptr ? options->textfile : "(default)");
    AppendText(&arguments, " forget=");
    AppendUnsigned(&arguments, options->forgetSeconds);
    uint64_t hash = Hash(arguments.chars, arguments.length);
    for (int shift = 60; shift >= 0; shift -= 4)
        AppendChar(text, "0123456789abcdef"[hash >> shift & 0xF]);
}
