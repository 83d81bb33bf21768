#include "state.h"

#include "file_name.h"
#include "state_file.h"

static const char kNotKeptStart[] = "state not kept: ";

// The text as it was at that length: what was begun, taken back.
static void TakeBack(Text *text, size_t length) {
    text->length = length;
    if (text->size != 0)
        text->chars[length] = '\0';
}

bool FindStateFile(const CheckOptions *options, Text *path, Text *why) {
    if (options->stateDir != nullptr) {
        AppendText(path, options->stateDir);
    } else if (!DefaultStateBase(path)) {
        AppendText(why, kNotKeptStart);
        AppendText(why, "no folder for it (no home; --state-dir names one)\n");
        return false;
    }
    if (path->length > 0 && path->chars[path->length - 1] != kPathSeparator)
        AppendChar(path, kPathSeparator);
    AppendText(path, "check_prp_hsr");
    size_t before = why->length;
    AppendText(why, kNotKeptStart);
    if (!KeepFolder(path->chars, why)) {
        AppendChar(why, '\n');
        return false;
    }
    TakeBack(why, before);
    AppendChar(path, kPathSeparator);
    AppendStateKey(path, options);
    return true;
}

// "PATH: what", and the line's end.
static void Say(Text *note, const char *start, const char *path, const char *what) {
    static char shown[4 * 4096];
    EscapeControls(path, shown, sizeof shown);
    AppendText(note, start);
    AppendText(note, shown);
    AppendText(note, ": ");
    AppendText(note, what);
    AppendChar(note, '\n');
}

static const char kAfresh[] = "; started afresh, only what one look sees is judged";

Recalled RecallMemory(const char *path, uint64_t nowMs, Memory *memory, Text *note) {
    // The state of 1024 boards, each with its record and totals.
    static char bytes[1024 * 512];
    size_t length = 0;
    uint32_t error = 0;
    memory->checkedMs = 0;
    memory->count = 0;
    char what[128];
    Text words = TEXT_IN(what);
    switch (ReadStateFile(path, bytes, sizeof bytes, &length, &error)) {
    case kStateFileRead:
        break;
    case kStateFileMissing:
        AppendText(note, "first check: only what one look sees is judged\n");
        return kFirstCheck;
    case kStateFileNotRegular:
        Say(note, "", path, "not a regular file; replaced, only what one look sees is judged");
        return kStartedAfresh;
    case kStateFileOthers:
        AppendText(&words, "belongs to user ");
        AppendUnsigned(&words, error);
        AppendText(&words, ", neither read nor replaced");
        Say(note, kNotKeptStart, path, what);
        return kNotKept;
    case kStateFileTooLong:
        length = 0; // damaged
        break;
    case kStateFileFailed:
        Say(note, kNotKeptStart, path, SystemErrorText((int)error));
        return kNotKept;
    }
    MemoryRead read = ParseMemory(bytes, length, memory);
    if (read == kMemoryWhole && memory->checkedMs <= nowMs)
        return kRecalled;
    AppendText(&words, read == kMemoryDamaged ? "damaged"
                       : read == kMemoryOtherVersion
                           ? "of another version"
                           : "written later than now (the clock went back)");
    AppendText(&words, kAfresh);
    Say(note, "", path, what);
    memory->checkedMs = 0;
    memory->count = 0;
    return kStartedAfresh;
}

bool KeepMemory(const char *path, const Memory *memory, Text *note) {
    static Text text = GrowingText();
    EmptyText(&text);
    AppendMemory(&text, memory);
    size_t before = note->length;
    AppendText(note, kNotKeptStart);
    if (ReplaceStateFile(path, text.chars, text.length, note)) {
        TakeBack(note, before);
        return true;
    }
    AppendChar(note, '\n');
    return false;
}
