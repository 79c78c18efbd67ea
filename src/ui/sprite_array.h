#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <type_traits>

#include "ui/controls.h"
#include "ui/error.h"

namespace ui {

// A live view of one picture box, wherever it is stored: a lone box, or an
// element of a sprite array. Writing through a SpriteRef writes the box; a
// SpriteView only reads it.
template <bool ReadOnly>
struct BasicSpriteRef {
    template <typename T>
    using Field = std::conditional_t<ReadOnly, const T&, T&>;
    using Box = std::conditional_t<ReadOnly, const PictureBox, PictureBox>;

    Field<float> Left;
    Field<float> Top;
    Field<float> Width;
    Field<float> Height;
    Field<bool> Visible;
    Field<bool> Enabled;
    Field<Border> BorderStyle;
    Field<Color> BackColor;
    Field<PictureRef> Picture;

    BasicSpriteRef(Box& b)  // NOLINT: a box is a sprite
        : Left(b.Left),
          Top(b.Top),
          Width(b.Width),
          Height(b.Height),
          Visible(b.Visible),
          Enabled(b.Enabled),
          BorderStyle(b.BorderStyle),
          BackColor(b.BackColor),
          Picture(b.Picture)
    {
    }
    template <bool W>
    requires(ReadOnly && !W) BasicSpriteRef(const BasicSpriteRef<W>& s)  // NOLINT: a writable view reads as well
        : Left(s.Left),
          Top(s.Top),
          Width(s.Width),
          Height(s.Height),
          Visible(s.Visible),
          Enabled(s.Enabled),
          BorderStyle(s.BorderStyle),
          BackColor(s.BackColor),
          Picture(s.Picture)
    {
    }
    BasicSpriteRef(Field<float> l, Field<float> t, Field<float> w, Field<float> h, Field<bool> v, Field<bool> e,
                   Field<Border> border, Field<Color> back, Field<PictureRef> pic)
        : Left(l),
          Top(t),
          Width(w),
          Height(h),
          Visible(v),
          Enabled(e),
          BorderStyle(border),
          BackColor(back),
          Picture(pic)
    {
    }
};
using SpriteRef = BasicSpriteRef<false>;
using SpriteView = BasicSpriteRef<true>;

// The rectangle of a sprite, as the overlap test reads it.
struct Extent {
    float Left, Top, Width, Height;
    Extent(const PictureBox& b) : Left(b.Left), Top(b.Top), Width(b.Width), Height(b.Height) {}  // NOLINT
    template <bool R>
    Extent(const BasicSpriteRef<R>& s) : Left(s.Left), Top(s.Top), Width(s.Width), Height(s.Height)  // NOLINT
    {
    }
    Extent(float l, float t, float w, float h) : Left(l), Top(t), Width(w), Height(h) {}
};

// The span of a sprite's corners on each axis. No corner of it can lie in a
// rectangle that one of these spans misses, so a pair whose spans miss cannot
// touch. Comparisons with a NaN are false, so a NaN never makes a pair look
// apart.
struct CornerSpan {
    float minX, maxX, minY, maxY;

    static CornerSpan of(float left, float top, float width, float height)
    {
        const float x1 = left + width;
        const float y1 = top + height;
        return CornerSpan{std::min(left, x1), std::max(left, x1), std::min(top, y1), std::max(top, y1)};
    }
    static CornerSpan of(const Extent& e) { return of(e.Left, e.Top, e.Width, e.Height); }

    // Could one of these corners lie in the closed rectangle [x0, x1] x [y0, y1]?
    bool mayLieIn(float x0, float x1, float y0, float y1) const
    {
        return !(maxX < x0 || minX > x1 || maxY < y0 || minY > y1);
    }
    bool mayLieIn(const Extent& e) const { return mayLieIn(e.Left, e.Left + e.Width, e.Top, e.Top + e.Height); }
};

// The invaders' control arrays: up to 32768 elements each, every one of which
// the movement and collision ticks visit many times a second. The elements'
// fields are kept column by column, so that those loops run over contiguous
// numbers; room for the whole 16-bit range is taken at once, so an element
// never moves and a view of it stays valid. The columns stay in here: the
// rules ask their questions through the queries below.
class SpriteArray {
public:
    static constexpr int kMaxIndex = 32767;

    explicit SpriteArray(const PictureBox& design) { push(design, design.Visible); }
    SpriteArray(const SpriteArray&) = delete;
    SpriteArray& operator=(const SpriteArray&) = delete;

    std::int16_t UBound() const { return static_cast<std::int16_t>(size_ - 1); }
    std::size_t size() const { return size_; }
    bool exists(int index) const { return index >= 0 && static_cast<std::size_t>(index) < size_; }

    SpriteRef operator()(int index)
    {
        const std::size_t i = checked(index);
        return SpriteRef(left_[i], top_[i], width_[i], height_[i], visible_[i], enabled_[i], border_[i], back_[i],
                         picture_[i]);
    }
    SpriteView operator()(int index) const
    {
        const std::size_t i = checked(index);
        return SpriteView(left_[i], top_[i], width_[i], height_[i], visible_[i], enabled_[i], border_[i], back_[i],
                          picture_[i]);
    }

    // Creates element `index`, the next above the top, as a copy of element 0
    // as it stands now; it starts hidden.
    SpriteRef Load(int index)
    {
        if (index != static_cast<int>(size_) || index > kMaxIndex)
            throw RuntimeError("control array element cannot be created");
        PictureBox zero;
        zero.Left = left_[0];
        zero.Top = top_[0];
        zero.Width = width_[0];
        zero.Height = height_[0];
        zero.Enabled = enabled_[0];
        zero.BorderStyle = border_[0];
        zero.BackColor = back_[0];
        zero.Picture = picture_[0];
        push(zero, false);
        return (*this)(index);
    }

    // Moves every shown element by (-leftStep, -topStep); hidden ones keep
    // their place. Taking away zero leaves every value as it was, so the loop
    // runs without a branch.
    void stepShown(float leftStep, float topStep)
    {
        if (leftStep != 0) sweep(left_.get(), leftStep);
        if (topStep != 0) sweep(top_.get(), topStep);
    }

    // The first element from `from` on that may touch something: a corner of
    // one of `probes` may lie in it, or one of its corners in `target`.
    // Elements passed over touch nothing. size() when none is left.
    std::size_t nextThatMayMeet(std::size_t from, std::span<const CornerSpan> probes, const Extent& target) const
    {
        const float tx0 = target.Left, tx1 = target.Left + target.Width;
        const float ty0 = target.Top, ty1 = target.Top + target.Height;
        for (std::size_t i = from; i < size_; ++i) {
            const float x0 = left_[i];
            const float y0 = top_[i];
            const float x1 = x0 + width_[i];
            const float y1 = y0 + height_[i];
            if (CornerSpan{std::min(x0, x1), std::max(x0, x1), std::min(y0, y1), std::max(y0, y1)}.mayLieIn(tx0, tx1,
                                                                                                            ty0, ty1))
                return i;
            for (const CornerSpan& probe : probes)
                if (probe.mayLieIn(x0, x1, y0, y1)) return i;
        }
        return size_;
    }

    // Is any element enabled? (They are made disabled; only a script enables one.)
    bool anyEnabled() const
    {
        static_assert(sizeof(bool) == 1);
        return std::memchr(enabled_.get(), 1, size_) != nullptr;
    }
    // Does any shown element hold the point (left and top edges inside, right
    // and bottom outside, as a press is routed)?
    bool anyShownHolds(float x, float y) const
    {
        bool any = false;
        for (std::size_t i = 0; i < size_; ++i)
            any |= visible_[i] & (left_[i] <= x) & (x < left_[i] + width_[i]) & (top_[i] <= y) &
                   (y < top_[i] + height_[i]);
        return any;
    }

private:
    // Room for every element is taken at once but left untouched (and so
    // costs no memory) until an element is made there.
    template <typename T>
    using Column = std::unique_ptr<T[]>;
    static constexpr std::size_t kRoom = kMaxIndex + 1;

    std::size_t checked(int index) const
    {
        if (!exists(index)) throw RuntimeError("control array index out of range");
        return static_cast<std::size_t>(index);
    }

    void sweep(float* column, float step)
    {
        // The flags read as bytes (0 or 1) times the step, so the loop vectorises.
        const auto* shown = reinterpret_cast<const unsigned char*>(visible_.get());
        for (std::size_t i = 0; i < size_; ++i) column[i] = column[i] - static_cast<float>(shown[i]) * step;
    }

    void push(const PictureBox& b, bool visible)
    {
        const std::size_t i = size_++;
        left_[i] = b.Left;
        top_[i] = b.Top;
        width_[i] = b.Width;
        height_[i] = b.Height;
        visible_[i] = visible;
        enabled_[i] = b.Enabled;
        border_[i] = b.BorderStyle;
        back_[i] = b.BackColor;
        picture_[i] = b.Picture;
    }

    std::size_t size_ = 0;
    Column<float> left_ = std::make_unique_for_overwrite<float[]>(kRoom);
    Column<float> top_ = std::make_unique_for_overwrite<float[]>(kRoom);
    Column<float> width_ = std::make_unique_for_overwrite<float[]>(kRoom);
    Column<float> height_ = std::make_unique_for_overwrite<float[]>(kRoom);
    Column<bool> visible_ = std::make_unique_for_overwrite<bool[]>(kRoom);
    Column<bool> enabled_ = std::make_unique_for_overwrite<bool[]>(kRoom);
    Column<Border> border_ = std::make_unique_for_overwrite<Border[]>(kRoom);
    Column<Color> back_ = std::make_unique_for_overwrite<Color[]>(kRoom);
    Column<PictureRef> picture_ = std::make_unique<PictureRef[]>(kRoom);
};

}  // namespace ui
