#pragma once

#include <QRect>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/controls.h"

class QPixmap;

namespace game {
class Form1;
}

namespace app {

class PictureCache;

// What the battlefield shows, reduced to what painting reads from the model:
// the window's colour and picture, every label, and every shown picture box
// that reaches into the window (culled as painting culls). Two of them, taken
// before and after the game has run, tell which rectangles of the window a
// repaint has to cover; the model itself keeps no record of its changes.
//
// Taking one visits every picture box, like a paint does, but keeps only the
// few on screen: with 98,301 invaders made and most of them parked far
// outside, it holds a few hundred entries.
class ShownScene {
public:
    // Reads what `form` shows in `client` (logical pixels of the client area).
    void take(const game::Form1& form, PictureCache& pictures, const QRect& client);

    // Whether nothing has been taken yet (or it was cleared).
    bool empty() const { return !taken_; }
    void clear();

    // Whether a change between the two needs the whole window repainted (the
    // window's own colour or picture changed).
    static bool wholeWindowChanged(const ShownScene& before, const ShownScene& after);
    // Calls f(rect) for each rectangle where a painting of `after` may differ
    // from one of `before`: both rectangles of a box or label that moved,
    // changed size or looks (one rectangle around both when they overlap, as
    // for a box that took a step: a few pixels more, half the rectangles),
    // the rectangle of one that appeared or went. Boxes are matched by their
    // place in the stacking order, so a box that changed places also counts
    // as changed.
    template <typename F>
    static void forEachChange(const ShownScene& before, const ShownScene& after, F&& f);

    std::size_t boxes() const { return boxes_.size(); }

private:
    // A picture box as painted (paintBox).
    struct Box {
        std::uint32_t order;  // bottom-up place among all boxes, shown or not
        QRect rect;
        const QPixmap* picture;
        ui::Color back;
        ui::Border border;
        bool looksLike(const Box& o) const
        {
            return rect == o.rect && picture == o.picture && back == o.back && border == o.border;
        }
    };
    // A label as painted (paintLabel).
    struct Caption {
        QRect rect;
        std::string text;
        ui::Font font;
        ui::Align align = ui::Align::Left;
        bool enabled = true;
        bool opaque = false;
        ui::Color back = 0;
        ui::Color fore = 0;
        bool operator==(const Caption&) const = default;
    };

    template <typename F>
    static void bothOf(const QRect& was, const QRect& is, F& f)
    {
        if (was.intersects(is)) {
            f(was | is);
        } else {
            f(was);
            f(is);
        }
    }

    bool taken_ = false;
    ui::Color back_ = 0;
    const QPixmap* background_ = nullptr;
    std::vector<Caption> captions_;
    std::vector<Box> boxes_;
};

template <typename F>
void ShownScene::forEachChange(const ShownScene& before, const ShownScene& after, F&& f)
{
    const std::size_t labels = std::max(before.captions_.size(), after.captions_.size());
    for (std::size_t i = 0; i < labels; ++i) {
        const Caption* was = i < before.captions_.size() ? &before.captions_[i] : nullptr;
        const Caption* is = i < after.captions_.size() ? &after.captions_[i] : nullptr;
        if (was && is && *was == *is) continue;
        if (was && is)
            bothOf(was->rect, is->rect, f);
        else
            f(was ? was->rect : is->rect);
    }
    auto a = before.boxes_.begin();
    auto b = after.boxes_.begin();
    while (a != before.boxes_.end() || b != after.boxes_.end()) {
        if (b == after.boxes_.end() || (a != before.boxes_.end() && a->order < b->order)) {
            f((a++)->rect);
        } else if (a == before.boxes_.end() || b->order < a->order) {
            f((b++)->rect);
        } else {
            if (!a->looksLike(*b)) bothOf(a->rect, b->rect, f);
            ++a;
            ++b;
        }
    }
}

}  // namespace app
