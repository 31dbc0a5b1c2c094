// The arithmetic of a scrolled page along one axis: a content of some size
// seen through a window of another, the first pixel shown, and where each
// scroll request leads. The Win32 scrolled page only copies the result onto
// its scroll bars.
#pragma once

namespace kolvane {

struct ScrollAxis {
    int content = 0;  // pixels of the whole page
    int page = 0;     // pixels the window shows
    int position = 0; // first pixel shown, 0 .. lastPosition()
    int line = 16;    // pixels of one arrow click

    int lastPosition() const { return content > page ? content - page : 0; }
};

enum class ScrollRequest { LineBack, LineForward, PageBack, PageForward, Start, End, Track };

// Where `request` takes the axis; `trackPosition` is the thumb's for Track.
int scrolledPosition(const ScrollAxis& axis, ScrollRequest request, int trackPosition = 0);
// The axis after its content or page size changed: the position kept in range.
ScrollAxis resizedAxis(ScrollAxis axis, int content, int page);
// The position after a mouse wheel turn of `delta` (120 a notch, positive
// away from the user: back), three lines a notch.
int wheelPosition(const ScrollAxis& axis, int delta);
// The first position that shows [start, start + size) whole, moving as little
// as possible; a span larger than the page shows its start.
int positionShowing(const ScrollAxis& axis, int start, int size);

} // namespace kolvane
