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
        {.name = "picCastle",
         .member = &Form1::picCastle,
         .tab = 0,
         .design = {.Left = -1200,
                    .Top = 480,
                    .Width = 7815,
                    .Height = 3735,
                    .Visible = true,
                    .Enabled = false,
                    .BorderStyle = Border::Sunken,
                    .BackColor = kFace},
         .image = kCastle},
        {.name = "picHero",
         .member = &Form1::picHero,
         .tab = 1,
         .design = {.Left = 6600,
                    .Top = 4200,
                    .Width = 675,
                    .Height = 735,
                    .Visible = true,
                    .Enabled = true,
                    .BorderStyle = Border::None,
                    .BackColor = kGreen},
         .image = kMageLeft},
        {.name = "picProjectile",
         .index = 1,
         .member = &Form1::picProjectile,
         .tab = 2,
         .design = {.Left = 15720,
                    .Top = 720,
                    .Width = 375,
                    .Height = 375,
                    .Visible = false,
                    .Enabled = false,
                    .BorderStyle = Border::Flat,
                    .BackColor = rgb(0, 255, 255)},
         .image = nullptr},
        {.name = "picProjectile",
         .index = 0,
         .member = &Form1::picProjectile,
         .tab = 3,
         .design = {.Left = 15240,
                    .Top = 600,
                    .Width = 495,
                    .Height = 495,
                    .Visible = false,
                    .Enabled = false,
                    .BorderStyle = Border::Flat,
                    .BackColor = rgb(255, 0, 0)},
         .image = nullptr},
        {.name = "picProjectile",
         .index = 2,
         .member = &Form1::picProjectile,
         .tab = 4,
         .design = {.Left = 16080,
                    .Top = 840,
                    .Width = 255,
                    .Height = 255,
                    .Visible = false,
                    .Enabled = false,
                    .BorderStyle = Border::Flat,
                    .BackColor = rgb(255, 255, 0)},
         .image = nullptr},
        {.name = "picLife",
         .index = 0,
         .member = &Form1::picLife,
         .tab = 7,
         .design = {.Left = 25920,
                    .Top = 360,
                    .Width = 400,
                    .Height = 400,
                    .Visible = true,
                    .Enabled = false,
                    .BorderStyle = Border::Flat,
                    .BackColor = ui::kWindowBackground},
         .image = kLifeHat},
        {.name = "picLife",
         .index = 1,
         .member = &Form1::picLife,
         .tab = 8,
         .design = {.Left = 26520,
                    .Top = 360,
                    .Width = 400,
                    .Height = 400,
                    .Visible = true,
                    .Enabled = false,
                    .BorderStyle = Border::Flat,
                    .BackColor = ui::kWindowBackground},
         .image = kLifeHat},
        {.name = "picLife",
         .index = 2,
         .member = &Form1::picLife,
         .tab = 9,
         .design = {.Left = 27120,
                    .Top = 360,
                    .Width = 400,
                    .Height = 400,
                    .Visible = true,
                    .Enabled = false,
                    .BorderStyle = Border::Flat,
                    .BackColor = ui::kWindowBackground},
         .image = kLifeHat},
        {.name = "picFire",
         .member = &Form1::picFire,
         .tab = 14,
         .design = source(21960, 1080, 495, 495),
         .image = kIconFire},
        {.name = "picIce",
         .member = &Form1::picIce,
         .tab = 15,
         .design = source(22440, 1080, 495, 495),
         .image = kIconIce},
        {.name = "picLightning",
         .member = &Form1::picLightning,
         .tab = 16,
         .design = source(22920, 1080, 495, 495),
         .image = kIconLightning},
        {.name = "picProjectileType",
         .member = &Form1::picProjectileType,
         .tab = 17,
         .design = {.Left = 21960,
                    .Top = 600,
                    .Width = 495,
                    .Height = 495,
                    .Visible = true,
                    .Enabled = false,
                    .BorderStyle = Border::Sunken,
                    .BackColor = kFace},
         .image = kIconFire},
        {.name = "picBlackMageRight",
         .member = &Form1::picBlackMageRight,
         .tab = 18,
         .design = source(13680, 960, 435, 495),
         .image = kMageRight},
        {.name = "picBlackMageLeft",
         .member = &Form1::picBlackMageLeft,
         .tab = 19,
         .design = source(13200, 960, 495, 495),
         .image = kMageLeft},
        {.name = "picBlackMageFireLeft",
         .member = &Form1::picBlackMageFireLeft,
         .tab = 20,
         .design = source(13200, 1440, 495, 495),
         .image = kMageFireLeft},
        {.name = "picBlackMageFireRight",
         .member = &Form1::picBlackMageFireRight,
         .tab = 21,
         .design = source(13680, 1440, 495, 495),
         .image = kMageFireRight},
        {.name = "picBlackMageLightning",
         .member = &Form1::picBlackMageLightning,
         .tab = 22,
         .design = source(13440, 1920, 375, 375),
         .image = kMageLightning},
        {.name = "picProjectile",
         .index = 3,
         .member = &Form1::picProjectile,
         .tab = 23,
         .design = {.Left = 16320,
                    .Top = 840,
                    .Width = 255,
                    .Height = 255,
                    .Visible = false,
                    .Enabled = false,
                    .BorderStyle = Border::Flat,
                    .BackColor = rgb(64, 0, 64)},
         .image = nullptr},
        {.name = "picCastleKiller",
         .index = 0,
         .member = &Form1::picCastleKiller,
         .tab = 26,
         .design = invader(27600, 14640, true, kFace),
         .image = kInvader},
        {.name = "picCKTop",
         .index = 0,
         .member = &Form1::picCKTop,
         .tab = 27,
         .design = invader(27480, 1320, false, kGreen),
         .image = kInvader},
        {.name = "picCKBot",
         .index = 0,
         .member = &Form1::picCKBot,
         .tab = 28,
         .design = invader(600, 14160, false, kGreen),
         .image = kInvader},
    };
    return rows;
}

const std::vector<Form1::LabelRow>& Form1::labelRows()
{
    static const std::vector<LabelRow> rows{
        // The castle's life is an opaque magenta bar.
        {.member = &Form1::lblCastleLifeBar,
         .tab = 5,
         .design = {.name = "lblCastleLifeBar",
                    .Left = 0,
                    .Top = 0,
                    .Width = 6615,
                    .Height = 495,
                    .Caption = "3500",
                    .font = {.family = kSans, .points = 13.5, .bold = false},
                    .Alignment = ui::Align::Center,
                    .Opaque = true,
                    .BackColor = rgb(192, 0, 192)}},
        {.member = &Form1::lblTime,
         .tab = 24,
         .design = {.name = "lblTime",
                    .Left = 8640,
                    .Top = 360,
                    .Width = 855,
                    .Height = 375,
                    .Caption = "Time:",
                    .font = {.family = kSans, .points = 12, .bold = true}}},
        {.member = &Form1::lblTimer,
         .tab = 25,
         .design = {.name = "lblTimer",
                    .Left = 9480,
                    .Top = 360,
                    .Width = 855,
                    .Height = 375,
                    .Caption = "00:00",
                    .font = {.family = kSans, .points = 12, .bold = true}}},
        {.member = &Form1::lblScore,
         .tab = 30,
         .design = {.name = "lblScore",
                    .Left = 8640,
                    .Top = 960,
                    .Width = 975,
                    .Height = 375,
                    .Caption = "Score:",
                    .font = {.family = kSans, .points = 12, .bold = true}}},
        {.member = &Form1::lblScoreNum,
         .tab = 31,
         .design = {.name = "lblScoreNum",
                    .Left = 9600,
                    .Top = 960,
                    .Width = 1215,
                    .Height = 375,
                    .Caption = "0",
                    .font = {.family = kSans, .points = 12, .bold = true}}},
        {.member = &Form1::lblStageNum,
         .tab = 10,
         .design = {.name = "lblStageNum",
                    .Left = 11280,
                    .Top = 240,
                    .Width = 5415,
                    .Height = 495,
                    .Caption = "Stage Number 1",
                    .font = {.family = kNarkisim, .points = 24, .bold = true},
                    .Alignment = ui::Align::Center}},
        {.member = &Form1::lblWave,
         .tab = 12,
         .design = {.name = "lblWave",
                    .Left = 16320,
                    .Top = 240,
                    .Width = 735,
                    .Height = 375,
                    .Caption = "Wave:",
                    .font = {.family = kSans, .points = 12, .bold = true},
                    .Alignment = ui::Align::Left,
                    .Enabled = false}},
        {.member = &Form1::lblWaveNum,
         .tab = 11,
         .design = {.name = "lblWaveNum",
                    .Left = 17160,
                    .Top = 240,
                    .Width = 495,
                    .Height = 375,
                    .Caption = "1",
                    .font = {.family = kSans, .points = 12, .bold = true},
                    .Alignment = ui::Align::Left,
                    .Enabled = false}},
        {.member = &Form1::lblOfNum,
         .tab = 29,
         .design = {.name = "lblOfNum",
                    .Left = 17400,
                    .Top = 240,
                    .Width = 615,
                    .Height = 375,
                    .Caption = "of 3",
                    .font = {.family = kSans, .points = 12, .bold = true}}},
        {.member = &Form1::lblKills,
         .tab = 32,
         .design = {.name = "lblKills",
                    .Left = 16320,
                    .Top = 720,
                    .Width = 615,
                    .Height = 375,
                    .Caption = "Kills:",
                    .font = {.family = kSans, .points = 12, .bold = true}}},
        {.member = &Form1::lblKillNum,
         .tab = 33,
         .design = {.name = "lblKillNum",
                    .Left = 17040,
                    .Top = 720,
                    .Width = 855,
                    .Height = 375,
                    .Caption = "0",
                    .font = {.family = kSans, .points = 12, .bold = true}}},
        {.member = &Form1::lblProjectileType,
         .tab = 13,
         .design = {.name = "lblProjectileType",
                    .Left = 21360,
                    .Top = 240,
                    .Width = 1695,
                    .Height = 255,
                    .Caption = "Projectile Type:",
                    .font = {.family = kNarkisim, .points = 12, .bold = true}}},
        {.member = &Form1::lblLives,
         .tab = 6,
         .design = {.name = "lblLives",
                    .Left = 24840,
                    .Top = 360,
                    .Width = 855,
                    .Height = 375,
                    .Caption = "Lives:",
                    .font = {.family = kSans, .points = 13.5, .bold = false}}},
    };
    return rows;
}

const std::vector<Form1::TimerRow>& Form1::timerRows()
{
    static const std::vector<TimerRow> rows{
        {.name = "tmrCollisionDetect",
         .interval = 25,
         .onAtLoad = true,
         .member = &Form1::tmrCollisionDetect,
         .tick = &Form1::tmrCollisionDetect_Timer},
        {.name = "tmrCharaMovement",
         .interval = 50,
         .onAtLoad = true,
         .member = &Form1::tmrCharaMovement,
         .tick = &Form1::tmrCharaMovement_Timer},
        {.name = "tmrMonsterMovement",
         .interval = 50,
         .onAtLoad = true,
         .member = &Form1::tmrMonsterMovement,
         .tick = &Form1::tmrMonsterMovement_Timer},
        {.name = "tmrSpawnTimer",
         .interval = 2500,
         .onAtLoad = true,
         .member = &Form1::tmrSpawnTimer,
         .tick = &Form1::tmrSpawnTimer_Timer},
        {.name = "tmrTimer",
         .interval = 1000,
         .onAtLoad = true,
         .member = &Form1::tmrTimer,
         .tick = &Form1::tmrTimer_Timer},
        {.name = "tmrMoveTop",
         .interval = 50,
         .onAtLoad = false,
         .member = &Form1::tmrMoveTop,
         .tick = &Form1::tmrMoveTop_Timer},
        {.name = "tmrMoveBot",
         .interval = 50,
         .onAtLoad = false,
         .member = &Form1::tmrMoveBot,
         .tick = &Form1::tmrMoveBot_Timer},
        {.name = "tmrProjectile",
         .interval = 50,
         .onAtLoad = false,
         .elements = &Form1::tmrProjectile_,
         .tickOf = &Form1::tmrProjectile_Timer},
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
