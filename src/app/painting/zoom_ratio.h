#pragma once

namespace app {

// How much smaller than the design a window is shown: num / den of its size,
// a ratio of small whole numbers so that the pixel art keeps one pattern.
// The game never sees it: it reads every size and position as at full size.
struct Zoom {
    int num = 1;
    int den = 1;

    // Denominators go up to this: 7/8, 6/7, 5/6, 4/5, 3/4 ... 1/8.
    static constexpr int kMaxDen = 8;

    bool full() const { return num == den; }
    double factor() const { return static_cast<double>(num) / den; }
    bool operator==(const Zoom&) const = default;
};

}  // namespace app
