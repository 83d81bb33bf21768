#include "watching.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "board_line.h"
#include "console.h"
#include "events.h"
#include "figures.h"
#include "keys.h"
#include "layout.h"
#include "metrics.h"
#include "reading.h"
#include "rounds.h"
#include "system.h"

// The boards watched, in the order shown: as given, or by board index as
// they appear.  A board stays once seen; a vanished block shows as gone.
static struct {
    int count;
    BoardView views[kMostBoards];
    BoardBlock blocks[kMostBoards];
    BoardEvents events[kMostBoards];
    HeldTroubles held[kMostBoards]; // on the screen
} watched;
// Drawn on a screen: only then are troubles held and graphs kept.
static bool onScreen;

static void Watch(const ViewOptions *options, int32_t boardIndex, int at) {
    memmove(&watched.views[at + 1], &watched.views[at],
            (size_t)(watched.count - at) * sizeof watched.views[0]);
    memmove(&watched.blocks[at + 1], &watched.blocks[at],
            (size_t)(watched.count - at) * sizeof watched.blocks[0]);
    memmove(&watched.events[at + 1], &watched.events[at],
            (size_t)(watched.count - at) * sizeof watched.events[0]);
    StartBoardView(&watched.views[at], boardIndex,
                   SpeedOf(&options->named, &options->settings, boardIndex));
    StartBoardBlock(&watched.blocks[at], boardIndex);
    memset(&watched.events[at], 0, sizeof watched.events[at]);
    if (onScreen) {
        memmove(&watched.held[at + 1], &watched.held[at],
                (size_t)(watched.count - at) * sizeof watched.held[0]);
        memset(&watched.held[at], 0, sizeof watched.held[at]);
    }
    watched.count++;
}

static void FollowBoards(const ViewOptions *options) {
    if (options->named.boardCount != 0) {
        while (watched.count < options->named.boardCount)
            Watch(options, options->named.boards[watched.count], watched.count);
        return;
    }
    if (!PublishedBoardsMayHaveChanged())
        return;
    // Both in increasing order: the boards published that are not watched
    // yet go in between, as long as there is room.
    static int32_t published[kMostBoards];
    int count = ListPublishedBoards(published, kMostBoards);
    static bool told;
    if (count > kMostBoards && !told) {
        char line[128];
        snprintf(line, sizeof line, "WatchBoards: %d boards publish; watching the %d lowest\n",
                 count, kMostBoards);
        SayOnError(kSaidWarning, line);
        told = true;
    }
    for (int i = 0, at = 0; i < count && i < kMostBoards && watched.count < kMostBoards; i++) {
        while (at < watched.count && watched.views[at].boardIndex < published[i])
            at++;
        if (at == watched.count || watched.views[at].boardIndex != published[i])
            Watch(options, published[i], at);
    }
}

// What is said of a board once a run, on standard error: on the screen,
// once the screen is left.  The screen's footer says the last speed taken
// while the program runs.  Each line kept after its priority's digit.
static Text told = GrowingText();
static ScreenNotice notice;

static void Tell(void) {
    for (char *line = told.chars; told.length != 0 && *line != '\0';) {
        char *end = strchr(line, '\n');
        if (end == NULL) // cut short where memory ran out
            end = line + strlen(line) - 1;
        char kept = end[1];
        end[1] = '\0';
        SayOnError((SaidPriority)(line[0] - '0'), line + 1);
        end[1] = kept;
        line = end + 1;
    }
    EmptyText(&told);
}

static void Keep(SaidPriority priority, const char *line) {
    AppendChar(&told, (char)('0' + priority));
    AppendText(&told, line);
}

static void TellOnce(BoardView *board, const BoardBlock *block) {
    if (board->speedTaken && !board->speedTold) {
        board->speedTold = true;
        notice = ScreenNotice{board->boardIndex, board->bitsPerSecond, board->tooFast};
        char line[256];
        Text text = TEXT_IN(line);
        AppendText(&text, "WatchBoards: board ");
        AppendSigned(&text, board->boardIndex);
        AppendText(&text, ": its counters grew faster than its LAN speed allows, ");
        AppendUnsigned(&text, kStepsBeyondForSpeed);
        AppendText(&text, " publications in a row: ");
        if (board->tooFast) {
            AppendText(&text, "faster than 10G, where a 32-bit counter may wrap more than once "
                              "a period: no rates or totals\n");
        } else {
            AppendText(&text, "taken as ");
            AppendSpeed(&text, board->bitsPerSecond);
            AppendText(&text, "\n");
        }
        Keep(kSaidNotice, line);
    }
    if (board->state == kBoardUnreadable && !board->unreadableTold) {
        board->unreadableTold = true;
        char line[256];
        snprintf(line, sizeof line, "WatchBoards: board %d: its block cannot be read: %s\n",
                 (int)board->boardIndex,
                 block->error == ENODEV ? "not a regular file" : SystemErrorText(block->error));
        Keep(kSaidWarning, line);
    }
    if (!onScreen)
        Tell();
}

// The clock of the reads, several a period, and of the rounds; the moment
// of the last publication seen, which the rounds keep to.
static RoundClock rounds;
static uint64_t phaseMs;

static void ReadBoards(uint64_t nowMs, bool look) {
    phaseMs = ReadBoards(watched.views, watched.blocks, watched.count, nowMs, look, phaseMs);
}

// Waits for the next read or round, whichever comes first, or with keys
// for a key (*key, otherwise kNoKey); true when it is the round's time.
// Reads the boards when it is a read's.
static bool AwaitRound(bool keys, int *key) {
    uint64_t now = MonotonicMilliseconds(), next = NextDueMs(&rounds, phaseMs);
    *key = kNoKey;
    if (next > now && keys)
        *key = ReadKey((uint32_t)(next - now));
    else if (next > now)
        WaitMilliseconds((uint32_t)(next - now));
    if (*key != kNoKey)
        return false;
    now = MonotonicMilliseconds();
    Due due = DueAt(&rounds, now, phaseMs);
    if (due == kDueRead)
        ReadBoards(now, false);
    return due == kDueRound;
}

// A round: the boards looked at and read, their figures made of the
// publications since the round before.
static FigureContext CloseRounds(const ViewOptions *options) {
    FollowBoards(options);
    FigureContext context = {&options->settings, MonotonicMilliseconds()};
    ReadBoards(context.nowMs, true);
    for (int i = 0; i < watched.count; i++) {
        BoardView *board = &watched.views[i];
        CloseRound(board, context.nowMs, &options->settings);
        TellOnce(board, &watched.blocks[i]);
        if (onScreen) {
            KeepGraphs(board, &context);
            HoldTroubles(&watched.held[i], board, &context);
        }
    }
    return context;
}

// What a round writes, in room kept from one round to the next.
static Text out = GrowingText();

static void ShowLines(const ViewOptions *options, const FigureContext *context) {
    char stamp[32];
    Text stampText = TEXT_IN(stamp);
    AppendUtcTime(&stampText, (uint64_t)time(NULL) * 1000, false);
    EmptyText(&out);
    for (int i = 0; i < watched.count; i++)
        AppendBoardLine(&out, &watched.views[i], stamp, context, options->format);
    WriteOutput(out.chars, out.length);
}

// One round of the metrics file, of the events, or both: the file replaced
// whole, or the program ended with status 1 and a line; the events written
// to standard output, for the journal as journald reads them when it is
// standard output.
static void ShowMetricsAndEvents(const ViewOptions *options, const FigureContext *context) {
    if (options->events) {
        static EventsFor reader = OutputIsJournal() ? kForJournal : kForReaders;
        uint64_t wallMs = WallClockMilliseconds();
        EmptyText(&out);
        for (int i = 0; i < watched.count; i++)
            AppendEvents(&out, &watched.events[i], &watched.views[i], context, wallMs,
                         options->format, reader);
        WriteOutput(out.chars, out.length);
    }
    if (options->textfile == NULL)
        return;
    EmptyText(&out);
    AppendMetrics(&out, watched.views, watched.count, context);
    if (out.size == 0) {
        static char line[8192];
        snprintf(line, sizeof line, "WatchBoards: %s: %s\n", options->textfile, strerror(ENOMEM));
        SayOnError(kSaidEnds, line);
        exit(1);
    }
    if (!ReplaceWholeFile(options->textfile, out.chars, out.length))
        exit(1);
}

// The rounds of lines or of the metrics file, each shown by show.
static int ShowRounds(const ViewOptions *options,
                      void (*show)(const ViewOptions *, const FigureContext *)) {
    StartClock(&rounds, MonotonicMilliseconds());
    for (uint32_t round = 1;; round++) {
        int key;
        while (!AwaitRound(false, &key))
            if (EndRequested())
                return 0;
        FigureContext context = CloseRounds(options);
        show(options, &context);
        if (round == options->samples || EndRequested())
            return 0;
    }
}

int WatchInLines(const ViewOptions *options) {
    EmptyText(&out);
    AppendHeaderLine(&out, options->format);
    WriteOutput(out.chars, out.length);
    return ShowRounds(options, ShowLines);
}

int WatchWithoutScreen(const ViewOptions *options) {
    return ShowRounds(options, ShowMetricsAndEvents);
}

static Grid nextScreen, shownScreen;

// The list of boards the screen shows.
static int ListBoards(ShownBoard *list, const ScreenState *screen, const FigureContext *context) {
    static ShownBoard all[kMostBoards];
    for (int i = 0; i < watched.count; i++)
        all[i] = ShownBoard{&watched.views[i], &watched.held[i]};
    return ListShown(list, all, watched.count, screen->troubleOnly, screen->troubleOrder, context);
}

// Lays out the screen and draws what changed.
static void Draw(const ViewOptions *options, ScreenState *screen, const FigureContext *context) {
    int rows, columns;
    ScreenSize(&rows, &columns);
    if (rows != nextScreen.rows || columns != nextScreen.columns)
        screen->whole = true;
    nextScreen.rows = rows;
    nextScreen.columns = columns;
    static ShownBoard list[kMostBoards];
    int count = ListBoards(list, screen, context);
    Placement placement = PlaceBoards(&nextScreen, count, screen->as, &options->settings);
    GoToTypedBoard(screen, list, count, placement.across);
    // The boards shown keep the screen full when some were scrolled past.
    if (screen->firstBoard > count - placement.shown)
        screen->firstBoard = count - placement.shown;
    if (screen->firstBoard < 0)
        screen->firstBoard = 0;
    Screen what = {count,        screen->firstBoard, watched.count,
                   screen->troubleOnly, screen->troubleOrder, screen->keys, screen->as,
                   screen->goingTo[0] != '\0' ? screen->goingTo : nullptr, notice,
                   screen->notThere[0] != '\0' ? screen->notThere : nullptr};
    LayOutScreen(list, &what, context, &nextScreen);
    EmptyText(&out);
    // Drawn in part when there is no memory for all of it: all of it next time.
    screen->whole =
        !DrawDifferences(&nextScreen, &shownScreen, screen->whole, screen->abilities, &out);
    WriteOutput(out.chars, out.length);
}

// After the samples asked for, the last screen stays to be read: the
// terminal is left, and the screen written as text in its place, its
// footer right under the boards.
static void LeaveLastScreen(const ScreenState *screen) {
    LeaveScreen();
    EmptyText(&out);
    GridAsText(&shownScreen, screen->abilities.utf8, &out);
    size_t footer = out.length - 1;
    while (footer > 0 && out.chars[footer - 1] != '\n')
        footer--;
    size_t body = footer;
    while (body >= 2 && out.chars[body - 1] == '\n' && out.chars[body - 2] == '\n')
        body--;
    for (size_t i = footer; i <= out.length; i++) // the footer moved up, its '\0' too
        out.chars[body + i - footer] = out.chars[i];
    out.length -= footer - body;
    WriteOutput(out.chars, out.length);
}

// A Screen's state as it starts.
static ScreenState NewScreen(void) {
    ScreenState screen;
    memset(&screen, 0, sizeof screen);
    screen.whole = true;
    screen.as = kAsFits;
    screen.abilities = TerminalAbilities{true, true};
    return screen;
}

// Where a terminal cannot address the cursor: a table for a person, a line
// a board each round within 80 columns, its headings again every screenful.
static int WatchAsTable(ViewOptions *options) {
    bool keys = OpenKeys();
    static Grid line;
    int written = 0;
    StartClock(&rounds, MonotonicMilliseconds());
    for (uint32_t round = 1;;) {
        int key;
        bool due = AwaitRound(keys, &key);
        if (EndRequested() || key == 'q' || key == 'Q' || key == 3)
            return 0;
        if (!due)
            continue;
        FigureContext context = CloseRounds(options);
        int rows, columns;
        ScreenSize(&rows, &columns);
        EmptyText(&out);
        for (int i = 0; i < watched.count; i++, written++) {
            if (written % (rows > 2 ? rows - 1 : 1) == 0) {
                ClearGrid(&line, 1, 80);
                PutLineHeadings(&line, 0);
                GridAsText(&line, false, &out);
                written++;
            }
            ShownBoard board = {&watched.views[i], nullptr};
            ClearGrid(&line, 1, 80);
            PutBoardLine(&line, 0, &board, &context);
            GridAsText(&line, false, &out);
        }
        WriteOutput(out.chars, out.length);
        if (round++ == options->samples)
            return 0;
    }
}

int WatchOnScreen(ViewOptions *options) {
    ScreenState screen = NewScreen();
    onScreen = true;
    atexit(Tell); // once the screen is left: registered before it
    const char *whyNot = nullptr;
    bool opened = OpenScreen(&screen.abilities, &whyNot);
    onScreen = opened;
    if (!opened && whyNot != nullptr) {
        char line[256];
        snprintf(line, sizeof line, "WatchBoards: no screen: %s (-l for script lines)\n", whyNot);
        SayOnError(kSaidNotice, line);
        return WatchAsTable(options);
    }
    if (!opened)
        return WatchInLines(options);
    StartClock(&rounds, MonotonicMilliseconds());
    FigureContext context = {&options->settings, 0};
    for (uint32_t round = 1;;) {
        int key;
        bool due = AwaitRound(true, &key);
        if (EndRequested())
            return 0;
        if (key != kNoKey) {
            static ShownBoard list[kMostBoards];
            int count = ListBoards(list, &screen, &context);
            Placement placement = PlaceBoards(&nextScreen, count, screen.as, &options->settings);
            if (!Obey(key, &options->settings, &screen, &placement))
                return 0;
            context.nowMs = MonotonicMilliseconds();
            Draw(options, &screen, &context);
            continue;
        }
        if (!due)
            continue;
        context = CloseRounds(options);
        Draw(options, &screen, &context);
        if (round++ == options->samples) {
            LeaveLastScreen(&screen);
            return 0;
        }
    }
}
