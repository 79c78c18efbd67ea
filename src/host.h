#pragma once

#include <string>

namespace game {

// What the game asks of the world outside its windows. The desktop shell shows
// real dialogs; tests and the simulator record the messages.
class Host {
public:
    virtual ~Host() = default;
    // A modal message box with one OK button and no icon, under the
    // application's own title; returns once the player has closed it.
    virtual void MsgBox(const std::string& text) = 0;
};

}  // namespace game
