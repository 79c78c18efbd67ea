#include "title/menu.h"

#include "program.h"

namespace game {

namespace {

const ui::Font kSans{.family = "MS Sans Serif", .points = 13.5, .bold = false};

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
        {.member = &Menu::lblWelcome,
         .design = {.name = "lblWelcome",
                    .Left = 8280,
                    .Top = 1080,
                    .Width = 8535,
                    .Height = 2415,
                    .Caption = "Welcome To Zorvane!",
                    .font = {.family = kSans.family, .points = 48, .bold = false},
                    .Alignment = ui::Align::Center,
                    .ForeColor = ui::kWindowText}},
        {.member = &Menu::lblInstructions,
         .design = {.name = "lblInstructions",
                    .Left = 9360,
                    .Top = 4080,
                    .Width = 4935,
                    .Height = 975,
                    .Caption = "You are a black mage. You must defend your castle from the invaders!",
                    .font = kSans,
                    .Alignment = ui::Align::Center,
                    .ForeColor = ui::kControlText}},
        {.member = &Menu::lblControls,
         .design = {.name = "lblControls",
                    .Left = 9360,
                    .Top = 5880,
                    .Width = 5415,
                    .Height = 1575,
                    .Caption = "Use WASD to move, 1,2,3 to select your magic type, and right click to fire your "
                               "special magic that has special properties!",
                    .font = kSans,
                    .Alignment = ui::Align::Left,
                    .ForeColor = ui::kControlText}},
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
