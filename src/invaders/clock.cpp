#include <cstdio>

#include "battlefield/form1.h"

namespace game {

namespace {

// The "00" pattern: at least two digits, never cut.
std::string twoDigits(int n)
{
    char buf[16];
    if (n < 0)
        std::snprintf(buf, sizeof buf, "-%02d", -n);
    else
        std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

}  // namespace

void Form1::tmrTimer_Timer()
{
    clockSeconds = static_cast<std::int16_t>(clockSeconds + 1);
    if (clockSeconds == 60) {
        // The minutes are a 16-bit count; at its end the clock stops at the
        // last second it can show rather than failing.
        if (clockMinutes == 32767) {
            clockSeconds = 59;
        } else {
            clockSeconds = 0;
            clockMinutes = static_cast<std::int16_t>(clockMinutes + 1);
        }
    }
    lblTimer.Caption = twoDigits(clockMinutes) + ":" + twoDigits(clockSeconds);

    for (const InvaderRow& row : invaderRows()) {
        if (row.wave == nullptr || clockMinutes != row.waveMinutes || clockSeconds != row.waveSeconds) continue;
        (this->*row.mover).setEnabled(true);
        invaders(row.kind)(0).Visible = true;
        lblWaveNum.Caption = row.wave;
    }
}

}  // namespace game
