#include "show.h"

static constexpr int Graphed() {
    int count = 0;
    for (const ShownFigure &shown : kShownFigures)
        count += shown.graphed;
    return count;
}
static_assert(Graphed() == kGraphs, "a history kept for each graphed figure");

// Every figure in a block fits its column, with its label before it.
static constexpr int LabelWidth(const ShownFigure &shown) {
    int width = 0;
    for (const char *c = shown.label; c != nullptr && *c != '\0'; c++)
        width++;
    return width + (kFigures[shown.figure].unit == kUnitRate ? 6 : 0); // " bit/s"
}
static constexpr bool EveryFigureFits() {
    for (const ShownFigure &shown : kShownFigures) {
        const Figure &figure = kFigures[shown.figure];
        int width = ScreenWidth(figure.unit, kBlockCountWidth, figure.since != kSinceNotSaid);
        if (shown.row == 0)
            continue;
        if (width > kLongestScreenFigure)
            return false;
        if (figure.ofEachLan &&
            (LabelWidth(shown) + 1 + width > kLanAEnd || width > kLanBEnd - kLanAEnd))
            return false;
        if (!figure.ofEachLan && width > kBoardEnd - kLanBEnd - 1)
            return false;
    }
    return true;
}
static_assert(EveryFigureFits(), "every figure on the screen fits its column");

void AppendScreenValue(Text *text, FigureUnit unit, int64_t value, const ViewSettings *view,
                       int width) {
    switch (unit) {
    case kUnitCount:
        if (value < 0)
            AppendSigned(text, value);
        else
            AppendCount(text, (uint64_t)value, width);
        break;
    case kUnitState:
        AppendText(text, StateWord((BoardState)value));
        break;
    case kUnitLink:
        if (value == 0 || value == 1)
            AppendText(text, value == 1 ? "up" : "down");
        else
            AppendSigned(text, value);
        break;
    case kUnitRate:
        AppendSi(text, view->bytes ? (uint64_t)value : (uint64_t)value * 8);
        break;
    case kUnitPercent:
        AppendPercentTenths(text, (int32_t)value);
        break;
    case kUnitFlag:
        AppendChar(text, value != 0 ? '1' : '0');
        break;
    case kUnitSeconds:
        AppendDuration(text, (uint64_t)value);
        break;
    }
}

void AppendScreenFigure(Text *text, FigureId id, const Board *board, int lan,
                        const FigureContext *context, const ViewSettings *view, int width) {
    int64_t value;
    if (FigureValue(id, board, lan, context, &value))
        AppendScreenValue(text, kFigures[id].unit, value, view, width);
    else
        AppendChar(text, '-');
}
