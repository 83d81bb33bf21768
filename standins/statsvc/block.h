// The stand-in service's blocks, one implementation per platform.
#pragma once

#include "prp_value.h"

// Creates (or takes over) the block with the given name, at least one
// record long, open to every user for all access, and maps it; nullptr,
// with a word on standard error, when it cannot.
PrpValue *CreateBlock(const StatisticsNameChar *name);

// Unmaps the block and removes its name.
void RemoveBlock(const StatisticsNameChar *name, PrpValue *record);
