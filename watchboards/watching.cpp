#include "watching.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "board_line.h"
#include "console.h"
#include "event_lines.h"
#include "file_name.h"
#include "keys.h"
#include "layout.h"
#include "metrics.h"
#include "system.h"
#include "watcher.h"

// The boards watched, through the boards library.
static Watch watch;
// On a screen, each slot's board's trouble held and its graphs; and what is
// said of it once a run, on standard error: each kept for the board that
// took the slot (its generation).
static struct {
    uint32_t generation;
    HeldTroubles held;
    GraphHistory history;
} shownOf[kMostBoards];
static struct {
    uint32_t generation;
    bool speed, unreadable;
} toldOf[kMostBoards];
// Drawn on a screen: only then are troubles held and graphs kept.
static bool onScreen;

// What is said once a run, on standard error: on the screen, once the
// screen is left.  The screen's footer says the last speed taken while the
// program runs.  Each line kept after its priority's digit.
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

static void TellOnce(int slot) {
    const Board *board = &watch.boards[slot];
    const BoardBlock *block = &watch.blocks[slot];
    if (toldOf[slot].generation != watch.generation[slot])
        toldOf[slot] = {watch.generation[slot], false, false};
    char line[256];
    Text text = TEXT_IN(line);
    if (board->speedTaken && !toldOf[slot].speed) {
        toldOf[slot].speed = true;
        notice = ScreenNotice{board->boardIndex, board->bitsPerSecond, board->tooFast};
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
    if (board->state == kBoardUnreadable && !toldOf[slot].unreadable) {
        toldOf[slot].unreadable = true;
        snprintf(line, sizeof line, "WatchBoards: board %d: its block cannot be read: %s\n",
                 (int)board->boardIndex,
                 block->error == ENODEV ? "not a regular file" : SystemErrorText(block->error));
        Keep(kSaidWarning, line);
    }
}

// Boards that publish and found no room, said once.
static void TellUnwatched(void) {
    static bool toldUnwatched;
    if (watch.unwatched == 0 || toldUnwatched)
        return;
    toldUnwatched = true;
    char line[160];
    snprintf(line, sizeof line,
             "WatchBoards: more boards publish than the %d watched: %d of them not watched\n",
             (int)kMostBoards, watch.unwatched);
    Keep(kSaidWarning, line);
}

// Waits for the next read or round, whichever comes first, or with keys
// for a key (*key, otherwise kNoKey); true when a round has closed.
static bool AwaitRound(bool keys, int *key) {
    uint64_t now = MonotonicMilliseconds(), next = NextDueMs(&watch);
    *key = kNoKey;
    if (next > now && keys)
        *key = ReadKey((uint32_t)(next - now));
    else if (next > now)
        WaitMilliseconds((uint32_t)(next - now));
    if (*key != kNoKey)
        return false;
    return StepWatch(&watch, MonotonicMilliseconds());
}

// After a round: what is said once, and on a screen the trouble held and
// the graphs kept.
static FigureContext AfterRound(const ViewOptions *options) {
    FigureContext context = {&options->view.boards, watch.roundMs};
    for (int slot = 0; slot < watch.count; slot++) {
        TellOnce(slot);
        if (!onScreen)
            continue;
        if (shownOf[slot].generation != watch.generation[slot]) {
            shownOf[slot].generation = watch.generation[slot];
            shownOf[slot].held.count = 0;
            StartGraphs(&shownOf[slot].history);
        }
        KeepGraphs(&shownOf[slot].history, &watch.boards[slot], &context);
        HoldTroubles(&shownOf[slot].held, &watch.boards[slot], context.nowMs);
    }
    TellUnwatched();
    if (!onScreen)
        Tell();
    return context;
}

static void StartWatching(const ViewOptions *options) {
    StartWatch(&watch, &options->named, &options->view.boards, MonotonicMilliseconds(), false,
               options->events);
}

// What a round writes, in room kept from one round to the next.
static Text out = GrowingText();

static void ShowLines(const ViewOptions *options, const FigureContext *context) {
    char stamp[32];
    Text stampText = TEXT_IN(stamp);
    AppendUtcTime(&stampText, (uint64_t)time(NULL) * 1000, false);
    EmptyText(&out);
    for (int i = 0; i < watch.count; i++)
        AppendBoardLine(&out, BoardInOrder(&watch, i), stamp, context, options->format);
    WriteOutput(out.chars, out.length);
}

// One round of the metrics file, of the events, or both: the file replaced
// whole, or the program ended with status 1 and a line; the events written
// to standard output, for the journal as journald reads them when it is
// standard output.
static void ShowMetricsAndEvents(const ViewOptions *options, const FigureContext *context) {
    if (options->events) {
        static EventsFor reader = OutputIsJournal() ? kForJournal : kForReaders;
        EmptyText(&out);
        AppendEvents(&out, watch.events, watch.eventCount, context->nowMs, WallClockMilliseconds(),
                     options->format, reader);
        WriteOutput(out.chars, out.length);
    }
    if (options->textfile == NULL)
        return;
    static const Board *boards[kMostBoards];
    for (int i = 0; i < watch.count; i++)
        boards[i] = BoardInOrder(&watch, i);
    EmptyText(&out);
    AppendMetrics(&out, boards, watch.count, context);
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
    StartWatching(options);
    for (uint32_t round = 1;; round++) {
        int key;
        while (!AwaitRound(false, &key))
            if (EndRequested())
                return 0;
        FigureContext context = AfterRound(options);
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
    for (int i = 0; i < watch.count; i++) {
        int slot = watch.order[i];
        all[i] = ShownBoard{&watch.boards[slot], &shownOf[slot].held, &shownOf[slot].history};
    }
    return ListShown(list, all, watch.count, screen->troubleOnly, screen->troubleOrder,
                     context->nowMs);
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
    Placement placement = PlaceBoards(&nextScreen, count, screen->as, &options->view);
    GoToTypedBoard(screen, list, count, placement.across);
    // The boards shown keep the screen full when some were scrolled past.
    if (screen->firstBoard > count - placement.shown)
        screen->firstBoard = count - placement.shown;
    if (screen->firstBoard < 0)
        screen->firstBoard = 0;
    Screen what = {count,
                   screen->firstBoard,
                   watch.count,
                   screen->troubleOnly,
                   screen->troubleOrder,
                   screen->keys,
                   screen->as,
                   screen->goingTo[0] != '\0' ? screen->goingTo : nullptr,
                   notice,
                   screen->notThere[0] != '\0' ? screen->notThere : nullptr};
    LayOutScreen(list, &what, context, &options->view, &nextScreen);
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
    StartWatching(options);
    for (uint32_t round = 1;;) {
        int key;
        bool due = AwaitRound(keys, &key);
        if (EndRequested() || key == 'q' || key == 'Q' || key == 3)
            return 0;
        if (!due)
            continue;
        FigureContext context = AfterRound(options);
        int rows, columns;
        ScreenSize(&rows, &columns);
        // The boards' names beside the 80 columns, up to a terminal's width.
        static ShownBoard boards[kMostBoards];
        for (int i = 0; i < watch.count; i++)
            boards[i] = ShownBoard{BoardInOrder(&watch, i), nullptr, nullptr};
        int longest = LongestName(boards, watch.count), names = longest < 16 ? longest : 16;
        int width = kLineColumns + (names != 0 ? names + 1 : 0);
        width = width < columns ? width : columns > kLineColumns ? columns : kLineColumns;
        EmptyText(&out);
        for (int i = 0; i < watch.count; i++, written++) {
            if (written % (rows > 2 ? rows - 1 : 1) == 0) {
                ClearGrid(&line, 1, width);
                PutLineHeadings(&line, 0, longest);
                GridAsText(&line, false, &out);
                written++;
            }
            ClearGrid(&line, 1, width);
            PutBoardLine(&line, 0, &boards[i], &context, &options->view, longest);
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
    StartWatching(options);
    FigureContext context = {&options->view.boards, 0};
    for (uint32_t round = 1;;) {
        int key;
        bool due = AwaitRound(true, &key);
        if (EndRequested())
            return 0;
        if (key != kNoKey) {
            static ShownBoard list[kMostBoards];
            int count = ListBoards(list, &screen, &context);
            Placement placement = PlaceBoards(&nextScreen, count, screen.as, &options->view);
            if (!Obey(key, &options->view, &screen, &placement))
                return 0;
            context.nowMs = MonotonicMilliseconds();
            Draw(options, &screen, &context);
            continue;
        }
        if (!due)
            continue;
        context = AfterRound(options);
        Draw(options, &screen, &context);
        if (round++ == options->samples) {
            LeaveLastScreen(&screen);
            return 0;
        }
    }
}
