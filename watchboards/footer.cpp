#include "footer.h"

#include "board_block.h"

// The mark, in percent: "5", "0.5".
static void AppendMark(Text *text, uint32_t tenths) {
    AppendUnsigned(text, tenths / 10);
    if (tenths % 10 != 0) {
        AppendChar(text, '.');
        AppendChar(text, (char)('0' + tenths % 10));
    }
}

// The footer, from its parts, heaviest first, each put only when it fits
// whole, the keys at the right: all of them or as few as fit.
void PutFooter(Grid *grid, const Screen *screen, const ViewSettings *settings, int shown,
               bool graphs, int troubleOutOfView) {
    struct Part {
        char chars[128];
        CellStyle style;
        int room; // the columns it takes, however long its text
    } parts[5];
    int count = 0;
    auto part = [&](CellStyle style) -> Text {
        parts[count].style = style;
        parts[count].room = 0;
        return TEXT_IN(parts[count++].chars);
    };
    if (screen->notice.bitsPerSecond != 0) {
        Text text = part(kStyleWarning);
        AppendText(&text, "board ");
        AppendSigned(&text, screen->notice.board);
        if (screen->notice.tooFast) {
            AppendText(&text, " too fast to count");
        } else {
            AppendText(&text, " taken at ");
            AppendSpeed(&text, screen->notice.bitsPerSecond);
        }
    }
    if (shown < screen->count) {
        Text text = part(kStyleDim);
        AppendText(&text, shown == 1 ? "board " : "boards ");
        AppendUnsigned(&text, (uint64_t)screen->firstBoard + 1);
        if (shown > 1) {
            AppendChar(&text, '-');
            AppendUnsigned(&text, (uint64_t)(screen->firstBoard + shown));
        }
        AppendText(&text, " of ");
        AppendUnsigned(&text, (uint64_t)screen->count);
        AppendText(&text, " \xe2\x86\x91\xe2\x86\x93"); // "↑↓"
        // The boards in trouble out of view, in room as wide as the most
        // there can be, so that the footer stands still as they come and go.
        text = part(kStyleAlarm);
        if (troubleOutOfView != 0) {
            AppendUnsigned(&text, (uint64_t)troubleOutOfView);
            AppendText(&text, " in trouble");
        }
        char most[24];
        Text room = TEXT_IN(most);
        AppendUnsigned(&room, (uint64_t)screen->count);
        parts[count - 1].room = (int)room.length + 11; // " in trouble"
    }
    if (screen->troubleOnly) {
        Text text = part(kStyleWarning);
        AppendText(&text, "in trouble only: ");
        AppendUnsigned(&text, (uint64_t)screen->count);
        AppendText(&text, " of ");
        AppendUnsigned(&text, (uint64_t)screen->watched);
    }
    Text keys = part(kStyleDim);
    AppendText(&keys, "q quit  b ");
    AppendText(&keys, settings->bytes ? "bits" : "bytes");
    AppendText(&keys, settings->graphs && !graphs ? "  g graphs: no room" : "  g graphs");
    AppendText(&keys, "  +/- mark >");
    AppendMark(&keys, settings->markTenths);
    AppendText(&keys, "%  t trouble  ? keys");
    int column = 0, row = grid->rows - 1;
    for (int i = 0; i < count; i++) {
        const char *chars = parts[i].chars;
        bool keysPart = i == count - 1;
        if (keysPart && column + Width(chars) > grid->columns)
            chars = column + 14 <= grid->columns ? "q quit  ? keys" : "? keys";
        int width = Width(chars) > parts[i].room ? Width(chars) : parts[i].room;
        if (column + width > grid->columns)
            continue;
        if (keysPart)
            column = grid->columns - width;
        PutText(grid, row, column, chars, parts[i].style);
        column += width + 2;
    }
}

// Every key, one a line, as the manual page lists them.
void PutKeysPage(Grid *grid) {
    static const char *const kKeys[][2] = {
        {"q, Ctrl-C", "quit, the terminal as it was"},
        {"b", "rates in bit/s or in byte/s"},
        {"g", "graphs on or off"},
        {"+, -", "raise or lower the mark"},
        {"t", "only the boards in trouble, or all"},
        {"up, k", "scroll up"},
        {"down, j", "scroll down"},
        {"Ctrl-L", "draw the whole screen again"},
        {"Ctrl-Z", "suspend (fg brings it back)"},
        {"?", "these keys"},
    };
    PutText(grid, 0, 0, "WatchBoards keys (any key to go back)", kStyleBold);
    int row = 1;
    for (const auto &key : kKeys) {
        PutText(grid, row, 0, key[0], kStyleBold);
        PutText(grid, row++, 11, key[1], kStylePlain);
    }
}

void PutTooSmall(Grid *grid) {
    char chars[64];
    Text text = TEXT_IN(chars);
    AppendText(&text, "WatchBoards needs ");
    AppendUnsigned(&text, (uint64_t)kMinimumColumns);
    AppendChar(&text, 'x');
    AppendUnsigned(&text, (uint64_t)MinimumRows());
    PutText(grid, 0, 0, chars, kStyleBold);
    text = TEXT_IN(chars);
    AppendText(&text, "this terminal is ");
    AppendUnsigned(&text, (uint64_t)grid->columns);
    AppendChar(&text, 'x');
    AppendUnsigned(&text, (uint64_t)grid->rows);
    PutText(grid, 1, 0, chars, kStylePlain);
}
