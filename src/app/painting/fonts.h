#pragma once

#include <QFont>
#include <deque>

#include "ui/controls.h"

namespace app {

// The design's typefaces are not on a Linux desktop: MS Sans Serif becomes
// Liberation Sans and Narkisim a Hebrew-capable Culmus face. Call once, before
// any font is made.
void installFontSubstitutes();

// The Qt font for a design font. The layout was drawn at 96 dots per inch, so
// points become pixels at that rate whatever the screen's DPI setting says;
// otherwise captions would outgrow their fixed label rectangles.
QFont qtFont(const ui::Font& font);

// Fonts are made once per design font, not on every frame.
class FontCache {
public:
    const QFont& get(const ui::Font& font);

private:
    struct Entry {
        ui::Font key;
        QFont font;
    };
    std::deque<Entry> entries_;  // grows without moving what it handed out
};

}  // namespace app
