#pragma once

#include <stdexcept>

namespace ui {

// A failed property access or an arithmetic fault inside a handler. Nothing in
// the game catches it: the dispatcher ends the running handler at that point
// and the changes made so far stay in force.
class RuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace ui
