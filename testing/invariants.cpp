#include "testing/invariants.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string_view>

namespace zorvane_checks {

namespace {

// Does the caption read exactly `v` in decimals, with at least `digits`
// digits (zeros in front)? Checked after every firing, so nothing is
// allocated on the way.
bool reads(std::string_view caption, std::int64_t v, std::size_t digits = 1)
{
    char text[24];
    const std::size_t n = static_cast<std::size_t>(std::to_chars(text, text + sizeof text, v).ptr - text);
    const std::size_t zeros = v >= 0 && n < digits ? digits - n : 0;
    return caption.size() == zeros + n && caption.find_first_not_of('0') >= zeros &&
           caption.substr(zeros) == std::string_view(text, n);
}

}  // namespace

std::array<std::size_t, game::kCollisionOrder.size()> Watch::sizes(const game::Form1& f)
{
    std::array<std::size_t, game::kCollisionOrder.size()> out{};
    for (std::size_t k = 0; k < out.size(); ++k) out[k] = f.invaders(game::kCollisionOrder[k]).size();
    return out;
}

std::string Watch::check(const game::Form1& f, std::int64_t now, std::size_t boxes)
{
    auto fail = [&](const auto&... parts) {
        std::ostringstream why;
        why << "t=" << now << ": ";
        (why << ... << parts);
        return why.str();
    };

    // ---- sprites: every position and size is a finite number ----
    // The invader arrays are asked first, as a whole; only a failure is
    // looked at box by box, to name the sprite.
    bool finite = true;
    for (game::InvaderKind kind : game::kCollisionOrder) finite = finite && f.invaders(kind).allFinite();
    for (const game::Form1::SpriteRow& row : game::Form1::spriteRows()) {
        const ui::SpriteView s = row.of(f);
        finite = finite && std::isfinite(s.Left) && std::isfinite(s.Top) && std::isfinite(s.Width) &&
                 std::isfinite(s.Height);
    }
    std::string bad;
    if (!finite)
        f.forEachSpriteBottomUp([&](const char* name, int index, const ui::SpriteView& s) {
            if (!bad.empty()) return;
            if (!std::isfinite(s.Left) || !std::isfinite(s.Top) || !std::isfinite(s.Width) ||
                !std::isfinite(s.Height)) {
                std::ostringstream o;
                o << name;
                if (index >= 0) o << "(" << index << ")";
                o << " at " << s.Left << "," << s.Top << " size " << s.Width << "x" << s.Height;
                bad = o.str();
            }
        });
    if (!bad.empty()) return fail("a sprite is not finite: ", bad);

    // ---- control arrays: the fixed ones stay, the invader ones only grow ----
    if (f.picProjectile.size() != 4 || f.picLife.size() != 3) return fail("a fixed control array changed size");
    const std::array<std::size_t, game::kCollisionOrder.size()> tops = sizes(f);
    std::size_t created = 0;
    for (std::size_t k = 0; k < tops.size(); ++k) {
        const char* name = game::Form1::invaderName(game::kCollisionOrder[k]);
        if (tops[k] < tops_[k]) return fail(name, " shrank from ", tops_[k], " to ", tops[k]);
        if (tops[k] > 32768) return fail(name, " passed index 32767");
        created += tops[k] - 1;
    }
    if (f.createdInvaders().size() != created)
        return fail("the creation order lists ", f.createdInvaders().size(), " invaders, the arrays ", created);

    // ---- projectiles: a cast slot that is shown is flying ----
    for (int k = 0; k < 3; ++k)
        if (f.picProjectile(k).Visible && !f.tmrProjectile(k).Enabled())
            return fail("projectile ", k, " is shown but its flight timer is off");
    const ui::PictureBox& special = f.picProjectile(3);
    if (special.Width < special_ || special.Height != special.Width)
        return fail("the special shrank or lost its square: ", special.Width, "x", special.Height);
    if (f.projSpeed[3] < speed3_) return fail("the special's speed fell to ", f.projSpeed[3]);
    if (f.projSpeed[0] != 200 || f.projSpeed[1] != 235 || f.projSpeed[2] != 275)
        return fail("a cast slot's speed changed");
    if (f.magicType < 0 || f.magicType > 2) return fail("magicType is ", f.magicType);
    // The key table is read entry by entry only when it changed since the
    // last check: this runs after every firing, and a key changes it rarely.
    if (f.keyDown != keys_)
        for (const std::int16_t& held : f.keyDown)
            if (held != 0 && held != -1) return fail("key table entry ", &held - f.keyDown.data(), " holds ", held);

    // ---- the mage ----
    if (!f.picHero.Visible || !f.picHero.Enabled) return fail("the mage is hidden or disabled");

    // ---- lives: they only fall, the icons show what is left, a hit resets the mage ----
    if (f.lives > lives_) return fail("lives rose from ", lives_, " to ", f.lives);
    for (int k = 0; k < 3; ++k)
        if (f.picLife(k).Visible != (k < f.lives))
            return fail("life icon ", k, " is ", f.picLife(k).Visible ? "shown" : "hidden", " with ", f.lives,
                        " lives");
    if (f.lives < lives_) {
        // At most one hero tick per 50 ms may have moved him since the hit.
        const double reach = 55.0 * static_cast<double>((now - now_) / 50 + 1);
        if (std::fabs(f.picHero.Left - 6480.0) > reach || std::fabs(f.picHero.Top - 6480.0) > reach)
            return fail("a life was lost but the mage stands at ", f.picHero.Left, ",", f.picHero.Top);
    }

    // ---- the castle: whole hundreds down to 0, the bar follows ----
    const std::optional<int> life = hundreds(f.lblCastleLifeBar.Caption);
    if (!life) return fail("castle caption '", f.lblCastleLifeBar.Caption, "' is not a hundred in 0..3500");
    if (*life > castle_) return fail("castle life rose from ", castle_, " to ", *life);
    const float bar = *life == 0 ? 150.0f : static_cast<float>(6615 - 189 * ((3500 - *life) / 100));
    if (f.lblCastleLifeBar.Width != bar || f.lblCastleLifeBar.Width < 150)
        return fail("castle bar is ", f.lblCastleLifeBar.Width, " wide at life ", *life, ", not ", bar);

    // ---- kills and score: only the collision tick changes them, in fixed amounts ----
    if (f.kills < kills_) return fail("kills fell from ", kills_, " to ", f.kills);
    if (f.score.has_value() != (f.kills > 0 || *life != 3500))
        return fail("the score is ", f.score ? "set" : "unset", " with ", f.kills, " kills and castle life ", *life);
    const std::int64_t gained = 100 * static_cast<std::int64_t>(f.kills);
    const std::int64_t score = f.score.value_or(0);
    if (*life > 0 ? score != gained - 4 * (3500 - *life) : (score > gained - 400 * 35 || (gained - score) % 400 != 0))
        return fail("score ", score, " does not follow from ", f.kills, " kills and castle life ", *life);
    if (!reads(f.lblScoreNum.Caption, f.score.value_or(0)))
        return fail("score label reads '", f.lblScoreNum.Caption, "'");
    if (!reads(f.lblKillNum.Caption, f.kills)) return fail("kill label reads '", f.lblKillNum.Caption, "'");

    // ---- timers ----
    if (!f.tmrMonsterMovement.Enabled() || !f.tmrSpawnTimer.Enabled() || !f.tmrTimer.Enabled())
        return fail("a timer that never stops is off");
    const bool running = f.tmrCharaMovement.Enabled();
    if (f.tmrCollisionDetect.Enabled() != running)
        return fail("the collision tick is ", running ? "off" : "on", " while the hero tick is ",
                    running ? "on" : "off");
    if (running && !running_) return fail("play resumed after the end");
    const bool decided = f.kills > f.killsToWin || f.lives < 0 || *life == 0;
    if (running) {
        if (boxes != 0) return fail(boxes, " message boxes while play runs");
        if (decided && !decidedDue_) decidedDue_ = f.tmrCharaMovement.due();
        if (decided && now >= *decidedDue_) return fail("a hero tick passed the end of the game by");
    } else {
        if (!decided) return fail("the game ended with nothing decided");
        if (running_) boxesAtEnd_ = boxes;
        if (boxes != boxesAtEnd_ || boxes < 2 || boxes > 6 || boxes % 2 != 0)
            return fail(boxes, " message boxes after the end");
    }

    // ---- the clock and the waves ----
    const std::int64_t seconds = (now - start_) / 1000;
    if (seconds < 32767LL * 60) {
        if (f.clockMinutes * 60LL + f.clockSeconds != seconds || f.clockSeconds < 0 || f.clockSeconds > 59)
            return fail("the clock reads ", f.clockMinutes, ":", f.clockSeconds, " after ", seconds, " s");
        // Two digits at least, as "%02d" writes them (both are never negative here).
        const std::string_view text = f.lblTimer.Caption;
        const std::size_t colon = text.find(':');
        if (colon == std::string_view::npos || !reads(text.substr(0, colon), f.clockMinutes, 2) ||
            !reads(text.substr(colon + 1), f.clockSeconds, 2))
            return fail("the clock label reads '", f.lblTimer.Caption, "'");
        if (f.tmrMoveTop.Enabled() != (seconds >= 62) || f.tmrMoveBot.Enabled() != (seconds >= 125))
            return fail("a stream is ", f.tmrMoveTop.Enabled() ? "on" : "off", "/",
                        f.tmrMoveBot.Enabled() ? "on" : "off", " after ", seconds, " s");
    }

    running_ = running;
    now_ = now;
    remember(f, tops, *life);
    return {};
}

std::optional<int> Watch::hundreds(const std::string& caption)
{
    if (caption.empty() || caption[0] == '-' || (caption.size() > 1 && caption[0] == '0')) return std::nullopt;
    int v = -1;
    const auto [end, error] = std::from_chars(caption.data(), caption.data() + caption.size(), v);
    if (error != std::errc() || end != caption.data() + caption.size() || v > 3500 || v % 100 != 0) return std::nullopt;
    return v;
}

void Watch::remember(const game::Form1& f, const std::array<std::size_t, game::kCollisionOrder.size()>& tops,
                     int castle)
{
    tops_ = tops;
    keys_ = f.keyDown;
    special_ = f.picProjectile(3).Width;
    speed3_ = f.projSpeed[3];
    lives_ = f.lives;
    kills_ = f.kills;
    castle_ = castle;
}

std::string Session::advance(std::int64_t ms)
{
    const std::int64_t until = now() + ms;
    const ui::Scheduler& clock = program_.scheduler();
    for (std::int64_t due = clock.nextDue(); due >= 0 && due <= until; due = clock.nextDue()) {
        program_.apply(due, game::Input::time());
        if (std::string why = check(); !why.empty()) return why;
    }
    program_.apply(until, game::Input::time());
    return check();
}

}  // namespace zorvane_checks
