#include "objects.h"

#include <string.h>

const SubId kLreRoot[kLreRootLength] = {1, 0, 62439, 2, 21};
const SubId kInterfaceCount[kInterfaceCountLength] = {1, 0, 62439, 2, 21, 0, 0, 2};
// lreInterfaceConfigEntry and lreInterfaceStatsEntry.
static const SubId kConfigEntry[kEntryLength] = {1, 0, 62439, 2, 21, 0, 1, 0, 1, 1};
static const SubId kStatsEntry[kEntryLength] = {1, 0, 62439, 2, 21, 1, 1, 0, 1, 1};

void AppendNodeName(Text *text, const Board *board) {
    if (board->name[0] != '\0') {
        AppendText(text, board->name);
        return;
    }
    AppendText(text, "board ");
    AppendSigned(text, board->boardIndex);
}

namespace {

// The MIB's values of a row's status and of a link.
enum { kActive = 1, kLinkUp = 1, kLinkDown = 2 };

ObjectValue Number(ObjectType type, uint32_t number) {
    ObjectValue value;
    memset(&value, 0, sizeof value);
    value.type = type;
    value.number = number;
    return value;
}

bool RowStatus(const Board *, const FigureContext *, ObjectValue *value) {
    *value = Number(kInteger32, kActive);
    return true;
}

bool NodeName(const Board *board, const FigureContext *, ObjectValue *value) {
    *value = Number(kOctetString, 0);
    Text text = TEXT_IN(value->text);
    AppendNodeName(&text, board);
    value->length = (uint16_t)text.length;
    return true;
}

// Up or down as the library reads the link: its status 0 is down.
template <int lan>
bool LinkStatus(const Board *board, const FigureContext *context, ObjectValue *value) {
    int64_t status;
    if (!FigureValue(kFigureLinkStatus, board, lan, context, &status))
        return false;
    *value = Number(kInteger32, status != 0 ? kLinkUp : kLinkDown);
    return true;
}

// The library's total, which a reset adds nothing to, modulo 2^32: a
// manager never sees a reset as a burst of errors.
template <int lan>
bool Errors(const Board *board, const FigureContext *context, ObjectValue *value) {
    int64_t total;
    if (!FigureValue(kFigureRxErrSinceStart, board, lan, context, &total))
        return false;
    *value = Number(kCounter32, (uint32_t)(uint64_t)total);
    return true;
}

} // namespace

const Column kColumns[kColumnCount] = {
    {"lreRowStatus", kConfigEntry, 2, kInteger32, RowStatus},
    {"lreNodeName", kConfigEntry, 4, kOctetString, NodeName},
    {"lreLinkStatusA", kConfigEntry, 9, kInteger32, LinkStatus<kLanA>},
    {"lreLinkStatusB", kConfigEntry, 10, kInteger32, LinkStatus<kLanB>},
    {"lreCntErrorsA", kStatsEntry, 11, kCounter32, Errors<kLanA>},
    {"lreCntErrorsB", kStatsEntry, 12, kCounter32, Errors<kLanB>},
};

void GatherRows(AgentRows *rows, const Board *const *boards, int count,
                const FigureContext *context) {
    rows->count = 0;
    rows->context = *context;
    for (int i = 0; i < count; i++) {
        const Board *board = boards[i];
        if (!board->sampled || !HasRecord(board->state) || board->boardIndex < 0 ||
            board->boardIndex == INT32_MAX)
            continue;
        // Boards come in order of index but where they were named otherwise.
        AgentRow row = {(uint32_t)board->boardIndex + 1, board};
        int at = rows->count++;
        for (; at > 0 && rows->rows[at - 1].index > row.index; at--)
            rows->rows[at] = rows->rows[at - 1];
        rows->rows[at] = row;
    }
}

namespace {

// Where an OID sorts against a prefix: before every OID that starts with
// it, within it, or after all of them.
enum Place { kBefore, kWithin, kAfter };

Place PlaceOf(const SubId *oid, size_t length, const SubId *prefix, size_t prefixLength) {
    for (size_t i = 0; i < prefixLength; i++) {
        if (i == length)
            return kBefore; // a prefix of the prefix
        if (oid[i] != prefix[i])
            return oid[i] < prefix[i] ? kBefore : kAfter;
    }
    return kWithin;
}

// The column's own OID, its entry's and its number.
struct ColumnOid {
    SubId oid[kEntryLength + 1];
};

ColumnOid OidOf(const Column &column) {
    ColumnOid of;
    memcpy(of.oid, column.entry, sizeof(SubId) * kEntryLength);
    of.oid[kEntryLength] = column.column;
    return of;
}

// The first row whose index is above index.
int RowAbove(const AgentRows *rows, uint32_t index) {
    int low = 0, high = rows->count;
    while (low < high) {
        int middle = (low + high) / 2;
        if (rows->rows[middle].index <= index)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// The row of that index; -1 when there is none.
int RowOf(const AgentRows *rows, uint32_t index) {
    int above = RowAbove(rows, index);
    return above > 0 && rows->rows[above - 1].index == index ? above - 1 : -1;
}

} // namespace

Found GetObject(const AgentRows *rows, const SubId *oid, size_t length, ObjectValue *value) {
    if (PlaceOf(oid, length, kInterfaceCount, kInterfaceCountLength) == kWithin) {
        if (length != kInterfaceCountLength + 1 || oid[kInterfaceCountLength] != 0)
            return kNoSuchInstance;
        *value = Number(kInteger32, (uint32_t)rows->count);
        return kFoundValue;
    }
    for (const Column &column : kColumns) {
        ColumnOid of = OidOf(column);
        if (PlaceOf(oid, length, of.oid, kEntryLength + 1) != kWithin)
            continue;
        if (length != kEntryLength + 2)
            return kNoSuchInstance;
        int row = RowOf(rows, oid[kEntryLength + 1]);
        if (row < 0 || !column.value(rows->rows[row].board, &rows->context, value))
            return kNoSuchInstance;
        return kFoundValue;
    }
    return kNoSuchObject;
}

bool NextObject(const AgentRows *rows, const SubId *oid, size_t length, bool inclusive,
                Instance *next) {
    if (inclusive && GetObject(rows, oid, length, &next->value) == kFoundValue) {
        next->length = (int)length;
        memcpy(next->oid, oid, sizeof(SubId) * length);
        return true;
    }
    // lreInterfaceCount.0 comes first, and is always there.
    Place place = PlaceOf(oid, length, kInterfaceCount, kInterfaceCountLength);
    if (place == kBefore || (place == kWithin && length == kInterfaceCountLength)) {
        next->length = kInterfaceCountLength + 1;
        memcpy(next->oid, kInterfaceCount, sizeof kInterfaceCount);
        next->oid[kInterfaceCountLength] = 0;
        return GetObject(rows, next->oid, (size_t)next->length, &next->value) == kFoundValue;
    }
    for (const Column &column : kColumns) {
        ColumnOid of = OidOf(column);
        place = PlaceOf(oid, length, of.oid, kEntryLength + 1);
        if (place == kAfter)
            continue;
        // Within the column, the rows above the index asked for: the index
        // itself is at or before the OID asked for.
        int row = place == kBefore || length == kEntryLength + 1
                      ? 0
                      : RowAbove(rows, oid[kEntryLength + 1]);
        for (; row < rows->count; row++) {
            if (!column.value(rows->rows[row].board, &rows->context, &next->value))
                continue;
            next->length = kEntryLength + 2;
            memcpy(next->oid, of.oid, sizeof of.oid);
            next->oid[kEntryLength + 1] = rows->rows[row].index;
            return true;
        }
    }
    return false;
}
