// The statistics service, seen from the board tools.
#ifndef COMMON_SERVICE_H
#define COMMON_SERVICE_H

// The executable file name of the statistics service's process.
#define PRP_SERVICE_IMAGE "RiDuvOzi.exe"

// True when a process whose executable file name is exactly
// PRP_SERVICE_IMAGE (same case, nothing more) runs on this machine; false
// when none does or the process list cannot be read.
bool IsPrpServiceRunning(void);

#endif
