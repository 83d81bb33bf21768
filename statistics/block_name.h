// The name of a board's shared block, and the board index it is made from.
// Publisher and readers both build on this header, so that they agree on
// the name of every board's block.
#ifndef STATISTICS_BLOCK_NAME_H
#define STATISTICS_BLOCK_NAME_H

#include <stddef.h>
#include <stdint.h>

// The block's name for a board, from the whole boardIndex: on Windows
// "Global\QvPrpFileMapObject<boardIndex>" in the system-wide namespace, on
// Linux the POSIX shared-memory object "/QvPrpFileMapObject<boardIndex>"
// (system-wide already).  The longest, for -2147483648, fits.
#ifdef _WIN32
typedef wchar_t StatisticsNameChar;
#else
typedef char StatisticsNameChar;
#endif
enum { kStatisticsMapNameSize = 40 };
void StatisticsMapName(int32_t boardIndex, StatisticsNameChar name[kStatisticsMapNameSize]);

// The board whose block a listing of the blocks shows under this name
// (Linux: an entry of /dev/shm, "QvPrpFileMapObject<boardIndex>"): only the
// very name StatisticsMapName makes, with no blank, sign or leading zero
// more.  False for any other name.
bool BoardOfListedBlock(const char *name, int32_t *boardIndex);

// A board index given whole, as WatchBoards and the stand-in service take
// it: an optional minus sign and decimal digits, nothing else, within 32
// bits signed.
bool ParseBoardIndex(const char *text, size_t length, int32_t *boardIndex);

#endif
