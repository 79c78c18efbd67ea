#include "battlefield/form1.h"
#include "battlefield/pictures.h"

// The battlefield as it was laid out: every control once, with its design
// properties, its place in the stacking order and in the tab order. The
// window's constructor, mouse routing, the lookups by name, the scenario
// runner's `set` and its state dump all read these tables.

namespace game {

namespace {

using ui::Border;
using ui::PictureBox;
using ui::rgb;

constexpr ui::Color kGreen = rgb(0, 128, 0);
constexpr ui::Color kFace = ui::kButtonFace;

PictureBox box(float left, float top, float width, float height, bool visible, bool enabled, ui::Color back,
               Border border)
{
    PictureBox b;
    b.Left = left;
    b.Top = top;
    b.Width = width;
    b.Height = height;
    b.Visible = visible;
    b.Enabled = enabled;
    b.BackColor = back;
    b.BorderStyle = border;
    return b;
}

// A picture source: hidden, enabled, sunken, on the button face.
PictureBox source(float left, float top, float width, float height)
{
    return box(left, top, width, height, false, true, kFace, Border::Sunken);
}

PictureBox invader(float left, float top, bool visible, ui::Color back)
{
    return box(left, top, 735, 855, visible, false, back, Border::None);
}

ui::Label text(const char* name, float left, float top, float width, float height, const char* caption,
               const char* family, double points, bool bold, ui::Align align = ui::Align::Left, bool enabled = true)
{
    return ui::makeLabel(name, left, top, width, height, caption, ui::Font{family, points, bold}, align, enabled);
}

// A label painted on a background of its own.
ui::Label opaque(ui::Label l, ui::Color back)
{
    l.Opaque = true;
    l.BackColor = back;
    return l;
}

constexpr const char* kSans = "MS Sans Serif";
constexpr const char* kNarkisim = "Narkisim";

// A variable the state dump shows and scripts may not set.
template <typename T>
Form1::VariableRow readOnly(const char* name, Form1::Member<T> member)
{
    return {name, member, std::nullopt, 0, 0};
}

// A variable scripts may set, from lo to hi: only of a type setVariable handles.
template <typename T>
Form1::VariableRow settable(const char* name, Form1::Member<T> member, std::int64_t lo, std::int64_t hi)
{
    return {name, member, Form1::SettableMember{member}, lo, hi};
}

}  // namespace

const std::vector<Form1::SpriteRow>& Form1::spriteRows()
{
    using namespace pictures;
    static const std::vector<SpriteRow> rows{
        {"picCastle", -1, &Form1::picCastle, 0, box(-1200, 480, 7815, 3735, true, false, kFace, Border::Sunken),
         kCastle},
        {"picHero", -1, &Form1::picHero, 1, box(6600, 4200, 675, 735, true, true, kGreen, Border::None), kMageLeft},
        {"picProjectile", 1, &Form1::picProjectile, 2,
         box(15720, 720, 375, 375, false, false, rgb(0, 255, 255), Border::Flat), nullptr},
        {"picProjectile", 0, &Form1::picProjectile, 3,
         box(15240, 600, 495, 495, false, false, rgb(255, 0, 0), Border::Flat), nullptr},
        {"picProjectile", 2, &Form1::picProjectile, 4,
         box(16080, 840, 255, 255, false, false, rgb(255, 255, 0), Border::Flat), nullptr},
        {"picLife", 0, &Form1::picLife, 7, box(25920, 360, 400, 400, true, false, ui::kWindowBackground, Border::Flat),
         kLifeHat},
        {"picLife", 1, &Form1::picLife, 8, box(26520, 360, 400, 400, true, false, ui::kWindowBackground, Border::Flat),
         kLifeHat},
        {"picLife", 2, &Form1::picLife, 9, box(27120, 360, 400, 400, true, false, ui::kWindowBackground, Border::Flat),
         kLifeHat},
        {"picFire", -1, &Form1::picFire, 14, source(21960, 1080, 495, 495), kIconFire},
        {"picIce", -1, &Form1::picIce, 15, source(22440, 1080, 495, 495), kIconIce},
        {"picLightning", -1, &Form1::picLightning, 16, source(22920, 1080, 495, 495), kIconLightning},
        {"picProjectileType", -1, &Form1::picProjectileType, 17,
         box(21960, 600, 495, 495, true, false, kFace, Border::Sunken), kIconFire},
        {"picBlackMageRight", -1, &Form1::picBlackMageRight, 18, source(13680, 960, 435, 495), kMageRight},
        {"picBlackMageLeft", -1, &Form1::picBlackMageLeft, 19, source(13200, 960, 495, 495), kMageLeft},
        {"picBlackMageFireLeft", -1, &Form1::picBlackMageFireLeft, 20, source(13200, 1440, 495, 495), kMageFireLeft},
        {"picBlackMageFireRight", -1, &Form1::picBlackMageFireRight, 21, source(13680, 1440, 495, 495), kMageFireRight},
        {"picBlackMageLightning", -1, &Form1::picBlackMageLightning, 22, source(13440, 1920, 375, 375), kMageLightning},
        {"picProjectile", 3, &Form1::picProjectile, 23,
         box(16320, 840, 255, 255, false, false, rgb(64, 0, 64), Border::Flat), nullptr},
        {"picCastleKiller", 0, &Form1::picCastleKiller, 26, invader(27600, 14640, true, kFace), kInvader},
        {"picCKTop", 0, &Form1::picCKTop, 27, invader(27480, 1320, false, kGreen), kInvader},
        {"picCKBot", 0, &Form1::picCKBot, 28, invader(600, 14160, false, kGreen), kInvader},
    };
    return rows;
}

const std::vector<Form1::LabelRow>& Form1::labelRows()
{
    static const std::vector<LabelRow> rows{
        // The castle's life is an opaque magenta bar.
        {&Form1::lblCastleLifeBar, 5,
         opaque(text("lblCastleLifeBar", 0, 0, 6615, 495, "3500", kSans, 13.5, false, ui::Align::Center),
                rgb(192, 0, 192))},
        {&Form1::lblTime, 24, text("lblTime", 8640, 360, 855, 375, "Time:", kSans, 12, true)},
        {&Form1::lblTimer, 25, text("lblTimer", 9480, 360, 855, 375, "00:00", kSans, 12, true)},
        {&Form1::lblScore, 30, text("lblScore", 8640, 960, 975, 375, "Score:", kSans, 12, true)},
        {&Form1::lblScoreNum, 31, text("lblScoreNum", 9600, 960, 1215, 375, "0", kSans, 12, true)},
        {&Form1::lblStageNum, 10,
         text("lblStageNum", 11280, 240, 5415, 495, "Stage Number 1", kNarkisim, 24, true, ui::Align::Center)},
        {&Form1::lblWave, 12, text("lblWave", 16320, 240, 735, 375, "Wave:", kSans, 12, true, ui::Align::Left, false)},
        {&Form1::lblWaveNum, 11,
         text("lblWaveNum", 17160, 240, 495, 375, "1", kSans, 12, true, ui::Align::Left, false)},
        {&Form1::lblOfNum, 29, text("lblOfNum", 17400, 240, 615, 375, "of 3", kSans, 12, true)},
        {&Form1::lblKills, 32, text("lblKills", 16320, 720, 615, 375, "Kills:", kSans, 12, true)},
        {&Form1::lblKillNum, 33, text("lblKillNum", 17040, 720, 855, 375, "0", kSans, 12, true)},
        {&Form1::lblProjectileType, 13,
         text("lblProjectileType", 21360, 240, 1695, 255, "Projectile Type:", kNarkisim, 12, true)},
        {&Form1::lblLives, 6, text("lblLives", 24840, 360, 855, 375, "Lives:", kSans, 13.5, false)},
    };
    return rows;
}

const std::vector<Form1::TimerRow>& Form1::timerRows()
{
    static const std::vector<TimerRow> rows{
        {"tmrCollisionDetect", 25, true, &Form1::tmrCollisionDetect, &Form1::tmrCollisionDetect_Timer, nullptr,
         nullptr},
        {"tmrCharaMovement", 50, true, &Form1::tmrCharaMovement, &Form1::tmrCharaMovement_Timer, nullptr, nullptr},
        {"tmrMonsterMovement", 50, true, &Form1::tmrMonsterMovement, &Form1::tmrMonsterMovement_Timer, nullptr,
         nullptr},
        {"tmrSpawnTimer", 2500, true, &Form1::tmrSpawnTimer, &Form1::tmrSpawnTimer_Timer, nullptr, nullptr},
        {"tmrTimer", 1000, true, &Form1::tmrTimer, &Form1::tmrTimer_Timer, nullptr, nullptr},
        {"tmrMoveTop", 50, false, &Form1::tmrMoveTop, &Form1::tmrMoveTop_Timer, nullptr, nullptr},
        {"tmrMoveBot", 50, false, &Form1::tmrMoveBot, &Form1::tmrMoveBot_Timer, nullptr, nullptr},
        {"tmrProjectile", 50, false, nullptr, nullptr, &Form1::tmrProjectile_, &Form1::tmrProjectile_Timer},
    };
    return rows;
}

const std::vector<Form1::VariableRow>& Form1::variableRows()
{
    constexpr std::int64_t kShortLo = -32768, kShortHi = 32767;
    constexpr std::int64_t kLongLo = -2147483648LL, kLongHi = 2147483647LL;
    static const std::vector<VariableRow> rows{
        readOnly("targetX", &Form1::targetX),
        readOnly("targetY", &Form1::targetY),
        settable("magicType", &Form1::magicType, kShortLo, kShortHi),
        readOnly("projStartX", &Form1::projStartX),
        readOnly("projStartY", &Form1::projStartY),
        readOnly("projStepX", &Form1::projStepX),
        readOnly("projStepY", &Form1::projStepY),
        readOnly("projDistance", &Form1::projDistance),
        settable("projSpeed", &Form1::projSpeed, kLongLo, kLongHi),
        readOnly("walkStep", &Form1::walkStep),
        readOnly("diagonalStep", &Form1::diagonalStep),
        settable("lives", &Form1::lives, kShortLo, kShortHi),
        readOnly("keysHeld", &Form1::keyDown),
        readOnly("specialHeld", &Form1::specialHeld),
        settable("clockMinutes", &Form1::clockMinutes, kShortLo, kShortHi),
        settable("clockSeconds", &Form1::clockSeconds, 0, 59),
        readOnly("killsToWin", &Form1::killsToWin),
        settable("kills", &Form1::kills, kShortLo, kShortHi),
        settable("score", &Form1::score, kLongLo, kLongHi),
    };
    return rows;
}

}  // namespace game
