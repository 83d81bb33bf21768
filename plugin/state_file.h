// What the plugin needs of the file system besides the blocks, which
// differs between the platforms, one file each: where the state between
// checks is kept, and how it is read and replaced without being led
// elsewhere; the exporter's file's default and its age; the arguments.
#ifndef PLUGIN_STATE_FILE_H
#define PLUGIN_STATE_FILE_H

#include <stddef.h>
#include <stdint.h>

#include "text.h"

// What separates a path's parts.
extern const char kPathSeparator;

// The folder the state is kept under when --state-dir does not say:
// $MP_STATE_PATH; else on Linux /var/lib/monitoring-plugins where the
// plugin may write into it, else a folder of the user's own,
// $XDG_STATE_HOME or ~/.local/state, then /monitoring-plugins; on Windows
// %ProgramData%\monitoring-plugins.  False where there is none (no home).
bool DefaultStateBase(Text *base);

// Makes the folder, and those above it, where missing (0700 on Linux), and
// checks that it is a folder of the user's own that nobody else may write
// into: false otherwise, with why in *why ("PATH: Permission denied").
bool KeepFolder(const char *folder, Text *why);

enum StateFileRead {
    kStateFileRead,       // a regular file of the user's own, whole
    kStateFileMissing,    // none there
    kStateFileNotRegular, // a link, a FIFO, a device: neither read nor followed
    kStateFileOthers,     // another user's: neither read nor replaced
    kStateFileTooLong,    // longer than size: damaged
    kStateFileFailed,     // it could not be read: *error says why
};

// Reads the state file at path, never following a link nor waiting on a
// FIFO; *error holds the system's error code of a failure, and the owner's
// user of another user's file.
StateFileRead ReadStateFile(const char *path, char *bytes, size_t size, size_t *length,
                            uint32_t *error);

// Replaces the file at path with these bytes in one step: written whole to
// a temporary file made afresh beside it, only the user's, never through a
// link, then renamed over it, so that a link or a FIFO at path is replaced,
// not followed, and the next check never reads half a file.  False, with
// nothing left behind, with why in *why ("PATH: No space left on device").
bool ReplaceStateFile(const char *path, const char *bytes, size_t count, Text *why);

// When the file at path was last written, in milliseconds since 1970; 0,
// or the system's error code.
int FileWrittenMs(const char *path, uint64_t *writtenMs);

// The exporter's file where it is installed and there; null otherwise.
const char *DefaultTextfile(void);

#endif
