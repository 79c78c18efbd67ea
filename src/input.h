#pragma once

#include <cstdint>

namespace game {

// Something the world does to the running program: Start pressed, a key
// down or up, a button down or up at a client point, a window's new outer
// size, or nothing but time passing. Every front end (the desktop shell, the
// scenario runner, the soak driver, the fuzzers) hands these to
// Program::apply and touches the game no other way.
struct Input {
    enum class Kind : std::uint8_t { Time, Start, KeyDown, KeyUp, MouseDown, MouseUp, TitleSize, FieldSize };

    Kind kind = Kind::Time;
    long long key = 0;        // KeyDown, KeyUp: the virtual-key code, any number
    std::int16_t button = 0;  // MouseDown, MouseUp: 1 left, 2 right, 4 middle
    float x = 0, y = 0;       // the client point of a press (twips), or the new outer width and height

    static Input time() { return {}; }
    static Input start() { return {Kind::Start}; }
    static Input keyDown(long long code) { return {Kind::KeyDown, code}; }
    static Input keyUp(long long code) { return {Kind::KeyUp, code}; }
    static Input mouseDown(std::int16_t b, float px, float py) { return {Kind::MouseDown, 0, b, px, py}; }
    static Input mouseUp(std::int16_t b, float px, float py) { return {Kind::MouseUp, 0, b, px, py}; }
    static Input titleSize(float width, float height) { return {Kind::TitleSize, 0, 0, width, height}; }
    static Input fieldSize(float width, float height) { return {Kind::FieldSize, 0, 0, width, height}; }
};

}  // namespace game
