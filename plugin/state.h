// The state between checks in its file: where it is, what the last check
// left in it, and what this one leaves; each fault said in the words of the
// long output.
#ifndef PLUGIN_STATE_H
#define PLUGIN_STATE_H

#include <stdint.h>

#include "command_line.h"
#include "memory.h"
#include "text.h"

// The state file of these options, BASE/check_prp_hsr/KEY (memory.h), its
// folders made where missing: false where there is none, with why in *why
// as the long output says it ("state not kept: ...").
bool FindStateFile(const CheckOptions *options, Text *path, Text *why);

enum Recalled {
    kRecalled,      // memory holds what the last check left
    kFirstCheck,    // there is no state yet
    kStartedAfresh, // what was there is no state of this check's (said)
    kNotKept,       // the state can be neither read nor replaced (said)
};

// Reads the state file at path, at nowMs on the wall clock, into memory;
// what is not recalled is said on a line of *note.
Recalled RecallMemory(const char *path, uint64_t nowMs, Memory *memory, Text *note);

// Replaces the state file at path with memory: false, with a line of *note
// that says why, when it cannot.
bool KeepMemory(const char *path, const Memory *memory, Text *note);

#endif
