#include "battlefield/form1.h"

namespace game {

void Form1::WinGame()
{
    EndGame("You won the game, good job!");
}

void Form1::LoseGame()
{
    EndGame("Game Over, You Lose!");
}

void Form1::EndGame(const char* message)
{
    tmrCharaMovement.setEnabled(false);
    tmrCollisionDetect.setEnabled(false);
    host_.MsgBox(message);
    // A score that never changed has no text.
    host_.MsgBox("Your score is " + (score ? std::to_string(*score) : std::string()));
}

}  // namespace game
