#include "layout.h"

#include "board_block.h"
#include "footer.h"

int MinimumRows(void) { return 1 + BlockRows(false) + 1; } // the header, a board, the footer

static bool WithGraphs(const Grid *grid, int count, const ViewSettings *settings) {
    int room = grid->rows - 2; // header, footer
    return settings->graphs && grid->columns >= kGraphEnd &&
           count * (BlockRows(true) + 1) - 1 <= room;
}

int BoardsShown(const Grid *grid, int count, const ViewSettings *settings) {
    int block = BlockRows(WithGraphs(grid, count, settings));
    int fit = (grid->rows - 2 + 1) / (block + 1); // a blank row between boards
    return fit < count ? fit : count;
}

void LayOutScreen(const BoardView *const *boards, const Screen *screen,
                  const FigureContext *context, Grid *grid) {
    ClearGrid(grid, grid->rows, grid->columns);
    if (grid->columns < kMinimumColumns || grid->rows < MinimumRows()) {
        PutTooSmall(grid);
        return;
    }
    if (screen->keys) {
        PutKeysPage(grid);
        return;
    }
    const ViewSettings *settings = context->settings;
    PutText(grid, 0, 0, "WatchBoards", kStyleBold);
    PutColumnHeadings(grid, 0, 0);
    if (screen->count == 0)
        PutText(grid, 1, 0,
                screen->troubleOnly ? "No board in trouble." : "No board publishes statistics.",
                kStylePlain);
    bool graphs = WithGraphs(grid, screen->count, settings);
    int shown = BoardsShown(grid, screen->count, settings);
    int troubleOutOfView = 0;
    for (int i = 0; i < screen->count; i++) {
        int place = i - screen->firstBoard;
        if (place >= 0 && place < shown)
            PutBoardBlock(grid, 1 + place * (BlockRows(graphs) + 1), 0, boards[i], context,
                          graphs);
        else
            troubleOutOfView += InTrouble(boards[i], context);
    }
    PutFooter(grid, screen, settings, shown, graphs, troubleOutOfView);
}
