#pragma once

#include <cmath>

namespace shell {

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

    // A length of the design at this zoom, in whole pixels.
    int times(int value) const { return static_cast<int>(std::lround(static_cast<double>(value) * num / den)); }
    // A coordinate of the zoomed window back in the design, whole pixels
    // when zoomed.
    double toDesign(double at) const { return full() ? at : std::round(at * (static_cast<double>(den) / num)); }
};

// A width and a height in pixels.
struct Extent {
    int width = 0;
    int height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

// The largest zoom, at most `limit` and at most 1, at which a client area of
// `design` pixels fits in `available` with a frame of `frame` pixels in all
// around it (the frame is the window system's and does not shrink). An empty
// `available` is a screen of unknown size, where everything fits. Where not
// even 1/8 fits, 1/8.
inline Zoom fittingZoom(Extent design, Extent frame, Extent available, double limit)
{
    auto fits = [&](const Zoom& z) {
        if (available.empty()) return true;
        return z.times(design.width) + frame.width <= available.width &&
               z.times(design.height) + frame.height <= available.height;
    };
    Zoom best{1, Zoom::kMaxDen};
    for (int den = 1; den <= Zoom::kMaxDen; ++den)
        for (int num = den; num >= 1; --num) {
            const Zoom z{num, den};
            // (A ratio equal to one found with a smaller denominator is not
            // larger, so every zoom comes out in lowest terms.)
            if (z.factor() > limit + 1e-9 || !fits(z)) continue;
            if (z.factor() > best.factor()) best = z;
            break;
        }
    return best;
}

}  // namespace shell
