#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "ui/picture.h"

namespace ui {

// Colours are 0x00RRGGBB, or one of the system colours below, which the shell
// resolves against the desktop palette when it paints.
using Color = std::uint32_t;
constexpr Color kSystemColor = 0x80000000u;
constexpr Color kButtonFace = kSystemColor | 1u;
constexpr Color kWindowBackground = kSystemColor | 2u;
constexpr Color kWindowText = kSystemColor | 3u;
constexpr Color kControlText = kSystemColor | 4u;

constexpr Color rgb(int r, int g, int b)
{
    return (static_cast<Color>(r) << 16) | (static_cast<Color>(g) << 8) | static_cast<Color>(b);
}

enum class Border : std::uint8_t { None, Flat, Sunken };

// A picture box. Positions and sizes are single-precision twips relative to the
// window's client area.
struct PictureBox {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
    bool Visible = true;
    bool Enabled = true;
    Border BorderStyle = Border::Sunken;
    Color BackColor = kButtonFace;
    PictureRef Picture;
};

enum class Align : std::uint8_t { Left, Center };

struct Font {
    std::string family;  // the typeface the controls were laid out with; the shell picks a substitute
    double points = 8.25;
    bool bold = false;
    bool operator==(const Font&) const = default;
};

// A label is drawn on its window's own surface, beneath every picture box.
struct Label {
    std::string name;
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
    std::string Caption;
    Font font;
    Align Alignment = Align::Left;
    bool Enabled = true;
    bool Opaque = false;
    Color BackColor = kButtonFace;
    Color ForeColor = kControlText;
};

inline Label makeLabel(const char* name, float left, float top, float width, float height, const char* caption,
                       Font font, Align align = Align::Left, bool enabled = true)
{
    Label l;
    l.name = name;
    l.Left = left;
    l.Top = top;
    l.Width = width;
    l.Height = height;
    l.Caption = caption;
    l.font = std::move(font);
    l.Alignment = align;
    l.Enabled = enabled;
    return l;
}

struct CommandButton {
    std::string name;
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
    std::string Caption;
    Font font;
};

}  // namespace ui
