#pragma once

#include <cstdint>

namespace game {

// A virtual-key code as the world hands it over: a keyboard's codes are 0 to
// 255, but a script or a fuzzer may send any number, and the game ignores
// what no keyboard sends.
using KeyCode = std::int64_t;

// Something the world does to the running program: Start pressed, a key
// down or up, a button down or up at a client point, a window's new outer
// size, or nothing but time passing. Every front end (the desktop shell, the
// page, the scenario runner, the soak driver, the fuzzers) hands these to
// Program::apply and touches the game no other way.
struct Input {
    enum class Kind : std::uint8_t { Time, Start, KeyDown, KeyUp, MouseDown, MouseUp, TitleSize, FieldSize };

    Kind kind = Kind::Time;
    KeyCode key = 0;              // KeyDown, KeyUp
    std::int16_t button = 0;      // MouseDown, MouseUp: 1 left, 2 right, 4 middle
    float x = 0, y = 0;           // MouseDown, MouseUp: the client point (twips)
    float width = 0, height = 0;  // TitleSize, FieldSize: the window's new outer size (twips)

    static Input time() { return {}; }
    static Input start() { return {.kind = Kind::Start}; }
    static Input keyDown(KeyCode code) { return {.kind = Kind::KeyDown, .key = code}; }
    static Input keyUp(KeyCode code) { return {.kind = Kind::KeyUp, .key = code}; }
    static Input mouseDown(std::int16_t b, float px, float py)
    {
        return {.kind = Kind::MouseDown, .button = b, .x = px, .y = py};
    }
    static Input mouseUp(std::int16_t b, float px, float py)
    {
        return {.kind = Kind::MouseUp, .button = b, .x = px, .y = py};
    }
    static Input titleSize(float w, float h) { return {.kind = Kind::TitleSize, .width = w, .height = h}; }
    static Input fieldSize(float w, float h) { return {.kind = Kind::FieldSize, .width = w, .height = h}; }
};

}  // namespace game
