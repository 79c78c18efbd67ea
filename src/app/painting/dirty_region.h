#pragma once

#include <QRect>
#include <QRegion>
#include <vector>

namespace app {

// The union of many rectangles, which may overlap, as a region. QRegion
// unites one rectangle at a time, each time rebuilding the whole region:
// hundreds of rectangles (invaders walking) cost milliseconds that way. This
// sweeps the rectangles' top and bottom edges once and hands Qt the bands.
// `rects` is reordered; empty rectangles are ignored.
QRegion unionOf(std::vector<QRect>& rects);

}  // namespace app
