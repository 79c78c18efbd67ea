#include "battlefield/form1.h"

#include <cmath>

#include "battlefield/pictures.h"

namespace game {

namespace {

using ui::Border;
using ui::PictureBox;
using ui::rgb;

constexpr ui::Color kGreen = rgb(0, 128, 0);

PictureBox box(float left, float top, float width, float height, bool visible, bool enabled, ui::Color back,
               Border border, ui::PictureRef picture = nullptr)
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
    b.Picture = std::move(picture);
    return b;
}

// A picture source: hidden, enabled, sunken, on the button face.
PictureBox source(float left, float top, float width, float height, const char* image, const char* owner)
{
    return box(left, top, width, height, false, true, ui::kButtonFace, Border::Sunken, ui::makePicture(image, owner));
}

PictureBox invader(float left, float top, bool visible, ui::Color back, const char* owner)
{
    return box(left, top, 735, 855, visible, false, back, Border::None, ui::makePicture(pictures::kInvader, owner));
}

ui::Label label(const char* name, float left, float top, float width, float height, const char* caption,
                const char* family, double points, bool bold, ui::Align align = ui::Align::Left, bool enabled = true)
{
    return ui::makeLabel(name, left, top, width, height, caption, ui::Font{family, points, bold}, align, enabled);
}

constexpr const char* kSans = "MS Sans Serif";
constexpr const char* kNarkisim = "Narkisim";

}  // namespace

Form1::Form1(ui::Scheduler& scheduler, Host& host)
    : picHero(
          box(6600, 4200, 675, 735, true, true, kGreen, Border::None, ui::makePicture(pictures::kMageLeft, "picHero"))),
      picCastle(box(-1200, 480, 7815, 3735, true, false, ui::kButtonFace, Border::Sunken,
                    ui::makePicture(pictures::kCastle, "picCastle"))),
      picProjectile({box(15240, 600, 495, 495, false, false, rgb(255, 0, 0), Border::Flat),
                     box(15720, 720, 375, 375, false, false, rgb(0, 255, 255), Border::Flat),
                     box(16080, 840, 255, 255, false, false, rgb(255, 255, 0), Border::Flat),
                     box(16320, 840, 255, 255, false, false, rgb(64, 0, 64), Border::Flat)}),
      picLife({box(25920, 360, 400, 400, true, false, ui::kWindowBackground, Border::Flat,
                   ui::makePicture(pictures::kLifeHat, "picLife(0)")),
               box(26520, 360, 400, 400, true, false, ui::kWindowBackground, Border::Flat,
                   ui::makePicture(pictures::kLifeHat, "picLife(1)")),
               box(27120, 360, 400, 400, true, false, ui::kWindowBackground, Border::Flat,
                   ui::makePicture(pictures::kLifeHat, "picLife(2)"))}),
      picProjectileType(box(21960, 600, 495, 495, true, false, ui::kButtonFace, Border::Sunken,
                            ui::makePicture(pictures::kIconFire, "picProjectileType"))),
      picFire(source(21960, 1080, 495, 495, pictures::kIconFire, "picFire")),
      picIce(source(22440, 1080, 495, 495, pictures::kIconIce, "picIce")),
      picLightning(source(22920, 1080, 495, 495, pictures::kIconLightning, "picLightning")),
      picBlackMageLeft(source(13200, 960, 495, 495, pictures::kMageLeft, "picBlackMageLeft")),
      picBlackMageRight(source(13680, 960, 435, 495, pictures::kMageRight, "picBlackMageRight")),
      picBlackMageFireLeft(source(13200, 1440, 495, 495, pictures::kMageFireLeft, "picBlackMageFireLeft")),
      picBlackMageFireRight(source(13680, 1440, 495, 495, pictures::kMageFireRight, "picBlackMageFireRight")),
      picBlackMageLightning(source(13440, 1920, 375, 375, pictures::kMageLightning, "picBlackMageLightning")),
      picCastleKiller(invader(27600, 14640, true, ui::kButtonFace, "picCastleKiller(0)")),
      picCKTop(invader(27480, 1320, false, kGreen, "picCKTop(0)")),
      picCKBot(invader(600, 14160, false, kGreen, "picCKBot(0)")),
      lblCastleLifeBar(label("lblCastleLifeBar", 0, 0, 6615, 495, "3500", kSans, 13.5, false, ui::Align::Center)),
      lblTime(label("lblTime", 8640, 360, 855, 375, "Time:", kSans, 12, true)),
      lblTimer(label("lblTimer", 9480, 360, 855, 375, "00:00", kSans, 12, true)),
      lblScore(label("lblScore", 8640, 960, 975, 375, "Score:", kSans, 12, true)),
      lblScoreNum(label("lblScoreNum", 9600, 960, 1215, 375, "0", kSans, 12, true)),
      lblStageNum(
          label("lblStageNum", 11280, 240, 5415, 495, "Stage Number 1", kNarkisim, 24, true, ui::Align::Center)),
      lblWave(label("lblWave", 16320, 240, 735, 375, "Wave:", kSans, 12, true, ui::Align::Left, false)),
      lblWaveNum(label("lblWaveNum", 17160, 240, 495, 375, "1", kSans, 12, true, ui::Align::Left, false)),
      lblOfNum(label("lblOfNum", 17400, 240, 615, 375, "of 3", kSans, 12, true)),
      lblKills(label("lblKills", 16320, 720, 615, 375, "Kills:", kSans, 12, true)),
      lblKillNum(label("lblKillNum", 17040, 720, 855, 375, "0", kSans, 12, true)),
      lblProjectileType(label("lblProjectileType", 21360, 240, 1695, 255, "Projectile Type:", kNarkisim, 12, true)),
      lblLives(label("lblLives", 24840, 360, 855, 375, "Lives:", kSans, 13.5, false)),
      tmrCollisionDetect(scheduler, 25, [this] { tmrCollisionDetect_Timer(); }),
      tmrCharaMovement(scheduler, 50, [this] { tmrCharaMovement_Timer(); }),
      tmrMonsterMovement(scheduler, 50, [this] { tmrMonsterMovement_Timer(); }),
      tmrSpawnTimer(scheduler, 2500, [this] { tmrSpawnTimer_Timer(); }),
      tmrTimer(scheduler, 1000, [this] { tmrTimer_Timer(); }),
      tmrMoveTop(scheduler, 50, [this] { tmrMoveTop_Timer(); }),
      tmrMoveBot(scheduler, 50, [this] { tmrMoveBot_Timer(); }),
      scheduler_(scheduler),
      host_(host)
{
    lblCastleLifeBar.Opaque = true;
    lblCastleLifeBar.BackColor = rgb(192, 0, 192);
    Picture = ui::makePicture(pictures::kMageLeft, "Form1");
    Icon = ui::makePicture(pictures::kMageIcon, "Form1.Icon");
    for (std::int16_t k = 0; k < 4; ++k)
        tmrProjectile_[static_cast<std::size_t>(k)] =
            std::make_unique<ui::Timer>(scheduler, 50, [this, k] { tmrProjectile_Timer(k); });
}

ui::Timer& Form1::tmrProjectile(int index)
{
    if (index < 0 || index > 3) throw ui::RuntimeError("control array index out of range");
    return *tmrProjectile_[static_cast<std::size_t>(index)];
}

const ui::Timer& Form1::tmrProjectile(int index) const
{
    return const_cast<Form1*>(this)->tmrProjectile(index);
}

void Form1::Form_Load()
{
    magicType = 0;
    lives = 3;
    projSpeed = {200, 235, 275, 275};
    walkStep = 55;
    picCastleKiller(0).BackColor = BackColor;
    killsToWin = 150;
    diagonalStep = std::sqrt(static_cast<double>(walkStep * walkStep) / 2.0);
}

void Form1::Show()
{
    if (!Loaded) {
        Form_Load();
        Loaded = true;
        // The timers that are on in the design start with the loaded window.
        tmrCollisionDetect.setEnabled(true);
        tmrCharaMovement.setEnabled(true);
        tmrMonsterMovement.setEnabled(true);
        tmrSpawnTimer.setEnabled(true);
        tmrTimer.setEnabled(true);
    }
    Visible = true;
}

std::vector<Form1::DesignSprite> Form1::designBottomUp() const
{
    auto* self = const_cast<Form1*>(this);
    auto el = [](const char* name, ui::ControlArray<PictureBox>& a, int i) {
        return DesignSprite{name, i, &a(i), nullptr};
    };
    auto zero = [](const char* name, ui::SpriteArray& a) { return DesignSprite{name, 0, nullptr, &a}; };
    auto one = [](const char* name, PictureBox& b) { return DesignSprite{name, -1, &b, nullptr}; };
    return {one("picCastle", self->picCastle),
            one("picHero", self->picHero),
            el("picProjectile", self->picProjectile, 1),
            el("picProjectile", self->picProjectile, 0),
            el("picProjectile", self->picProjectile, 2),
            el("picLife", self->picLife, 0),
            el("picLife", self->picLife, 1),
            el("picLife", self->picLife, 2),
            one("picFire", self->picFire),
            one("picIce", self->picIce),
            one("picLightning", self->picLightning),
            one("picProjectileType", self->picProjectileType),
            one("picBlackMageRight", self->picBlackMageRight),
            one("picBlackMageLeft", self->picBlackMageLeft),
            one("picBlackMageFireLeft", self->picBlackMageFireLeft),
            one("picBlackMageFireRight", self->picBlackMageFireRight),
            one("picBlackMageLightning", self->picBlackMageLightning),
            el("picProjectile", self->picProjectile, 3),
            zero("picCastleKiller", self->picCastleKiller),
            zero("picCKTop", self->picCKTop),
            zero("picCKBot", self->picCKBot)};
}

std::vector<const ui::Label*> Form1::labels() const
{
    return {&lblCastleLifeBar, &lblTime,  &lblTimer, &lblScore,   &lblScoreNum,       &lblStageNum, &lblWave,
            &lblWaveNum,       &lblOfNum, &lblKills, &lblKillNum, &lblProjectileType, &lblLives};
}

std::vector<ui::Label*> Form1::labels()
{
    std::vector<ui::Label*> out;
    for (const ui::Label* l : std::as_const(*this).labels()) out.push_back(const_cast<ui::Label*>(l));
    return out;
}

std::vector<std::pair<std::string, const ui::Timer*>> Form1::timers() const
{
    std::vector<std::pair<std::string, const ui::Timer*>> out{{"tmrCollisionDetect", &tmrCollisionDetect},
                                                              {"tmrCharaMovement", &tmrCharaMovement},
                                                              {"tmrMonsterMovement", &tmrMonsterMovement},
                                                              {"tmrSpawnTimer", &tmrSpawnTimer},
                                                              {"tmrTimer", &tmrTimer},
                                                              {"tmrMoveTop", &tmrMoveTop},
                                                              {"tmrMoveBot", &tmrMoveBot}};
    for (int k = 0; k < 4; ++k) out.emplace_back("tmrProjectile(" + std::to_string(k) + ")", &tmrProjectile(k));
    return out;
}

ui::SpriteArray* Form1::invaderArray(int kind)
{
    switch (kind) {
        case 0:
            return &picCKBot;
        case 1:
            return &picCastleKiller;
        case 2:
            return &picCKTop;
        default:
            return nullptr;
    }
}

const char* Form1::invaderArrayName(int kind)
{
    switch (kind) {
        case 0:
            return "picCKBot";
        case 1:
            return "picCastleKiller";
        case 2:
            return "picCKTop";
        default:
            return "";
    }
}

}  // namespace game
