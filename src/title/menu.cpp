#include "title/menu.h"

#include "program.h"

namespace game {

namespace {

ui::Label label(const char* name, float left, float top, float width, float height, const char* caption,
                ui::Align align, ui::Color fore, double points = 13.5)
{
    ui::Label l =
        ui::makeLabel(name, left, top, width, height, caption, ui::Font{"MS Sans Serif", points, false}, align);
    l.ForeColor = fore;
    return l;
}

// Left that centres a control of width w on half of the outer width W: each
// half on its own in double precision, the difference stored as a single.
float centred(float W, float w)
{
    return static_cast<float>(static_cast<double>(W) / 2 - static_cast<double>(w) / 2);
}

}  // namespace

const std::vector<Menu::LabelRow>& Menu::labelRows()
{
    static const std::vector<LabelRow> rows{
        {&Menu::lblWelcome,
         label("lblWelcome", 8280, 1080, 8535, 2415, "Welcome To Zorvane!", ui::Align::Center, ui::kWindowText, 48)},
        {&Menu::lblInstructions, label("lblInstructions", 9360, 4080, 4935, 975,
                                       "You are a black mage. You must defend your castle from the invaders!",
                                       ui::Align::Center, ui::kControlText)},
        {&Menu::lblControls, label("lblControls", 9360, 5880, 5415, 1575,
                                   "Use WASD to move, 1,2,3 to select your magic type, and right click to fire your "
                                   "special magic that has special properties!",
                                   ui::Align::Left, ui::kControlText)},
    };
    return rows;
}

std::vector<const ui::Label*> Menu::labels() const
{
    std::vector<const ui::Label*> out;
    for (const LabelRow& row : labelRows()) out.push_back(&(this->*row.member));
    return out;
}

Menu::Menu(Program& program) : program_(program)
{
    for (const LabelRow& row : labelRows()) this->*row.member = row.design;
    cmdStart.name = "cmdStart";
    cmdStart.Left = 10680;
    cmdStart.Top = 8040;
    cmdStart.Width = 2775;
    cmdStart.Height = 1575;
    cmdStart.Caption = "Start";
    cmdStart.font = ui::Font{"MS Sans Serif", 13.5, true};
}

void Menu::Form_Load()
{
    for (const LabelRow& row : labelRows()) {
        ui::Label& l = this->*row.member;
        l.Left = centred(Width, l.Width);
    }
    cmdStart.Left = centred(Width, cmdStart.Width);
}

void Menu::cmdStart_Click()
{
    program_.form1().Show();
    Visible = false;
}

}  // namespace game
