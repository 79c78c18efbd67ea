#pragma once

#include <string>

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

private:
    Program& program_;
};

}  // namespace game
