#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "battlefield/names.h"
#include "battlefield/rows.h"
#include "host.h"
#include "input.h"
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

std::optional<InvaderKind> invaderKindOf(int code);

// The collision tick meets the castle killers first, then the top stream,
// then the bottom stream.
inline constexpr std::array kCollisionOrder{InvaderKind::CastleKiller, InvaderKind::Top, InvaderKind::Bottom};

// The battlefield window. Its controls are named members, laid out as the
// window was designed; its handlers are defined in the folder of their
// subsystem (hero/, invaders/, combat/), the layout and load in battlefield/.
class Form1 {
public:
    // Its invaders count their steps in the batches opened on `batching`.
    Form1(ui::Scheduler& scheduler, Host& host, ui::StepBatching& batching);
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

    // ---- timers ----
    ui::Timer tmrCollisionDetect;
    ui::Timer tmrCharaMovement;
    ui::Timer tmrMonsterMovement;
    ui::Timer tmrSpawnTimer;
    ui::Timer tmrTimer;
    ui::Timer tmrMoveTop;
    ui::Timer tmrMoveBot;
    ui::Timer& tmrProjectile(int index);
    const ui::Timer& tmrProjectile(int index) const;

    // Projectile slots: 0 fire, 1 ice, 2 lightning, 3 the special.
    static constexpr int kSlots = kProjectileSlots;

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
    void picHero_KeyDown(KeyCode keyCode, std::int16_t shift);
    void picHero_KeyUp(KeyCode keyCode, std::int16_t shift);
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
    // that are on in the layout start their first interval).
    void Show();
    // The control that holds the keyboard focus: the first in tab order that
    // is shown and enabled when the window opens. Empty before that.
    const std::string& focus() const { return focus_; }
    // Routes a press as the real window does and calls the form's handler when
    // the press reaches the window; a release goes where that button's latest
    // press went.
    MouseTarget sendMouseDown(std::int16_t button, float x, float y);
    MouseTarget sendMouseUp(std::int16_t button, float x, float y);
    MouseTarget hitTest(float x, float y) const;
    // Key events of the battlefield all reach the mage, which holds the focus.
    void sendKeyDown(KeyCode keyCode);
    void sendKeyUp(KeyCode keyCode);

    // Every picture box, bottom of the stacking order first: the layout's
    // boxes, then the invaders created at run time in the order they were
    // created. f(name, index or -1, ui::SpriteRef).
    template <typename F>
    void forEachSpriteBottomUp(F&& f);
    template <typename F>
    void forEachSpriteBottomUp(F&& f) const;
    // The labels in layout order (they lie beneath every picture box).
    std::vector<const ui::Label*> labels() const;
    std::vector<ui::Label*> labels();
    // All timers in their firing order, with their names.
    std::vector<std::pair<std::string, const ui::Timer*>> timers() const;

    // Controls by name (and index, for a control array); nothing when there
    // is no such control or element.
    std::optional<ui::SpriteRef> sprite(std::string_view name, int index = -1);
    ui::Label* label(std::string_view name);
    ui::Timer* timer(std::string_view name, int index = -1);

    // The game-state variables as the state dump lists them: f(name, value),
    // with the value in its own type.
    template <typename F>
    void forEachVariable(F&& f) const;
    // Sets a variable that scripts may set (see findSettableVariable), or an
    // element of one; false, changing nothing, when there is no such
    // variable or element.
    bool setVariable(std::string_view name, int index, std::int64_t value);

    ui::SpriteArray& invaders(InvaderKind kind);
    const ui::SpriteArray& invaders(InvaderKind kind) const;
    static const char* invaderName(InvaderKind kind);
    // Every shown invader of the kind takes one step.
    void walkInvaders(InvaderKind kind);

    // Where SpawnInvader puts a new invader of each kind, and where an
    // invader or projectile that has done its work is parked, out of sight
    // beyond the window's outer size.
    ui::Extent entryOf(InvaderKind kind) const;
    float parkedInvaderLeft() const { return Width + 3000; }
    float parkedInvaderTop() const { return Height + 5000; }
    float spentProjectileLeft() const { return Width + 5000; }
    float spentProjectileTop() const { return Height - 3000; }

    // ---- private procedures (public so that tests can reach them) ----
    static bool Collide(const ui::Extent& Obj1, const ui::Extent& Obj2);
    void Shoot(std::int16_t slot);
    void LoseLife();
    void WinGame();
    void LoseGame();
    void SpawnInvader(std::int16_t invaderKind);

    // Run-time invaders in creation order: (kind, index).
    const std::vector<std::pair<InvaderKind, std::int16_t>>& createdInvaders() const { return created_; }

    // The layout's rows (battlefield/rows.h).
    template <typename T>
    using Member = game::Member<T>;
    using KeyTable = game::KeyTable;
    using VariableMember = game::VariableMember;
    using SettableMember = game::SettableMember;
    using SpriteMember = game::SpriteMember;
    using SpriteRow = game::SpriteRow;
    using LabelRow = game::LabelRow;
    using TimerRow = game::TimerRow;
    using VariableRow = game::VariableRow;
    using InvaderRow = game::InvaderRow;

    // Picture boxes bottom of the stacking order first; labels and variables
    // in layout order; timers in the order same-millisecond firings go.
    static const std::vector<SpriteRow>& spriteRows();
    static const std::vector<LabelRow>& labelRows();
    static const std::vector<TimerRow>& timerRows();
    static const std::vector<VariableRow>& variableRows();
    // Invader kinds in the order of their codes, which is the order in which
    // the spawn beat makes them.
    static const std::array<InvaderRow, 3>& invaderRows();
    static const InvaderRow& invaderRow(InvaderKind kind);

private:
    template <typename Self, typename F>
    static void visitSprites(Self& form, F&& f);
    static ui::PictureBox designOf(const SpriteMember& member, int index);

    // The collision tick's outcomes.
    void KillInvader(const ui::SpriteRef& invader, ui::PictureBox& projectile);
    void HitHero();
    void HitCastle(const ui::SpriteRef& invader);
    void ParkInvader(const ui::SpriteRef& invader) const;
    void AddToScore(std::int64_t points);
    void EndGame(const char* message);

    // The movement tick's steps.
    void walkHero();
    void chooseMagic();
    void chargeSpecial();
    void checkForTheEnd();

    static double castleLifeOf(const ui::Label& bar);
    static std::string numberText(double value);

    Host& host_;
    std::array<ui::Timer, kSlots> tmrProjectile_;
    std::vector<std::pair<InvaderKind, std::int16_t>> created_;
    std::string focus_;
    // The latest press of each button (1 left, 2 right, 4 middle, others).
    std::array<MouseTarget, 4> lastPress_{};
    std::array<bool, 4> pressed_{};
};

template <typename Self, typename F>
void Form1::visitSprites(Self& form, F&& f)
{
    for (const SpriteRow& row : spriteRows()) f(row.name, row.index, row.of(form));
    for (auto [kind, index] : form.created_) f(invaderName(kind), int{index}, form.invaders(kind)(index));
}

template <typename F>
void Form1::forEachSpriteBottomUp(F&& f)
{
    visitSprites(*this, std::forward<F>(f));
}

template <typename F>
void Form1::forEachSpriteBottomUp(F&& f) const
{
    visitSprites(*this, std::forward<F>(f));
}

template <typename F>
void Form1::forEachVariable(F&& f) const
{
    for (const VariableRow& row : variableRows())
        std::visit([&](auto member) { f(row.name, this->*member); }, row.member);
}

}  // namespace game
