#include "watching.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "console.h"
#include "figures.h"
#include "grid.h"
#include "layout.h"
#include "metrics.h"
#include "reading.h"
#include "statistics_block.h"
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
    fprintf(stderr,
            "WatchBoards: board %d: %d samples in a row were resets, its counters growing "
            "faster than the LAN speed allows; try -s ",
            (int)notice.board, (int)kResetsForTooSlow);
    char speed[24];
    Text text = TEXT_IN(speed);
    AppendSpeed(&text, notice.speedNeeded);
    fprintf(stderr, "%s\n", speed);
}

static ScreenNotice NoticeOf(const ViewSettings *settings) {
    for (int i = 0; i < watched.count; i++) {
        uint64_t speed = SpeedNeeded(&watched.views[i], settings);
        if (speed != 0)
            return ScreenNotice{watched.views[i].boardIndex, speed};
    }
    return ScreenNotice{0, 0};
}

// How long until the next round.  The rounds keep to the second, as the
// service publishes; a round that may have come just before the service
// published puts the next ones half a second later, away from that moment.
static uint32_t roundMs = 1000;

static void SampleBoards(const ViewSettings *settings) {
    uint64_t now = MonotonicMilliseconds();
    roundMs = 1000;
    for (int i = 0; i < watched.count; i++) {
        PrpValue record;
        BlockState state = ReadBoardRecord(&watched.blocks[i], &record);
        TakeSample(&watched.views[i], state, &record, now, settings);
        if (watched.views[i].missedPublication)
            roundMs = 1500;
    }
    notice = NoticeOf(settings);
}

// Sleeps to the next whole second from the start, so that the rounds do
// not drift; false when an end was requested meanwhile.
static bool AwaitNextRound(uint64_t *next) {
    *next += roundMs;
    uint64_t now = MonotonicMilliseconds();
    if (*next < now)
        *next = now; // behind (a stopped process): start again from now
    else
        WaitMilliseconds((uint32_t)(*next - now));
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

// A round's lines, written out whenever the room left might not hold one
// more line: so every line is written whole, however many boards there are.
static char lines[64 * 1024];
static_assert(sizeof lines >= 2 * kLongestLine, "room for a line at least");

// One round in lines.  Apart, and never inlined, so that a profile can
// count what one round costs.
__attribute__((noinline)) void ShowLinesRound(const ViewOptions *options) {
    FollowBoards(options);
    SampleBoards(&options->settings);
    TellNotice();
    char time[32];
    Text timeText = TEXT_IN(time);
    AppendUtcTime(&timeText);
    Text text = TEXT_IN(lines);
    for (int i = 0; i < watched.count; i++) {
        if (text.size - text.length <= kLongestLine) {
            WriteOutput(text.chars, text.length);
            text = TEXT_IN(lines);
        }
        AppendBoardLine(&text, &watched.views[i], &timeText, &options->settings, options->format);
    }
    WriteOutput(text.chars, text.length);
}

// The rounds of lines or of the metrics file, each shown by show.
static int ShowRounds(const ViewOptions *options, void (*show)(const ViewOptions *)) {
    uint64_t next = MonotonicMilliseconds();
    for (uint32_t round = 1;; round++) {
        show(options);
        if (round == options->samples || !AwaitNextRound(&next))
            return 0;
    }
}

int WatchInLines(const ViewOptions *options) {
    Text text = TEXT_IN(lines);
    AppendHeaderLine(&text, options->format);
    WriteOutput(text.chars, text.length);
    return ShowRounds(options, ShowLinesRound);
}

// Room of at least needed bytes in *chars, which grows as needed; false
// when there is no memory for more.
struct Room {
    char *chars;
    size_t size;
};

static bool MakeRoom(Room *room, size_t needed) {
    if (needed <= room->size)
        return true;
    char *more = (char *)realloc(room->chars, needed);
    if (more == NULL)
        return false;
    room->chars = more;
    room->size = needed;
    return true;
}

// One round of the metrics file, apart as ShowLinesRound is: the file
// replaced whole, or the program ended with status 1 and a line.
__attribute__((noinline)) void ShowMetricsRound(const ViewOptions *options) {
    FollowBoards(options);
    SampleBoards(&options->settings);
    TellNotice();
    static Room metrics;
    if (!MakeRoom(&metrics, MetricsRoom(watched.count) + 1)) {
        fprintf(stderr, "WatchBoards: %s: %s\n", options->textfile, strerror(ENOMEM));
        exit(1);
    }
    Text text = TextIn(metrics.chars, metrics.size);
    AppendMetrics(&text, watched.views, watched.count, &options->settings);
    if (!ReplaceWholeFile(options->textfile, text.chars, text.length))
        exit(1);
}

int WatchInTextfile(const ViewOptions *options) { return ShowRounds(options, ShowMetricsRound); }

static ScreenLayout layout;
static Grid nextScreen, shownScreen;

// Room for what draws a screen of that size whole: a cursor move, a style
// and a character of three bytes for each cell at most.
// Without the memory, what there is: the screen is drawn in part.
static Text Drawing(int rows, int columns) {
    static Room drawing;
    MakeRoom(&drawing, (size_t)rows * (size_t)columns * 24 + 64);
    return TextIn(drawing.chars, drawing.size);
}

struct ScreenState {
    int firstBoard;
    bool whole;       // the terminal's content is unknown: draw every cell
    bool troubleOnly; // t: only the boards in trouble
    bool keys;        // ?: the keys instead of the boards
    TerminalAbilities abilities;
};

// Lays out the screen and draws what changed.
static void Draw(const ViewOptions *options, ScreenState *screen) {
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
        if (!screen->troubleOnly || InTrouble(&watched.views[i], &options->settings))
            list[count++] = &watched.views[i];
    // The boards shown keep the screen full when some were scrolled past.
    int shown = BoardsShown(&nextScreen, count, &options->settings);
    if (screen->firstBoard > count - shown)
        screen->firstBoard = count - shown;
    if (screen->firstBoard < 0)
        screen->firstBoard = 0;
    ScreenFrame frame = MakeScreenFrame(count, screen->firstBoard, watched.count,
                                        screen->troubleOnly, screen->keys, notice,
                                        &options->settings);
    LayOutScreenAgain(&layout, list, &frame, MonotonicMilliseconds(), &nextScreen);
    Text out = Drawing(nextScreen.rows, nextScreen.columns);
    // Drawn in part when out is too small: all of it next time.
    screen->whole =
        !DrawDifferences(&nextScreen, &shownScreen, screen->whole, screen->abilities, &out);
    WriteOutput(out.chars, out.length);
}

// One round on the screen, apart as ShowLinesRound is.
__attribute__((noinline)) void ShowScreenRound(const ViewOptions *options, ScreenState *screen) {
    FollowBoards(options);
    SampleBoards(&options->settings);
    Draw(options, screen);
}

// What a key does; false for q and Ctrl-C, which end the program.
static bool Obey(int key, ViewOptions *options, ScreenState *screen) {
    ViewSettings *settings = &options->settings;
    if (screen->keys && key != kKeyResized) { // any key leaves the keys
        screen->keys = false;
        return true;
    }
    switch (key) {
    case 'q':
    case 'Q':
    case 3: // Ctrl-C
        return false;
    case 'b':
        settings->bytes = !settings->bytes;
        break;
    case 'g':
        settings->graphs = !settings->graphs;
        break;
    case '+':
    case '=':
        settings->markTenths = NextMark(settings->markTenths, true);
        break;
    case '-':
        settings->markTenths = NextMark(settings->markTenths, false);
        break;
    case 't':
        screen->troubleOnly = !screen->troubleOnly;
        screen->firstBoard = 0;
        break;
    case '?':
        screen->keys = true;
        break;
    case kKeyUp:
    case 'k':
        screen->firstBoard--;
        break;
    case kKeyDown:
    case 'j':
        screen->firstBoard++;
        break;
    case kKeyResized:
        screen->whole = true;
        break;
    case 12: // Ctrl-L, as in most screens: draw it all again
        screen->whole = true;
        break;
    }
    return true;
}

// After the samples asked for, the last screen stays to be read: the
// terminal is left, and the screen written as text in its place.
static void LeaveLastScreen(const ScreenState *screen) {
    LeaveScreen();
    Text text = Drawing(shownScreen.rows, shownScreen.columns);
    GridAsText(&shownScreen, screen->abilities.utf8, &text);
    // Blank lines at the end are left out.
    while (text.length >= 2 && text.chars[text.length - 1] == '\n' &&
           text.chars[text.length - 2] == '\n')
        text.length--;
    WriteOutput(text.chars, text.length);
}

int WatchOnScreen(ViewOptions *options) {
    atexit(TellNotice); // once the screen is left: registered before it
    ScreenState screen = {0, true, false, false, {true, true}};
    if (!OpenScreen(&screen.abilities))
        return WatchInLines(options);
    uint64_t next = MonotonicMilliseconds();
    for (uint32_t round = 1;; round++) {
        ShowScreenRound(options, &screen);
        if (round == options->samples) {
            LeaveLastScreen(&screen);
            return 0;
        }
        next += roundMs;
        for (uint64_t now; (now = MonotonicMilliseconds()) < next;) {
            int key = ReadKey((uint32_t)(next - now));
            if (EndRequested())
                return 0;
            if (key == kNoKey)
                continue;
            if (!Obey(key, options, &screen))
                return 0;
            Draw(options, &screen);
        }
        uint64_t now = MonotonicMilliseconds();
        if (next + 1000 < now)
            next = now; // behind (a stopped process): start again from now
    }
}
