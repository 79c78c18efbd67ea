#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host.h"
#include "ui/control_array.h"
#include "ui/controls.h"
#include "ui/scheduler.h"
#include "ui/sprite_array.h"

namespace game {

// Where a mouse press on the battlefield goes: to the window's own handlers, or
// to a control that swallows it (the mage, an enabled box or label).
struct MouseTarget {
    bool toForm = true;
    std::string control;  // the control that took it, when not the form
};

// The battlefield window. Its controls are named members as the design names
// them; its handlers are defined in the folder of their subsystem (hero/,
// invaders/, combat/), the design and load in battlefield/.
class Form1 {
public:
    Form1(ui::Scheduler& scheduler, Host& host);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // ---- the window ----
    std::string Caption = "Zorvane";
    ui::Color BackColor = ui::rgb(0, 128, 0);
    ui::PictureRef Picture;  // background picture, drawn at the top left
    ui::PictureRef Icon;
    // Outer size in twips, frame and title bar included, as the window system
    // reports it; the simulator's window has no frame.
    float Width = 24120;
    float Height = 13455;
    bool Loaded = false;
    bool Visible = false;

    // ---- picture boxes ----
    ui::PictureBox picHero;
    ui::PictureBox picCastle;
    ui::ControlArray<ui::PictureBox> picProjectile;
    ui::ControlArray<ui::PictureBox> picLife;
    ui::PictureBox picProjectileType;
    ui::PictureBox picFire;
    ui::PictureBox picIce;
    ui::PictureBox picLightning;
    ui::PictureBox picBlackMageLeft;
    ui::PictureBox picBlackMageRight;
    ui::PictureBox picBlackMageFireLeft;
    ui::PictureBox picBlackMageFireRight;
    ui::PictureBox picBlackMageLightning;
    ui::SpriteArray picCastleKiller;
    ui::SpriteArray picCKTop;
    ui::SpriteArray picCKBot;

    // ---- labels ----
    ui::Label lblCastleLifeBar;
    ui::Label lblTime;
    ui::Label lblTimer;
    ui::Label lblScore;
    ui::Label lblScoreNum;
    ui::Label lblStageNum;
    ui::Label lblWave;
    ui::Label lblWaveNum;
    ui::Label lblOfNum;
    ui::Label lblKills;
    ui::Label lblKillNum;
    ui::Label lblProjectileType;
    ui::Label lblLives;

    // ---- timers, declared in the order in which same-millisecond firings go ----
    ui::Timer tmrCollisionDetect;
    ui::Timer tmrCharaMovement;
    ui::Timer tmrMonsterMovement;
    ui::Timer tmrSpawnTimer;
    ui::Timer tmrTimer;
    ui::Timer tmrMoveTop;
    ui::Timer tmrMoveBot;
    ui::Timer& tmrProjectile(int index);
    const ui::Timer& tmrProjectile(int index) const;

    // ---- game state, in declaration order ----
    float targetX = 0;
    float targetY = 0;
    std::int16_t magicType = 0;
    std::array<std::optional<float>, 4> projStartX{};
    std::array<std::optional<float>, 4> projStartY{};
    std::array<std::optional<double>, 4> projStepY{};
    std::array<std::optional<double>, 4> projStepX{};
    std::array<std::optional<double>, 4> projDistance{};
    std::array<std::int64_t, 4> projSpeed{};
    std::int16_t walkStep = 0;
    double diagonalStep = 0;
    std::int16_t lives = 0;
    std::array<std::int16_t, 256> keyDown{};
    bool specialHeld = false;
    std::int16_t clockMinutes = 0;
    std::int16_t clockSeconds = 0;
    std::int16_t killsToWin = 0;
    std::int16_t kills = 0;
    std::optional<std::int64_t> score;

    // ---- event handlers ----
    void Form_Load();
    void Form_MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void Form_MouseUp(std::int16_t button, std::int16_t shift, float x, float y);
    void picHero_KeyDown(int keyCode, std::int16_t shift);
    void picHero_KeyUp(int keyCode, std::int16_t shift);
    void tmrCharaMovement_Timer();
    void tmrProjectile_Timer(std::int16_t index);
    void tmrSpawnTimer_Timer();
    void tmrMonsterMovement_Timer();
    void tmrMoveTop_Timer();
    void tmrMoveBot_Timer();
    void tmrTimer_Timer();
    void tmrCollisionDetect_Timer();

    // ---- what the window system does with the window ----
    // Makes the window visible, loading it first (Form_Load, then the timers
    // enabled in the design start their first interval).
    void Show();
    // Routes a press as the real window does and calls the form's handler when
    // the press reaches the window; a release goes where that button's latest
    // press went.
    MouseTarget sendMouseDown(std::int16_t button, float x, float y);
    MouseTarget sendMouseUp(std::int16_t button, float x, float y);
    MouseTarget hitTest(float x, float y) const;
    // Key events of the battlefield all reach the mage, which holds the focus.
    void sendKeyDown(long long keyCode);
    void sendKeyUp(long long keyCode);

    // Every picture box, bottom of the stacking order first: the design's boxes,
    // then the invaders created at run time in the order they were created.
    // f(name, index or -1, ui::SpriteRef).
    template <typename F>
    void forEachSpriteBottomUp(F&& f);
    template <typename F>
    void forEachSpriteBottomUp(F&& f) const;
    // The labels in design order (they lie beneath every picture box).
    std::vector<const ui::Label*> labels() const;
    std::vector<ui::Label*> labels();
    // All timers in their firing order, with their names.
    std::vector<std::pair<std::string, const ui::Timer*>> timers() const;

    // Invader kinds as SpawnInvader numbers them.
    ui::SpriteArray* invaderArray(int kind);
    static const char* invaderArrayName(int kind);

    // ---- private procedures (public so that tests can reach them) ----
    static bool Collide(const ui::Extent& Obj1, const ui::Extent& Obj2);
    void Shoot(std::int16_t slot);
    void LoseLife();
    void WinGame();
    void LoseGame();
    void SpawnInvader(std::int16_t invaderKind);

    // Run-time invaders in creation order: (kind, index).
    const std::vector<std::pair<std::int8_t, std::int16_t>>& createdInvaders() const { return created_; }

private:
    struct DesignSprite {
        const char* name;
        int index;                  // element of a control array, or -1
        ui::PictureBox* box;        // a box of the design's own ...
        ui::SpriteArray* invaders;  // ... or element 0 of an invader array
        ui::SpriteRef sprite() const { return box != nullptr ? ui::SpriteRef(*box) : (*invaders)(0); }
    };
    std::vector<DesignSprite> designBottomUp() const;
    static double castleLifeOf(const ui::Label& bar);
    static std::string numberText(double value);

    ui::Scheduler& scheduler_;
    Host& host_;
    std::array<std::unique_ptr<ui::Timer>, 4> tmrProjectile_;
    std::vector<std::pair<std::int8_t, std::int16_t>> created_;
    std::array<MouseTarget, 5> lastPress_{};
    std::array<bool, 5> pressed_{};
};

template <typename F>
void Form1::forEachSpriteBottomUp(F&& f)
{
    for (const DesignSprite& s : designBottomUp()) f(s.name, s.index, s.sprite());
    for (auto [kind, index] : created_) f(invaderArrayName(kind), int{index}, (*invaderArray(kind))(index));
}

template <typename F>
void Form1::forEachSpriteBottomUp(F&& f) const
{
    const_cast<Form1*>(this)->forEachSpriteBottomUp(std::forward<F>(f));
}

}  // namespace game
