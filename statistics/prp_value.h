// The record the statistics service publishes for each board.  Publisher
// and readers both build on this header, so that they agree on every offset.
#ifndef STATISTICS_PRP_VALUE_H
#define STATISTICS_PRP_VALUE_H

#include <stddef.h>
#include <stdint.h>

// 336 bytes at the start of the block, integers little-endian.  The suffix
// A or B names the LAN a value belongs to.  The gaps hold statistics that no
// monitor shows.
struct PrpValue {
    uint8_t notShown0[8];
    int32_t rxGoodOctetsA;
    int32_t rxGoodOctetsB;
    uint8_t notShown16[100];
    int32_t rxErrA;
    int32_t rxErrB;
    uint8_t notShown124[124];
    int32_t txOctetsA;
    int32_t txOctetsB;
    uint8_t notShown256[76];
    uint8_t linkStatusA;
    uint8_t linkStatusB;
    uint8_t notShown334[2];
};

static_assert(sizeof(PrpValue) == 336, "the record is 336 bytes");
static_assert(offsetof(PrpValue, rxGoodOctetsA) == 8 && offsetof(PrpValue, rxGoodOctetsB) == 12,
              "rxGoodOctets at 8");
static_assert(offsetof(PrpValue, rxErrA) == 116 && offsetof(PrpValue, rxErrB) == 120,
              "rxErr at 116");
static_assert(offsetof(PrpValue, txOctetsA) == 248 && offsetof(PrpValue, txOctetsB) == 252,
              "txOctets at 248");
static_assert(offsetof(PrpValue, linkStatusA) == 332 && offsetof(PrpValue, linkStatusB) == 333,
              "linkStatus at 332");
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the record is read in place, little-endian");

// Where a field sits in the record: its offset, its size.
#define PRP_FIELD(field) offsetof(PrpValue, field), sizeof(PrpValue::field)

#endif
