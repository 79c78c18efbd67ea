#include "battlefield/form1.h"

namespace game {

void Form1::tmrMoveTop_Timer()
{
    const int top = picCKTop.UBound();
    ui::PictureBox* stream = picCKTop.data();
    for (int i = 0; i <= top; ++i)
        if (stream[i].Visible) stream[i].Left = stream[i].Left - 70;
}

void Form1::tmrMoveBot_Timer()
{
    const int top = picCKBot.UBound();
    ui::PictureBox* stream = picCKBot.data();
    for (int i = 0; i <= top; ++i)
        if (stream[i].Visible) stream[i].Top = stream[i].Top - 70;
}

}  // namespace game
