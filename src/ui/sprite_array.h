#pragma once

#include <cstdint>
#include <memory>

#include "ui/controls.h"
#include "ui/error.h"

namespace ui {

// A live view of one picture box, wherever it is stored: a lone box, or an
// element of a sprite array. Writing through it writes the box.
struct SpriteRef {
    float& Left;
    float& Top;
    float& Width;
    float& Height;
    bool& Visible;
    bool& Enabled;
    Border& BorderStyle;
    Color& BackColor;
    PictureRef& Picture;

    SpriteRef(PictureBox& b)  // NOLINT: a box is a sprite
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
    SpriteRef(float& l, float& t, float& w, float& h, bool& v, bool& e, Border& border, Color& back, PictureRef& pic)
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

// The rectangle of a sprite, as the overlap test reads it.
struct Extent {
    float Left, Top, Width, Height;
    Extent(const PictureBox& b) : Left(b.Left), Top(b.Top), Width(b.Width), Height(b.Height) {}  // NOLINT
    Extent(const SpriteRef& s) : Left(s.Left), Top(s.Top), Width(s.Width), Height(s.Height) {}   // NOLINT
    Extent(float l, float t, float w, float h) : Left(l), Top(t), Width(w), Height(h) {}
};

// The invaders' control arrays: up to 32768 elements each, every one of which
// the movement and collision ticks visit many times a second. The elements'
// fields are kept column by column, so that those loops run over contiguous
// numbers; room for the whole 16-bit range is taken at once, so an element
// never moves and a view of it stays valid.
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
        if (!exists(index)) throw RuntimeError("control array index out of range");
        const auto i = static_cast<std::size_t>(index);
        return SpriteRef(left_[i], top_[i], width_[i], height_[i], visible_[i], enabled_[i], border_[i], back_[i],
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

    // The columns, for the ticks that sweep every element.
    float* left() { return left_.get(); }
    float* top() { return top_.get(); }
    float* width() { return width_.get(); }
    float* height() { return height_.get(); }
    bool* visible() { return visible_.get(); }
    const float* left() const { return left_.get(); }
    const float* top() const { return top_.get(); }
    const float* width() const { return width_.get(); }
    const float* height() const { return height_.get(); }
    const bool* visible() const { return visible_.get(); }

private:
    // Room for every element is taken at once but left untouched (and so
    // costs no memory) until an element is made there.
    template <typename T>
    using Column = std::unique_ptr<T[]>;
    static constexpr std::size_t kRoom = kMaxIndex + 1;

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
