#include "ui/sprite_array.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "ui/untraced.h"

namespace ui {

namespace {

// Left uninitialised on purpose: every field is written before it is read,
// and a block is large.
template <typename T>
std::unique_ptr<T> uninitialised()
{
#if defined(__cpp_lib_smart_ptr_for_overwrite)
    return std::make_unique_for_overwrite<T>();
#else
    return std::unique_ptr<T>(new T);
#endif
}

}  // namespace

// What the ticks read and write every time, apart from how an element looks,
// so that each part stays small enough for the allocator to recycle rather
// than map afresh for every new window. The padding keeps the columns that
// one sweep reads and writes together from lying a multiple of 4 KiB apart,
// which would make the processor take a store to one column for a conflict
// with a load from the other.
struct SpriteArray::Block {
    struct Looks {
        Border border[kBlock];
        Color back[kBlock];
        PictureRef picture[kBlock];
    };
    float left[kBlock];
    char pad1[192];
    float top[kBlock];
    char pad2[320];
    float width[kBlock];
    float height[kBlock];
    bool visible[kBlock];
    bool enabled[kBlock];
    std::unique_ptr<Looks> looks = uninitialised<Looks>();
};

namespace {

// Repeated steps are taken a group of elements at a time, the group held in
// registers from the first step to the last: each step is then one
// subtraction an element, of a product worked out once. The product is the
// same at every step, so the results are those of stepping the whole array
// again and again, bit for bit (nothing is fused).
#if defined(__x86_64__) && defined(__GNUC__)
#define ZORVANE_AVX2_SWEEP 1
constexpr std::size_t kGroup = 64;  // eight registers of eight, enough to keep the subtractions busy

[[gnu::target("avx2")]] ZORVANE_UNTRACED void sweepAvx2(float* column, const unsigned char* shown, std::size_t n,
                                                        float step, int times)
{
    const __m256 steps = _mm256_set1_ps(step);
    std::size_t i = 0;
    for (; i + kGroup <= n; i += kGroup) {
        __m256 x[8], d[8];
#pragma GCC unroll 8
        for (int v = 0; v < 8; ++v) {
            x[v] = _mm256_loadu_ps(column + i + 8 * v);
            const __m128i flags = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(shown + i + 8 * v));
            d[v] = _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(flags)), steps);
        }
        for (int t = 0; t < times; ++t) {
#pragma GCC unroll 8
            for (int v = 0; v < 8; ++v) x[v] = _mm256_sub_ps(x[v], d[v]);
        }
#pragma GCC unroll 8
        for (int v = 0; v < 8; ++v) _mm256_storeu_ps(column + i + 8 * v, x[v]);
    }
    for (; i < n; ++i) {
        const float d = static_cast<float>(shown[i]) * step;
        for (int t = 0; t < times; ++t) column[i] = column[i] - d;
    }
}
#endif

ZORVANE_UNTRACED void sweep(float* column, const unsigned char* shown, std::size_t n, float step, int times)
{
#ifdef ZORVANE_AVX2_SWEEP
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        sweepAvx2(column, shown, n, step, times);
        return;
    }
#endif
    // The flags read as bytes (0 or 1) times the step, so the loop
    // vectorises; taking away zero leaves every value as it was (-0 and NaN
    // included).
    for (int t = 0; t < times; ++t)
        for (std::size_t i = 0; i < n; ++i) column[i] = column[i] - static_cast<float>(shown[i]) * step;
}

}  // namespace

SpriteArray::SpriteArray(const PictureBox& design, StepBatching* batching) : batching_(batching)
{
    push(design, design.Visible);
}

ZORVANE_UNTRACED SpriteArray::~SpriteArray()
{
    if (!batched_) return;
    for (StepBatch* b = batching_->open_; b; b = b->outer_)
        for (SpriteArray** a = &b->first_; *a; a = &(*a)->nextBatched_)
            if (*a == this) {
                *a = nextBatched_;
                return;
            }
}

#ifndef NDEBUG
ViewGuard::ViewGuard(const SpriteArray* array)
    : array_(array && array->batching_ && array->batching_->open() ? array : nullptr)
{
    if (array_) ++array_->viewsInBatch_;
}

ViewGuard::ViewGuard(const ViewGuard& other) : array_(other.array_)
{
    if (array_) ++array_->viewsInBatch_;
}

ViewGuard::~ViewGuard()
{
    if (array_) --array_->viewsInBatch_;
}
#endif

ZORVANE_UNTRACED StepBatch::~StepBatch()
{
    while (SpriteArray* a = first_) {
        first_ = a->nextBatched_;
        a->settle();
        a->batched_ = false;
        a->nextBatched_ = nullptr;
    }
    batching_.open_ = outer_;
}

template <typename F>
void SpriteArray::forEachBlock(std::size_t first, F&& f) const
{
    for (std::size_t b = first / kBlock; b * kBlock < size_; ++b) {
        const std::size_t start = b * kBlock;
        const std::size_t from = std::max(first, start) - start;
        const std::size_t count = std::min(kBlock, size_ - start);
        if (f(*blocks_[b], start, from, count)) return;
    }
}

ZORVANE_UNTRACED std::size_t SpriteArray::checked(int index) const
{
    settle();
    if (!exists(index)) throw RuntimeError("control array index out of range");
    return static_cast<std::size_t>(index);
}

ZORVANE_UNTRACED SpriteRef SpriteArray::operator()(int index)
{
    const std::size_t i = checked(index);
    Block& b = *blocks_[i / kBlock];
    const std::size_t j = i % kBlock;
    return SpriteRef(b.left[j], b.top[j], b.width[j], b.height[j], b.visible[j], b.enabled[j], b.looks->border[j],
                     b.looks->back[j], b.looks->picture[j], ViewGuard(this));
}

ZORVANE_UNTRACED SpriteView SpriteArray::operator()(int index) const
{
    const std::size_t i = checked(index);
    const Block& b = *blocks_[i / kBlock];
    const std::size_t j = i % kBlock;
    return SpriteView(b.left[j], b.top[j], b.width[j], b.height[j], b.visible[j], b.enabled[j], b.looks->border[j],
                      b.looks->back[j], b.looks->picture[j], ViewGuard(this));
}

SpriteRef SpriteArray::Load(int index)
{
    if (index != static_cast<int>(size_) || index > kMaxIndex)
        throw RuntimeError("control array element cannot be created");
    const SpriteView zero = std::as_const(*this)(0);
    PictureBox copy;
    copy.Left = zero.Left;
    copy.Top = zero.Top;
    copy.Width = zero.Width;
    copy.Height = zero.Height;
    copy.Enabled = zero.Enabled;
    copy.BorderStyle = zero.BorderStyle;
    copy.BackColor = zero.BackColor;
    copy.Picture = zero.Picture;
    push(copy, false);
    return (*this)(index);
}

void SpriteArray::push(const PictureBox& box, bool visible)
{
    settle();  // a new element has taken no step
    const std::size_t i = size_;
    std::unique_ptr<Block>& block = blocks_[i / kBlock];
    if (!block) block = uninitialised<Block>();
    Block& b = *block;
    const std::size_t j = i % kBlock;
    b.left[j] = box.Left;
    b.top[j] = box.Top;
    b.width[j] = box.Width;
    b.height[j] = box.Height;
    b.visible[j] = visible;
    b.enabled[j] = box.Enabled;
    b.looks->border[j] = box.BorderStyle;
    b.looks->back[j] = box.BackColor;
    b.looks->picture[j] = box.Picture;
    ++size_;
}

ZORVANE_UNTRACED void SpriteArray::stepShown(float leftStep, float topStep)
{
    // A long run of steps is taken now and then, so the count stays small.
    constexpr int kMostCounted = 1 << 16;
    StepBatch* const open = batching_ ? batching_->open_ : nullptr;
#ifndef NDEBUG
    if (open && viewsInBatch_ != 0)
        throw std::logic_error("a view of this array taken in this run would miss the step");
#endif
    if (steps_ != 0 && (leftStep != leftStep_ || topStep != topStep_ || steps_ == kMostCounted)) takeSteps();
    leftStep_ = leftStep;
    topStep_ = topStep;
    ++steps_;
    if (!open) {
        takeSteps();
    } else if (!batched_) {
        batched_ = true;
        nextBatched_ = open->first_;
        open->first_ = this;
    }
}

ZORVANE_UNTRACED void SpriteArray::takeSteps() const
{
    const int times = steps_;
    steps_ = 0;
    for (std::size_t b = 0; b * kBlock < size_; ++b) {
        Block& block = *blocks_[b];
        const std::size_t n = std::min(kBlock, size_ - b * kBlock);
        const auto* shown = reinterpret_cast<const unsigned char*>(block.visible);
        if (topStep_ != 0) sweep(block.top, shown, n, topStep_, times);
        if (leftStep_ != 0) sweep(block.left, shown, n, leftStep_, times);
    }
}

ZORVANE_UNTRACED std::size_t SpriteArray::nextThatMayMeet(std::size_t from, std::span<const CornerSpan> probes,
                                                          const Extent& target) const
{
    settle();
    const float tx0 = target.Left, tx1 = target.Left + target.Width;
    const float ty0 = target.Top, ty1 = target.Top + target.Height;
    std::size_t found = size_;
    forEachBlock(from, [&](const Block& b, std::size_t start, std::size_t first, std::size_t count) {
        for (std::size_t j = first; j < count; ++j) {
            const float x0 = b.left[j];
            const float y0 = b.top[j];
            const float x1 = x0 + b.width[j];
            const float y1 = y0 + b.height[j];
            bool may = CornerSpan{std::min(x0, x1), std::max(x0, x1), std::min(y0, y1), std::max(y0, y1)}.mayLieIn(
                tx0, tx1, ty0, ty1);
            for (const CornerSpan& probe : probes) may = may || probe.mayLieIn(x0, x1, y0, y1);
            if (may) {
                found = start + j;
                return true;
            }
        }
        return false;
    });
    return found;
}

bool SpriteArray::anyEnabled() const
{
    static_assert(sizeof(bool) == 1);
    bool any = false;
    forEachBlock(0, [&](const Block& b, std::size_t, std::size_t, std::size_t count) {
        any = std::memchr(b.enabled, 1, count) != nullptr;
        return any;
    });
    return any;
}

ZORVANE_UNTRACED bool SpriteArray::anyShownHolds(float x, float y) const
{
    settle();
    bool any = false;
    forEachBlock(0, [&](const Block& b, std::size_t, std::size_t, std::size_t count) {
        for (std::size_t j = 0; j < count; ++j)
            any = any | (b.visible[j] & (b.left[j] <= x) & (x < b.left[j] + b.width[j]) & (b.top[j] <= y) &
                         (y < b.top[j] + b.height[j]));
        return any;
    });
    return any;
}

ZORVANE_UNTRACED bool SpriteArray::allFinite() const
{
    settle();
    bool finite = true;
    forEachBlock(0, [&](const Block& b, std::size_t, std::size_t, std::size_t count) {
        // A sum of the four is finite exactly when each of them is; the sum of
        // their magnitudes cannot overflow to infinity from finite values
        // because it is taken in double.
        for (std::size_t j = 0; j < count; ++j)
            finite = finite & std::isfinite(static_cast<double>(b.left[j]) + b.top[j] + b.width[j] + b.height[j]);
        return !finite;
    });
    return finite;
}

}  // namespace ui
