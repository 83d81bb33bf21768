#include "layout.h"

#include "board_block.h"
#include "board_line.h"
#include "footer.h"

int MinimumRows(void) { return 1 + BlockRows(false) + 1; } // the header, a board, the footer

enum { kBlockGap = 2 }; // columns between blocks side by side; a row between their rows

// How many blocks of the kind the screen holds: side by side, and their rows.
static int Across(const Grid *grid, bool graphs) {
    int across = (grid->columns + kBlockGap) / (BlockColumns(graphs) + kBlockGap);
    return across > 0 ? across : 1;
}
static int Down(const Grid *grid, bool graphs) {
    return (grid->rows - 2 + 1) / (BlockRows(graphs) + 1); // the header, the footer
}

Placement PlaceBoards(const Grid *grid, int count, BoardsAs as, const ViewSettings *view) {
    bool graphs = view->graphs && grid->columns >= BlockColumns(true) &&
                  Across(grid, true) * Down(grid, true) >= count;
    Placement blocks = {false, graphs, Across(grid, graphs), Across(grid, graphs) * Down(grid, graphs)};
    Placement lines = {true, false, 1, grid->rows - 3}; // the header, the columns' headings, the footer
    // A line each where not every block fits and a line's essentials do, or
    // when asked.
    bool fits = blocks.shown >= count || grid->columns < kLineColumns;
    Placement placement = as == kAsLines || (as == kAsFits && !fits) ? lines : blocks;
    if (placement.shown > count)
        placement.shown = count;
    if (placement.shown < 0)
        placement.shown = 0;
    return placement;
}

void LayOutScreen(const ShownBoard *boards, const Screen *screen, const FigureContext *context,
                  const ViewSettings *view, Grid *grid) {
    ClearGrid(grid, grid->rows, grid->columns);
    if (grid->columns < kMinimumColumns || grid->rows < MinimumRows()) {
        PutTooSmall(grid);
        return;
    }
    if (screen->keys) {
        PutKeysPage(grid);
        return;
    }
    Placement placement = PlaceBoards(grid, screen->count, screen->as, view);
    int width = BlockColumns(placement.graphs) + kBlockGap;
    PutText(grid, 0, 0, "WatchBoards", kStyleBold);
    int longestName = placement.lines ? LongestName(boards, screen->count) : 0;
    if (placement.lines)
        PutLineHeadings(grid, 1, longestName);
    for (int across = 0; !placement.lines && across < placement.across; across++)
        PutColumnHeadings(grid, 0, across * width);
    if (screen->count == 0)
        PutText(grid, 1, 0,
                screen->troubleOnly ? "No board in trouble." : "No board publishes statistics.",
                kStylePlain);
    int troubleOutOfView = 0;
    for (int i = 0; i < screen->count; i++) {
        int place = i - screen->firstBoard;
        if (place < 0 || place >= placement.shown) {
            troubleOutOfView += ShownInTrouble(&boards[i], context->nowMs);
        } else if (placement.lines) {
            PutBoardLine(grid, 2 + place, &boards[i], context, view, longestName);
        } else {
            // Across, then down.
            int across = place % placement.across, down = place / placement.across;
            int room = placement.across == 1 ? grid->columns : width - kBlockGap;
            PutBoardBlock(grid, 1 + down * (BlockRows(placement.graphs) + 1), across * width, room,
                          &boards[i], context, view, placement.graphs);
        }
    }
    PutFooter(grid, screen, view, &placement, troubleOutOfView);
}
