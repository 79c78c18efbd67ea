#pragma once

#include <string>
#include <vector>

#include "ui/controls.h"

namespace game {

class Program;

// The title window: a welcome text, the goal, the controls and Start.
class Menu {
public:
    explicit Menu(Program& program);

    std::string Caption = "Zorvane";
    ui::Color BackColor = ui::rgb(0, 255, 255);
    // Outer size in twips, frame included; the simulator's window has no frame.
    float Width = 23580;
    float Height = 13050;
    bool Visible = false;

    ui::Label lblWelcome;
    ui::Label lblInstructions;
    ui::Label lblControls;
    ui::CommandButton cmdStart;

    void Form_Load();
    void cmdStart_Click();

    // A field of the window, as a pointer to member.
    template <typename T>
    using Member = T Menu::*;
    // The labels, as the window was laid out, one row each.
    struct LabelRow {
        Member<ui::Label> member;
        ui::Label design;
    };
    static const std::vector<LabelRow>& labelRows();
    // The labels in layout order.
    std::vector<const ui::Label*> labels() const;

private:
    Program& program_;
};

}  // namespace game
