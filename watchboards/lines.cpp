#include "lines.h"

static const char kLanSuffixes[kLans] = {'A', 'B'};

// A column of a line: a figure with a name, of one LAN for a LAN's figure,
// and its name as the header and JSON say it ("rxRateA").
struct Column {
    FigureId id;
    int lan;
    char name[32];
    size_t length;
};
enum { kMostColumns = 2 * kFigureCount };

// The columns, in order, from the rows, made once; returns how many.
static int Columns(const Column **columns) {
    static Column made[kMostColumns];
    static int count = -1; // not made yet
    if (count < 0) {
        count = 0;
        for (int id = 0; id < kFigureCount; id++) {
            for (int lan = 0;
                 kFigures[id].name != nullptr && lan < (kFigures[id].ofEachLan ? kLans : 1);
                 lan++) {
                Column *column = &made[count++];
                column->id = (FigureId)id;
                column->lan = lan;
                Text name = TEXT_IN(column->name);
                AppendText(&name, kFigures[id].name);
                if (kFigures[id].ofEachLan)
                    AppendChar(&name, kLanSuffixes[lan]);
                column->length = name.length;
            }
        }
    }
    *columns = made;
    return count;
}

void AppendNameMember(Text *text, const char *name) {
    AppendText(text, ",\"name\":");
    if (name[0] == '\0') {
        AppendText(text, "null");
        return;
    }
    AppendChar(text, '"');
    AppendEscaped(text, name);
    AppendChar(text, '"');
}

void AppendHeaderLine(Text *text, LineFormat format) {
    if (format == kJson)
        return;
    const Column *columns;
    int count = Columns(&columns);
    AppendText(text, "time");
    for (const Column *column = columns; column < columns + count; column++) {
        AppendChar(text, '\t');
        AppendChars(text, column->name, column->length);
    }
    AppendChar(text, '\n');
}

void AppendBoardLine(Text *text, const Board *board, const char *time, const FigureContext *context,
                     LineFormat format) {
    const Column *columns;
    int count = Columns(&columns);
    bool json = format == kJson;
    AppendText(text, json ? "{\"time\":\"" : "");
    AppendText(text, time);
    AppendText(text, json ? "\"" : "");
    for (const Column *column = columns; column < columns + count; column++) {
        if (json) {
            AppendChars(text, ",\"", 2);
            AppendChars(text, column->name, column->length);
            AppendChars(text, "\":", 2);
        } else {
            AppendChar(text, '\t');
        }
        AppendFigure(text, column->id, board, column->lan, context, json ? kInJson : kInLine);
        if (json && column->id == kFigureBoard) // the board's name beside its number
            AppendNameMember(text, board->name);
    }
    AppendText(text, json ? "}\n" : "\n");
}
