// Console input and output shared by every program: one decimal number per
// prompt, what a program does when its standard output fails, and the usage
// line of a command line it refuses.
#ifndef COMMON_CONSOLE_H
#define COMMON_CONSOLE_H

#include <stdint.h>
#include <stdio.h>

// What standard output that fails (a full disk; a reader gone, where SIGPIPE
// is ignored: its default ends the program first) means.
enum OutputRule {
    // A mode switch: the board is switched all the same, and that is its
    // result; it ends as it would have.
    kOutputMayFail,
    // A reader or a monitor: its output is its result.  It ends with status
    // 1 and says why in one line on standard error.
    kOutputMustShow,
    // A monitoring plugin: its output is its result too, but its status
    // is read as a state, and 1 would say WARNING.  It ends with status 3,
    // UNKNOWN, and says why in one line on standard error.
    kOutputIsAnswer,
};

// The first step of every program, before it opens anything: a closed
// standard input, output or error is filled with /dev/null, so that nothing
// the program opens can take its place (a standard output closed at start
// counts as failed output).  Where /dev/null cannot be opened, nothing is
// safe to open: the program ends as its output rule has it for failed
// output (status 1, or 3 for a plugin), after a line on standard error,
// when that is not the one closed.  name is the program's, for the lines on
// standard error.
void StartProgram(const char *name, OutputRule rule);

// Flushes standard output, and applies the program's output rule when it
// has failed.
void FlushOutput(void);

// Applies the output rule to standard output that failed with error (an
// errno value), for a program that writes it without the stream.
void OutputFailed(int error);

// Refuses the command line: "usage: NAME SYNOPSIS" on standard error, the
// one line a program says there for its arguments, and status 2.
void RefuseCommandLine(const char *synopsis);

// Says lines that end the program (output failed, a command line refused)
// on standard error: as they are, or as the program has its failures said
// (WatchBoards: with the priority the journal reads, where standard error
// is the journal's stream).
void SayFailure(const char *lines);
void SayFailuresWith(void (*say)(const char *lines));

// Reads one decimal integer from standard input as "%d" reads it: white space
// (line ends too) is skipped, then an optional sign and the digits; the rest
// of the line is left for the next read.  Input that is not a number gives 0
// and stays unread, so every later read of the run gives 0 too; so does the
// end of input.  A number beyond 32 bits keeps its low 32 bits.  Input not
// there yet is waited for, even where standard input does not block.
// Standard output is flushed first, so that the prompt shows.
int32_t ReadDecimal(void);

// The same reader on any stream; refused holds whether a read of the stream
// has found no number.
int32_t ReadDecimalFrom(FILE *stream, bool *refused);

// A selection (port code, counter): only the low 8 bits of the number count.
uint8_t ReadSelection(void);

// The characters a number may be preceded by and made of, typed or given as
// an argument.
inline bool IsWhiteSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool IsDigit(int c) { return c >= '0' && c <= '9'; }

// What differs between the platforms, one file each.
// Fills closed standard descriptors, *outputClosed telling whether standard
// output was one; false, with errno, when one could not be filled.
bool FillClosedStandardDescriptors(bool *outputClosed);
// After a read of stream failed: true once more input may have come (the
// stream does not block and had nothing yet), false for a true failure.
bool WaitForInput(FILE *stream);

#endif
