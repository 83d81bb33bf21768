// The objects of the IEC 62439-3 MIB's lre group that a board's published
// record fills, by their numeric OIDs (the MIB's text is the IEC's, and is
// not shipped): a row per board of the interface tables, and the count of
// rows.  What the record cannot fill (frame counts, wrong-LAN, duplicates,
// the node tables, the mode, the MAC address) is absent, never a 0 made up.
// Everything here is a plain function of the boards library's model, which
// the tests call directly; the subagent only carries its answers.
#ifndef AGENTX_OBJECTS_H
#define AGENTX_OBJECTS_H

#include <stddef.h>
#include <stdint.h>

#include "figures.h"
#include "names.h"
#include "text.h"
#include "watcher.h"

// An OID's sub-identifiers, 32 bits each as SNMP has them.
typedef uint32_t SubId;

// The lre group: 1.0.62439.2.21.  Everything served is under it.
extern const SubId kLreRoot[];
enum { kLreRootLength = 5 };

// What a value is, as SNMP types it.
enum ObjectType : uint8_t { kInteger32, kCounter32, kOctetString };

struct ObjectValue {
    ObjectType type;
    uint32_t number; // an Integer32 (never negative here) or a Counter32
    uint16_t length; // of an OCTET STRING's text
    char text[kLongestNameBytes + 1];
};

// A board that has a row: its record is there, and its board index + 1 is
// a positive Integer32, the row's index.
struct AgentRow {
    uint32_t index;
    const Board *board;
};

struct AgentRows {
    int count;
    AgentRow rows[kMostBoards];
    FigureContext context; // the figures are the library's, with its context
};

// The rows of the boards, in the order of their indexes: boards sampled
// whose record is there (not gone nor unreadable), board indexes 0 to
// 2147483646 (another index + 1 is no positive Integer32).
void GatherRows(AgentRows *rows, const Board *const *boards, int count,
                const FigureContext *context);

// A column of the tables: its table's entry, its number there, its type and
// its value, taken from a board as the boards library has it; false where
// the library does not know it (the instance is then absent).
struct Column {
    const char *name; // the MIB's
    const SubId *entry;
    SubId column;
    ObjectType type;
    bool (*value)(const Board *board, const FigureContext *context, ObjectValue *value);
};
enum { kEntryLength = 10, kColumnCount = 6 };
// In the order of their OIDs, which GETNEXT walks.
extern const Column kColumns[kColumnCount];

// The scalar lreInterfaceCount, whose only instance is .0: the rows now.
extern const SubId kInterfaceCount[];
enum { kInterfaceCountLength = 8 };

// A board's lreNodeName: "board N".
void AppendNodeName(Text *text, const Board *board);

// What a GET finds.
enum Found : uint8_t { kFoundValue, kNoSuchObject, kNoSuchInstance };

// The longest OID served: an entry, a column and an index.
enum { kLongestServedOid = kEntryLength + 2 };

struct Instance {
    int length;
    SubId oid[kLongestServedOid];
    ObjectValue value;
};

// GET of the OID: its value, or whether the object itself is unknown
// (noSuchObject) or only the instance (noSuchInstance).
Found GetObject(const AgentRows *rows, const SubId *oid, size_t length, ObjectValue *value);

// GETNEXT of the OID: the first instance served after it (or the OID
// itself too, with inclusive, as an AgentX search range may ask); false
// when none follows it.
bool NextObject(const AgentRows *rows, const SubId *oid, size_t length, bool inclusive,
                Instance *next);

#endif
