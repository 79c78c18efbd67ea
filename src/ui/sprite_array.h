#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <type_traits>

#include "ui/controls.h"
#include "ui/error.h"

namespace ui {

class SpriteArray;
class StepBatch;

// Where the sprite arrays of one program learn whether a batch of steps is
// open: the program owns one and hands it to the arrays of its windows, so
// two programs (or two tests) never share a batch.
class StepBatching {
public:
    StepBatching() = default;
    StepBatching(const StepBatching&) = delete;
    StepBatching& operator=(const StepBatching&) = delete;
    bool open() const { return open_ != nullptr; }

private:
    friend class StepBatch;
    friend class SpriteArray;
    StepBatch* open_ = nullptr;
};

// Debug builds count the views of an array's elements that are taken while a
// step batch is open (see StepBatch) and still alive: such a view would miss
// a step counted meanwhile, so the array refuses to count one then. Release
// builds keep nothing.
#ifdef NDEBUG
class ViewGuard {
public:
    explicit ViewGuard(const SpriteArray* = nullptr) {}
};
#else
class ViewGuard {
public:
    explicit ViewGuard(const SpriteArray* array = nullptr);
    ViewGuard(const ViewGuard& other);
    ViewGuard& operator=(const ViewGuard&) = delete;
    ~ViewGuard();

private:
    const SpriteArray* array_;
};
#endif

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
    [[no_unique_address]] ViewGuard guard;

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
    template <bool W, std::enable_if_t<ReadOnly && !W, int> = 0>
    BasicSpriteRef(const BasicSpriteRef<W>& s)  // NOLINT: a writable view reads as well
        : Left(s.Left),
          Top(s.Top),
          Width(s.Width),
          Height(s.Height),
          Visible(s.Visible),
          Enabled(s.Enabled),
          BorderStyle(s.BorderStyle),
          BackColor(s.BackColor),
          Picture(s.Picture),
          guard(s.guard)
    {
    }
    BasicSpriteRef(Field<float> l, Field<float> t, Field<float> w, Field<float> h, Field<bool> v, Field<bool> e,
                   Field<Border> border, Field<Color> back, Field<PictureRef> pic, const ViewGuard& g)
        : Left(l),
          Top(t),
          Width(w),
          Height(h),
          Visible(v),
          Enabled(e),
          BorderStyle(border),
          BackColor(back),
          Picture(pic),
          guard(g)
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
// fields are kept column by column in blocks of kBlock elements, so that
// those loops run over contiguous numbers; a block is made when its first
// element is, and never moves, so a view of an element stays valid and a new
// window costs a block per array, not room for the whole 16-bit range. The
// columns stay in here: the rules ask their questions through the queries
// below.
class StepBatch;

class SpriteArray {
public:
    static constexpr int kMaxIndex = 32767;

    // An array given no batching takes every step at once.
    explicit SpriteArray(const PictureBox& design, StepBatching* batching = nullptr);
    ~SpriteArray();
    SpriteArray(const SpriteArray&) = delete;
    SpriteArray& operator=(const SpriteArray&) = delete;

    std::int16_t UBound() const { return static_cast<std::int16_t>(size_ - 1); }
    std::size_t size() const { return size_; }
    bool exists(int index) const { return index >= 0 && static_cast<std::size_t>(index) < size_; }

    SpriteRef operator()(int index);
    SpriteView operator()(int index) const;

    // Creates element `index`, the next above the top, as a copy of element 0
    // as it stands now; it starts hidden.
    SpriteRef Load(int index);

    // Moves every shown element by (-leftStep, -topStep); hidden ones keep
    // their place. Taking away zero leaves every value as it was, so the loop
    // runs without a branch. While a StepBatch is open the steps are counted
    // and taken later (see there).
    void stepShown(float leftStep, float topStep);

    // The first element from `from` on that may touch something: a corner of
    // one of `probes` may lie in it, or one of its corners in `target`.
    // Elements passed over touch nothing. size() when none is left.
    std::size_t nextThatMayMeet(std::size_t from, std::span<const CornerSpan> probes, const Extent& target) const;

    // Is any element enabled? (They are made disabled; only a script enables one.)
    bool anyEnabled() const;
    // Does any shown element hold the point (left and top edges inside, right
    // and bottom outside, as a press is routed)?
    bool anyShownHolds(float x, float y) const;

    // Is every element's place and size a finite number?
    bool allFinite() const;

private:
    static constexpr std::size_t kBlock = 4096;
    struct Block;

    // The elements [first, first + count) of block b, for the loops above.
    template <typename F>
    void forEachBlock(std::size_t first, F&& f) const;
    std::size_t checked(int index) const;
    void push(const PictureBox& b, bool visible);
    // Takes the steps counted so far.
    void settle() const
    {
        if (steps_ != 0) [[unlikely]]
            takeSteps();
    }
    void takeSteps() const;

    StepBatching* batching_;
    std::size_t size_ = 0;
    std::array<std::unique_ptr<Block>, (kMaxIndex + 1) / kBlock> blocks_;
    // Steps counted and not yet taken, all of the same size, and whether the
    // open batch knows of this array.
    mutable int steps_ = 0;
    mutable float leftStep_ = 0, topStep_ = 0;
    bool batched_ = false;
    SpriteArray* nextBatched_ = nullptr;  // the open batch's list
#ifndef NDEBUG
    mutable int viewsInBatch_ = 0;  // see ViewGuard
#endif

    friend class StepBatch;
    friend class ViewGuard;
};

// While a batch is open (the running program opens one for each run of the
// timers), the arrays count their steps instead of taking them, and take them
// all when they are next looked at (any query, or a view of an element) or
// when the batch closes. Many steps of a block in one visit cost one trip
// through memory instead of one each, and every element still goes through
// the very same subtractions in the same order. A view taken inside the batch
// before a step does not see that step: the handlers that run in it take
// their views afresh, and everyone else looks only after it has closed.
class StepBatch {
public:
    explicit StepBatch(StepBatching& batching) : batching_(batching), outer_(batching.open_) { batching.open_ = this; }
    ~StepBatch();
    StepBatch(const StepBatch&) = delete;
    StepBatch& operator=(const StepBatch&) = delete;

private:
    friend class SpriteArray;
    StepBatching& batching_;
    StepBatch* outer_;
    SpriteArray* first_ = nullptr;  // the arrays with steps counted here
};

}  // namespace ui
