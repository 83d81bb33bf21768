// The screen's last row and its pages of their own: the footer (what is
// said of a LAN speed, where the boards shown are in the list, how many out
// of view are in trouble, the keys), the page of keys, and the page of a
// terminal too small.
#ifndef WATCHBOARDS_FOOTER_H
#define WATCHBOARDS_FOOTER_H

#include "grid.h"
#include "layout.h"

void PutFooter(Grid *grid, const Screen *screen, const ViewSettings *view,
               const Placement *placement, int troubleOutOfView);

void PutKeysPage(Grid *grid);

void PutTooSmall(Grid *grid);

#endif
