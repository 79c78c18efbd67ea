#pragma once

#include <cstdint>
#include <vector>

#include "ui/error.h"

namespace ui {

// A numbered family of controls under one name. Elements are addressed by a
// 16-bit index, start with the elements the window was laid out with and can
// grow by copies of element 0; they are never destroyed, so an index, once
// handed out, always names the same control. (The invaders, which grow by the
// thousand, live in a SpriteArray instead.)
template <typename T>
class ControlArray {
public:
    ControlArray() = default;
    explicit ControlArray(std::vector<T> design) : items_(std::move(design)) {}

    // Highest index in use (the array is never empty once designed).
    std::int16_t UBound() const { return static_cast<std::int16_t>(items_.size() - 1); }
    std::size_t size() const { return items_.size(); }

    bool exists(int index) const { return index >= 0 && static_cast<std::size_t>(index) < items_.size(); }

    T& operator()(int index)
    {
        if (!exists(index)) throw RuntimeError("control array index out of range");
        return items_[static_cast<std::size_t>(index)];
    }
    const T& operator()(int index) const
    {
        if (!exists(index)) throw RuntimeError("control array index out of range");
        return items_[static_cast<std::size_t>(index)];
    }

    // Creates element `index`, the next one above the top, as a copy of element
    // 0 as it stands now. Run-time elements start hidden.
    T& Load(int index)
    {
        if (index != static_cast<int>(items_.size()) || index > kMaxIndex)
            throw RuntimeError("control array element cannot be created");
        T copy = items_.front();
        copy.Visible = false;
        items_.push_back(std::move(copy));
        return items_.back();
    }

    static constexpr int kMaxIndex = 32767;

private:
    std::vector<T> items_;
};

}  // namespace ui
