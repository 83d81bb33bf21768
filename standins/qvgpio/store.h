// The folders and files of the board store, one implementation per
// platform.  On Linux every file and folder is opened relative to its
// folder's descriptor and never through a symbolic link, so that a link
// planted in the store leads nowhere.  On Windows paths and names are kept
// in UTF-8 and reach the system through its wide functions.
#ifndef STANDINS_QVGPIO_STORE_H
#define STANDINS_QVGPIO_STORE_H

#include <stddef.h>
#include <stdint.h>

enum { kStorePathSize = 4096 };

// Where the store is: QVGPIO_SIM_DIR, or else a folder of the user's own.
void StoreFolder(char *path, size_t size);

// A folder of the store, open for work in it.
struct Folder {
    char path[kStorePathSize]; // for messages (and on Windows to reach it)
    int fd;                    // Linux: the folder itself
    unsigned owner, mode;      // as found, for a refusal's message
};

// Refusals of a store folder or file, beside the errno values.
enum { kForeignOwner = -1, kOpenToOthers = -2, kNotRegular = -3 };

// Opens the folder at path as the store, making it (mode 0700) when it is
// missing and make is set.  Like tmux's socket folder, it must be a real
// folder, not a link, that the user owns and that no other user may write
// into.  Returns 0, an errno value (ENOENT: missing, not made), or a
// refusal above.
int OpenStoreFolder(const char *path, bool make, Folder *folder);

// Opens (and makes, when missing and make is set) a folder inside parent.
// Returns 0 or an errno value (ENOTDIR or ELOOP for a file or a link).
int OpenSubfolder(const Folder *parent, const char *name, bool make, Folder *folder);

void CloseFolder(Folder *folder);

enum FileAccess {
    kRead,      // an existing file
    kAppend,    // made when missing
    kCreateNew, // made now, or refused (EEXIST)
};

// Opens the file name inside folder into *fd.  Only a regular file is
// read or written: anything else under the name (a FIFO, a folder, a
// device) is kNotRegular, found without waiting on it.  Returns 0 or an
// errno value or kNotRegular, with *fd -1.
int OpenFile(const Folder *folder, const char *name, FileAccess access, int *fd);

// Renames within folder, replacing what to names; 0 or an errno value.
int RenameFile(const Folder *folder, const char *from, const char *to);

// Removes a file, a link (not what it leads to) or an empty folder; 0 or an
// errno value.
int RemoveEntry(const Folder *folder, const char *name);

// Calls each for the name of every entry but . and ..; 0 or an errno value.
int ListFolder(const Folder *folder, void (*each)(const char *name, void *context), void *context);

// A number no other process can guess, for a temporary file's name.
uint64_t UnguessableNumber(void);

// Writes the program's name, ": " and the failure as a line on standard
// error; on a Windows console as wide text, elsewhere in UTF-8 as the
// store's paths are kept.
void SayFailure(const char *program, const char *failure);

#endif
