// qvgpio-sim run: an installed program on the simulated boards.  The board
// tools carry no library search path of their own; this puts the folder of
// qvgpio-sim, where the simulator library is installed beside it, first in
// the loader's search, then runs the program.
#ifndef STANDINS_QVGPIO_RUN_H
#define STANDINS_QVGPIO_RUN_H

// Runs program[0] with the arguments after it, the rest of the command line
// up to its closing null, found through PATH when it names no folder, and
// returns its exit status; 127, with a line on standard error, when it
// cannot be started.
int RunOnSimulator(char **program);

#endif
