#include "battlefield/form1.h"

namespace game {

namespace {

std::string scoreMessage(const std::optional<std::int64_t>& score)
{
    // A score that never changed has no text.
    return "Your score is " + (score ? std::to_string(*score) : std::string());
}

}  // namespace

void Form1::WinGame()
{
    tmrCharaMovement.setEnabled(false);
    tmrCollisionDetect.setEnabled(false);
    host_.MsgBox("You won the game, good job!");
    host_.MsgBox(scoreMessage(score));
}

void Form1::LoseGame()
{
    tmrCharaMovement.setEnabled(false);
    tmrCollisionDetect.setEnabled(false);
    host_.MsgBox("Game Over, You Lose!");
    host_.MsgBox(scoreMessage(score));
}

}  // namespace game
