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
// whole, the keys at the right: all of them or as few as fit, t among them
// while boards out of view are in trouble.
void PutFooter(Grid *grid, const Screen *screen, const ViewSettings *view,
               const Placement *placement, int troubleOutOfView) {
    struct Part {
        char chars[128];
        CellStyle style;
        int room; // the columns it takes, however long its text
    } parts[7];
    int count = 0;
    auto part = [&](CellStyle style) -> Text {
        parts[count].style = style;
        parts[count].room = 0;
        return TEXT_IN(parts[count++].chars);
    };
    if (screen->goingTo != nullptr) {
        Text text = part(kStyleBold);
        AppendText(&text, "go to board ");
        AppendText(&text, screen->goingTo);
        AppendChar(&text, '_');
    }
    if (screen->notThere != nullptr) {
        Text text = part(kStyleWarning);
        AppendText(&text, screen->notThere);
    }
    int shown = placement->shown;
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
    // After the count of the boards in trouble, which outranks it.
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
    if (screen->troubleOnly) {
        Text text = part(kStyleWarning);
        AppendText(&text, "in trouble only: ");
        AppendUnsigned(&text, (uint64_t)screen->count);
        AppendText(&text, " of ");
        AppendUnsigned(&text, (uint64_t)screen->watched);
    }
    Text keys = part(kStyleDim);
    AppendText(&keys, "q quit  b ");
    AppendText(&keys, view->bytes ? "bits" : "bytes");
    AppendText(&keys, view->graphs && !placement->graphs && !placement->lines
                          ? "  g graphs: no room"
                          : "  g graphs");
    AppendText(&keys, "  +/- mark >");
    AppendMark(&keys, view->boards.markTenths);
    AppendText(&keys, "%  t trouble  ? keys");
    int column = 0, row = grid->rows - 1;
    for (int i = 0; i < count; i++) {
        const char *chars = parts[i].chars;
        bool keysPart = i == count - 1;
        // Fewer keys where all do not fit: the first of these that does.
        static const char *const kFewer[] = {"q quit  t trouble  ? keys", "q quit  ? keys",
                                             "? keys"};
        for (int fewer = troubleOutOfView != 0 ? 0 : 1;
             keysPart && column + Width(chars) > grid->columns && fewer < 3; fewer++)
            chars = kFewer[fewer];
        int width = Width(chars) > parts[i].room ? Width(chars) : parts[i].room;
        if (column + width > grid->columns)
            continue;
        if (keysPart)
            column = grid->columns - width;
        PutText(grid, row, column, chars, parts[i].style);
        column += width + 2;
    }
}

// Every key, as the manual page lists them: a key a row where the rows
// allow, else as many a row as the width holds; said in full, or in short
// where that takes more rows than there are.
void PutKeysPage(Grid *grid) {
    static const char *const kKeys[][3] = {
        {"q, Ctrl-C", "quit", "quit"},
        {"b", "bit/s or byte/s", "bits/bytes"},
        {"g", "graphs on or off", "graphs"},
        {"+, -", "raise or lower the mark", "mark"},
        {"t", "only the boards in trouble", "trouble only"},
        {"s", "by board or trouble first", "sort"},
        {"d", "blocks or a line a board", "blocks/lines"},
        {"up, down, k, j", "a row of boards", "scroll"},
        {"PgUp, PgDn", "a page", "page"},
        {"Home, End", "the first, the last", "first/last"},
        {"12 Enter", "go to board 12 (Esc: not)", "board 12"},
        {"Ctrl-L", "draw it all again", "redraw"},
        {"Ctrl-Z", "suspend (fg: back)", "suspend"},
        {"?", "these keys", "keys"},
    };
    const int count = (int)(sizeof kKeys / sizeof kKeys[0]);
    int keyWidth = 0, widest = 0;
    for (const auto &key : kKeys)
        keyWidth = Width(key[0]) > keyWidth ? Width(key[0]) : keyWidth;
    for (const auto &key : kKeys)
        widest = keyWidth + 2 + Width(key[1]) > widest ? keyWidth + 2 + Width(key[1]) : widest;
    if (grid->rows > count && grid->columns >= widest) {
        ClearGrid(grid, grid->rows, grid->columns);
        PutText(grid, 0, 0, "WatchBoards keys (any key to go back)", kStyleBold);
        for (int i = 0; i < count; i++) {
            PutText(grid, 1 + i, 0, kKeys[i][0], kStyleBold);
            PutText(grid, 1 + i, keyWidth + 2, kKeys[i][1], kStylePlain);
        }
        return;
    }
    for (int said = 1; said <= 2; said++) {
        ClearGrid(grid, grid->rows, grid->columns);
        PutText(grid, 0, 0, "WatchBoards keys (any key to go back)", kStyleBold);
        int row = 1, column = 0;
        for (const auto &key : kKeys) {
            int width = Width(key[0]) + 1 + Width(key[said]);
            if (column != 0 && column + 3 + width > grid->columns) {
                row++;
                column = 0;
            } else if (column != 0) {
                column += 3;
            }
            column = PutText(grid, row, column, key[0], kStyleBold) + 1;
            column = PutText(grid, row, column, key[said], kStylePlain);
        }
        if (row < grid->rows)
            return;
    }
}

// "WatchBoards needs 40x10, not 30x6", a word at a time across the rows.
void PutTooSmall(Grid *grid) {
    char chars[64];
    Text text = TEXT_IN(chars);
    AppendText(&text, "WatchBoards needs ");
    AppendUnsigned(&text, (uint64_t)kMinimumColumns);
    AppendChar(&text, 'x');
    AppendUnsigned(&text, (uint64_t)MinimumRows());
    AppendText(&text, ", not ");
    AppendUnsigned(&text, (uint64_t)grid->columns);
    AppendChar(&text, 'x');
    AppendUnsigned(&text, (uint64_t)grid->rows);
    int row = 0, column = 0;
    for (char *word = chars; *word != '\0';) {
        char *end = word;
        while (*end != '\0' && *end != ' ')
            end++;
        char kept = *end;
        *end = '\0';
        if (column != 0 && column + 1 + (int)(end - word) > grid->columns) {
            row++;
            column = 0;
        } else if (column != 0) {
            column++;
        }
        column = PutText(grid, row, column, word, row == 0 ? kStyleBold : kStylePlain);
        *end = kept;
        word = kept == '\0' ? end : end + 1;
    }
}
