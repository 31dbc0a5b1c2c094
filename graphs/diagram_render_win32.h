// Draws a Diagram with GDI, following its layout (diagram.h): into a new
// bitmap of the diagram's size, or onto any device context.
#pragma once

#include "graphs/diagram.h"

#include <windows.h>

#include <vector>

namespace kolvane::win {

// A new bitmap compatible with the screen, owned by the caller; the bar
// colours come from the C library's generator. Null when GDI refuses.
HBITMAP diagramRender(const Diagram& diagram);
// The same with given colours (one per series, or per value of a single
// series; a missing colour is drawn grey).
HBITMAP renderDiagram(const Diagram& diagram, const std::vector<Rgb>& colours);
// Paints the picture at (0, 0) of `dc`, whose size is the diagram's.
void paintDiagram(HDC dc, const Diagram& diagram, const DiagramLayout& layout,
                  const std::vector<Rgb>& colours);

} // namespace kolvane::win
