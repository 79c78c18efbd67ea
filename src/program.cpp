#include "program.h"

namespace game {

Program::Program(Host& host) : host_(host), menu_(*this) {}

Form1& Program::form1()
{
    if (!form1_) form1_ = std::make_unique<Form1>(scheduler_, host_);
    return *form1_;
}

void Program::startUp()
{
    menu_.Form_Load();
    menu_.Visible = true;
}

}  // namespace game
