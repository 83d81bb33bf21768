#include "console.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

static const char *programName = "";
static OutputRule outputRule = kOutputMustShow;
static bool outputClosedAtStart;
static void (*sayFailure)(const char *lines);

void SayFailuresWith(void (*say)(const char *lines)) { sayFailure = say; }

void SayFailure(const char *lines) {
    if (sayFailure != NULL)
        sayFailure(lines);
    else
        fputs(lines, stderr);
}

void StartProgram(const char *name, OutputRule rule) {
    programName = name;
    outputRule = rule;
    if (!FillClosedStandardDescriptors(&outputClosedAtStart)) {
        char line[256];
        snprintf(line, sizeof line, "%s: /dev/null: %s\n", name, strerror(errno));
        SayFailure(line);
        exit(rule == kOutputIsAnswer ? 3 : 1);
    }
}

void FlushOutput(void) {
    int error = 0;
    if (fflush(stdout) != 0)
        error = errno;
    else if (ferror(stdout))
        error = EIO; // an earlier write failed; its reason is gone
    else if (outputClosedAtStart)
        error = EBADF;
    if (error != 0)
        OutputFailed(error);
}

void OutputFailed(int error) {
    if (outputRule == kOutputMayFail)
        return;
    char line[256];
    snprintf(line, sizeof line, "%s: standard output: %s\n", programName, strerror(error));
    SayFailure(line);
    exit(outputRule == kOutputIsAnswer ? 3 : 1);
}

void RefuseCommandLine(const char *synopsis) {
    char line[512];
    snprintf(line, sizeof line, "usage: %s %s\n", programName, synopsis);
    SayFailure(line);
    exit(2);
}

// The next character, waited for where the stream has none yet; EOF only at
// the true end of input or on a failure.
static int NextCharacter(FILE *stream) {
    int c;
    while ((c = getc(stream)) == EOF && ferror(stream) && WaitForInput(stream))
        clearerr(stream);
    return c;
}

int32_t ReadDecimalFrom(FILE *stream, bool *refused) {
    // Once a read finds no number, the text it stopped at stays unread, so
    // every later read would stop there as well; refused makes that hold
    // even where the failed read had already taken a sign ("- 5").
    if (*refused)
        return 0;

    int c;
    do
        c = NextCharacter(stream);
    while (IsWhiteSpace(c));
    if (c == EOF)
        return 0;

    bool negative = c == '-';
    if (c == '-' || c == '+')
        c = NextCharacter(stream);
    if (!IsDigit(c)) {
        if (c != EOF)
            ungetc(c, stream);
        *refused = true;
        return 0;
    }

    // Arithmetic modulo 2^32: a number of any length costs nothing more than
    // a short one and keeps its low 32 bits, two's complement.
    uint32_t magnitude = 0;
    do {
        magnitude = magnitude * 10u + (uint32_t)(c - '0');
        c = NextCharacter(stream);
    } while (IsDigit(c));
    if (c != EOF)
        ungetc(c, stream);
    return (int32_t)(negative ? 0u - magnitude : magnitude);
}

int32_t ReadDecimal(void) {
    static bool inputRefused;
    FlushOutput();
    return ReadDecimalFrom(stdin, &inputRefused);
}

uint8_t ReadSelection(void) { return (uint8_t)ReadDecimal(); }
