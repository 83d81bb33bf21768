#include "watching.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "console.h"
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
} watched;

static void Watch(int32_t boardIndex, int at) {
    memmove(&watched.views[at + 1], &watched.views[at],
            (size_t)(watched.count - at) * sizeof watched.views[0]);
    memmove(&watched.blocks[at + 1], &watched.blocks[at],
            (size_t)(watched.count - at) * sizeof watched.blocks[0]);
    StartBoardView(&watched.views[at], boardIndex);
    StartBoardBlock(&watched.blocks[at], boardIndex);
    watched.count++;
}

static void FollowBoards(const ViewOptions *options) {
    if (options->boardCount != 0) {
        while (watched.count < options->boardCount)
            Watch(options->boards[watched.count], watched.count);
        return;
    }
    // Both in increasing order: the boards published that are not watched
    // yet go in between, as long as there is room.
    static int32_t published[kMostBoards];
    int count = ListPublishedBoards(published, kMostBoards);
    static bool told;
    if (count > kMostBoards && !told) {
        fprintf(stderr, "WatchBoards: %d boards publish; watching the %d lowest\n", count,
                kMostBoards);
        told = true;
    }
    for (int i = 0, at = 0; i < count && i < kMostBoards && watched.count < kMostBoards; i++) {
        while (at < watched.count && watched.views[at].boardIndex < published[i])
            at++;
        if (at == watched.count || watched.views[at].boardIndex != published[i])
            Watch(published[i], at);
    }
}

// A board whose counters grow faster than the LAN speed given allows is
// told once a run on standard error (on the screen, once the screen is
// left), and shown in the screen's footer while it lasts.
static ScreenNotice notice;
static bool noticeTold;

static void TellNotice(void) {
    if (notice.speedNeeded == 0 || noticeTold)
        return;
    noticeTold = true;
    char speed[24];
    Text text = TEXT_IN(speed);
    AppendSpeed(&text, notice.speedNeeded);
    fprintf(stderr,
            "WatchBoards: board %d: %d samples in a row were resets, its counters growing "
            "faster than the LAN speed allows; try -s %s\n",
            (int)notice.board, (int)kResetsForTooSlow, speed);
}

// The round's clock, and whether a board may have been read just before
// the service published.
static uint64_t roundMs;
static bool missedPublication;

static FigureContext SampleBoards(const ViewOptions *options) {
    FollowBoards(options);
    const ViewSettings *settings = &options->settings;
    FigureContext context = {settings, MonotonicMilliseconds()};
    roundMs = context.nowMs;
    missedPublication = false;
    notice = ScreenNotice{0, 0};
    for (int i = 0; i < watched.count; i++) {
        BoardView *board = &watched.views[i];
        PrpValue record;
        BlockState state = ReadBoardRecord(&watched.blocks[i], &record);
        TakeSample(board, state, &record, context.nowMs, settings);
        KeepGraphs(board, &context);
        missedPublication |= board->missedPublication;
        uint64_t speed = SpeedNeeded(board, settings);
        if (speed != 0 && notice.speedNeeded == 0)
            notice = ScreenNotice{board->boardIndex, speed};
    }
    return context;
}

// Sleeps until the next round; false when an end was requested meanwhile.
static bool AwaitNextRound(void) {
    uint64_t now = MonotonicMilliseconds(), next = NextRoundMs(roundMs, missedPublication, now);
    WaitMilliseconds((uint32_t)(next - now));
    return !EndRequested();
}

static void AppendUtcTime(Text *text) {
    time_t now = time(NULL);
    const struct tm *utc = gmtime(&now);
    if (utc == NULL)
        return;
    const int fields[] = {utc->tm_year + 1900, utc->tm_mon + 1, utc->tm_mday,
                          utc->tm_hour,        utc->tm_min,     utc->tm_sec};
    const char separators[] = "--T::Z";
    for (int i = 0; i < 6; i++) {
        if (fields[i] < 10)
            AppendChar(text, '0');
        AppendUnsigned(text, (uint64_t)fields[i]);
        AppendChar(text, separators[i]);
    }
}

// What a round writes, in room kept from one round to the next.
static Text out = GrowingText();

static void ShowLinesRound(const ViewOptions *options) {
    FigureContext context = SampleBoards(options);
    TellNotice();
    char time[32];
    Text timeText = TEXT_IN(time);
    AppendUtcTime(&timeText);
    EmptyText(&out);
    for (int i = 0; i < watched.count; i++)
        AppendBoardLine(&out, &watched.views[i], time, &context, options->format);
    WriteOutput(out.chars, out.length);
}

// The rounds of lines or of the metrics file, each shown by show.
static int ShowRounds(const ViewOptions *options, void (*show)(const ViewOptions *)) {
    for (uint32_t round = 1;; round++) {
        show(options);
        if (round == options->samples || !AwaitNextRound())
            return 0;
    }
}

int WatchInLines(const ViewOptions *options) {
    EmptyText(&out);
    AppendHeaderLine(&out, options->format);
    WriteOutput(out.chars, out.length);
    return ShowRounds(options, ShowLinesRound);
}

// One round of the metrics file: the file replaced whole, or the program
// ended with status 1 and a line.
static void ShowMetricsRound(const ViewOptions *options) {
    FigureContext context = SampleBoards(options);
    TellNotice();
    EmptyText(&out);
    AppendMetrics(&out, watched.views, watched.count, &context);
    const char *why = out.size == 0 ? strerror(ENOMEM)
                                    : ReplaceWholeFile(options->textfile, out.chars, out.length);
    if (why != NULL) {
        fprintf(stderr, "WatchBoards: %s: %s\n", options->textfile, why);
        exit(1);
    }
}

int WatchInTextfile(const ViewOptions *options) { return ShowRounds(options, ShowMetricsRound); }

static Grid nextScreen, shownScreen;

// Lays out the screen and draws what changed.
static void Draw(const ViewOptions *options, ScreenState *screen, const FigureContext *context) {
    int rows, columns;
    ScreenSize(&rows, &columns);
    if (rows != nextScreen.rows || columns != nextScreen.columns)
        screen->whole = true;
    nextScreen.rows = rows;
    nextScreen.columns = columns;
    // The list: every board watched, or those in trouble.
    static const BoardView *list[kMostBoards];
    int count = 0;
    for (int i = 0; i < watched.count; i++)
        if (!screen->troubleOnly || InTrouble(&watched.views[i], context))
            list[count++] = &watched.views[i];
    // The boards shown keep the screen full when some were scrolled past.
    int shown = BoardsShown(&nextScreen, count, &options->settings);
    if (screen->firstBoard > count - shown)
        screen->firstBoard = count - shown;
    if (screen->firstBoard < 0)
        screen->firstBoard = 0;
    Screen what = {count, screen->firstBoard, watched.count, screen->troubleOnly, screen->keys,
                   notice};
    LayOutScreen(list, &what, context, &nextScreen);
    EmptyText(&out);
    // Drawn in part when there is no memory for all of it: all of it next time.
    screen->whole =
        !DrawDifferences(&nextScreen, &shownScreen, screen->whole, screen->abilities, &out);
    WriteOutput(out.chars, out.length);
}

// After the samples asked for, the last screen stays to be read: the
// terminal is left, and the screen written as text in its place.
static void LeaveLastScreen(const ScreenState *screen) {
    LeaveScreen();
    EmptyText(&out);
    GridAsText(&shownScreen, screen->abilities.utf8, &out);
    // Blank lines at the end are left out.
    while (out.length >= 2 && out.chars[out.length - 1] == '\n' &&
           out.chars[out.length - 2] == '\n')
        out.length--;
    WriteOutput(out.chars, out.length);
}

int WatchOnScreen(ViewOptions *options) {
    atexit(TellNotice); // once the screen is left: registered before it
    ScreenState screen = {0, true, false, false, {true, true}};
    if (!OpenScreen(&screen.abilities))
        return WatchInLines(options);
    for (uint32_t round = 1;; round++) {
        FigureContext context = SampleBoards(options);
        Draw(options, &screen, &context);
        if (round == options->samples) {
            LeaveLastScreen(&screen);
            return 0;
        }
        uint64_t next = NextRoundMs(roundMs, missedPublication, MonotonicMilliseconds());
        for (uint64_t now; (now = MonotonicMilliseconds()) < next;) {
            int key = ReadKey((uint32_t)(next - now));
            if (EndRequested())
                return 0;
            if (key == kNoKey)
                continue;
            if (!Obey(key, &options->settings, &screen))
                return 0;
            context.nowMs = MonotonicMilliseconds();
            Draw(options, &screen, &context);
        }
    }
}
