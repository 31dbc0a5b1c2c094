#include "document/scroll_arithmetic.h"

#include <algorithm>

namespace kolvane {
namespace {

int clampPosition(const ScrollAxis& axis, long long position) {
    return static_cast<int>(std::clamp<long long>(position, 0, axis.lastPosition()));
}

} // namespace

int scrolledPosition(const ScrollAxis& axis, ScrollRequest request, int trackPosition) {
    const long long page = std::max(axis.page, 1);
    switch (request) {
    case ScrollRequest::LineBack:
        return clampPosition(axis, static_cast<long long>(axis.position) - axis.line);
    case ScrollRequest::LineForward:
        return clampPosition(axis, static_cast<long long>(axis.position) + axis.line);
    case ScrollRequest::PageBack:
        return clampPosition(axis, axis.position - page);
    case ScrollRequest::PageForward:
        return clampPosition(axis, axis.position + page);
    case ScrollRequest::Start:
        return 0;
    case ScrollRequest::End:
        return axis.lastPosition();
    case ScrollRequest::Track:
        return clampPosition(axis, trackPosition);
    }
    return axis.position;
}

ScrollAxis resizedAxis(ScrollAxis axis, int content, int page) {
    axis.content = std::max(content, 0);
    axis.page = std::max(page, 0);
    axis.position = clampPosition(axis, axis.position);
    return axis;
}

int wheelPosition(const ScrollAxis& axis, int delta) {
    // Whole notches only add up line by line: a fine wheel's partial turns scroll too.
    const long long lines = -static_cast<long long>(delta) * 3 / 120;
    return clampPosition(axis, axis.position + lines * axis.line);
}

int positionShowing(const ScrollAxis& axis, int start, int size) {
    if (start < axis.position || size >= axis.page)
        return clampPosition(axis, start);
    if (start + size > axis.position + axis.page)
        return clampPosition(axis, static_cast<long long>(start) + size - axis.page);
    return axis.position;
}

} // namespace kolvane
