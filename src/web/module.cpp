// The game for the browser: the rules, driven by the page through a few C
// functions. The page owns the windows, the canvas and the browser's events;
// this side owns the game, its clock and what there is to paint.
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdint>
#include <deque>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "battlefield/pictures.h"
#include "host.h"
#include "program.h"
#include "runner.h"
#include "shell/game_clock.h"
#include "shell/physical_keys.h"
#include "shell/zoom.h"
#include "ui/controls.h"
#ifdef ZORVANE_WEB_BENCH
#include "field_places.h"
#endif

namespace web {

namespace {

constexpr float kTwipsPerPixel = 15.0f;
constexpr std::size_t kBoxFields = 8;

// The windows' client areas in the design's pixels, and the frame the page
// draws around each: a title bar of 30 pixels and a border of 3.
constexpr shell::Extent kTitleClient{1572, 870};
constexpr shell::Extent kFieldClient{1608, 897};
constexpr int kFrameSide = 3;
constexpr int kFrameTop = 30;
constexpr shell::Extent kFrame{2 * kFrameSide, kFrameTop + kFrameSide};

constexpr const char* kPictures[] = {
    game::pictures::kMageLeft,      game::pictures::kMageRight,     game::pictures::kMageFireLeft,
    game::pictures::kMageFireRight, game::pictures::kMageLightning, game::pictures::kInvader,
    game::pictures::kIconFire,      game::pictures::kIconIce,       game::pictures::kIconLightning,
    game::pictures::kLifeHat,       game::pictures::kCastle,        game::pictures::kMageIcon,
};

int pictureId(const ui::PictureRef& picture)
{
    if (!picture) return -1;
    for (int i = 0; i < static_cast<int>(std::size(kPictures)); ++i)
        if (picture->image == kPictures[i]) return i;
    return -1;
}

int toPixels(float twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

std::int64_t wallNow()
{
    return static_cast<std::int64_t>(std::floor(emscripten_get_now()));
}

// The text of a JSON string.
void quoted(std::string& out, const std::string& text)
{
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            static const char* hex = "0123456789abcdef";
            out += "\\u00";
            out += hex[(c >> 4) & 0xf];
            out += hex[c & 0xf];
        } else {
            out += c;
        }
    }
    out += '"';
}

void number(std::string& out, long long v)
{
    out += std::to_string(v);
}

// A label as the page paints it: its pixel rectangle, caption and looks.
void label(std::string& out, const ui::Label& l)
{
    out += "{\"rect\":[";
    number(out, toPixels(l.Left));
    out += ',';
    number(out, toPixels(l.Top));
    out += ',';
    number(out, toPixels(l.Width));
    out += ',';
    number(out, toPixels(l.Height));
    out += "],\"text\":";
    quoted(out, l.Caption);
    out += ",\"family\":";
    quoted(out, l.font.family);
    out += ",\"px\":";
    number(out, std::max(1L, std::lround(l.font.points * 96.0 / 72.0)));
    out += ",\"bold\":";
    out += l.font.bold ? "true" : "false";
    out += ",\"center\":";
    out += l.Alignment == ui::Align::Center ? "true" : "false";
    out += ",\"enabled\":";
    out += l.Enabled ? "true" : "false";
    out += ",\"opaque\":";
    out += l.Opaque ? "true" : "false";
    out += ",\"back\":";
    number(out, static_cast<long long>(l.BackColor));
    out += ",\"fore\":";
    number(out, static_cast<long long>(l.ForeColor));
    out += '}';
}

// Whether two labels are painted alike: everything the page is told of one.
bool sameLook(const ui::Label& a, const ui::Label& b)
{
    return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height && a.Caption == b.Caption &&
           a.font == b.font && a.Alignment == b.Alignment && a.Enabled == b.Enabled && a.Opaque == b.Opaque &&
           a.BackColor == b.BackColor && a.ForeColor == b.ForeColor;
}

// The game's message boxes, kept for the page to show one after the other.
// The page cannot stop in the middle of a handler as a desktop's modal box
// does, so the handler goes on at once; until the last box is closed the
// game's clock stands still and the field hears nothing, which is what the
// desktop's box does too: the states the player sees after it are the same.
class QueuedBoxes : public game::Host {
public:
    void MsgBox(const std::string& text) override { boxes.push_back(text); }
    std::deque<std::string> boxes;
};

struct Game {
    QueuedBoxes host;
    game::Program program{host};
    shell::GameClock clock{program.scheduler()};
    shell::Zoom titleZoom;
    shell::Zoom fieldZoom;
    bool fieldSized = false;

    // What the page last took of the battlefield: the window's colour,
    // picture and labels (as the game holds them, and as JSON for the page)
    // and its boxes.
    ui::Color headBack = 0;
    int headPicture = -2;
    std::vector<ui::Label> headLabels;
    std::string head;
    std::vector<std::int32_t> boxes;
    std::vector<std::int32_t> nextBoxes;
    // Hundreds of invaders in a row show the same picture object (held, so
    // that its address is not taken by another).
    ui::PictureRef lastPicture;
    int lastPictureId = -1;

    int boxPicture(const ui::PictureRef& picture)
    {
        if (picture != lastPicture) {
            lastPicture = picture;
            lastPictureId = pictureId(picture);
        }
        return lastPictureId;
    }
    std::string text;  // the last string handed to the page

    void play(const game::Input& input)
    {
        const std::optional<std::int64_t> present =
            host.boxes.empty() ? clock.present(wallNow()) : std::optional<std::int64_t>();
        program.apply(present ? *present : program.now(), input);
        follow();
    }

    // A battlefield made visible is told its outer size, frame included.
    void follow()
    {
        const game::Form1* form = program.form1IfCreated();
        if (form == nullptr || !form->Visible || fieldSized) return;
        fieldSized = true;
        program.apply(program.now(), outer(game::Input::fieldSize, kFieldClient, kFrame));
    }

    // A window's outer size, frame and title bar included, as the game reads it.
    static game::Input outer(game::Input (*size)(float, float), shell::Extent client, shell::Extent frame)
    {
        return size(static_cast<float>(client.width + frame.width) * kTwipsPerPixel,
                    static_cast<float>(client.height + frame.height) * kTwipsPerPixel);
    }

    // Whether the battlefield shows something else than when last taken.
    int takeScene()
    {
        const game::Form1* form = program.form1IfCreated();
        if (form == nullptr) return 0;
        // The labels change now and then (the clock once a second): they are
        // compared as the game holds them, and written out only when changed.
        const int picture = pictureId(form->Picture);
        const std::vector<const ui::Label*> labels = form->labels();
        bool headChanged = form->BackColor != headBack || picture != headPicture || labels.size() != headLabels.size();
        for (std::size_t i = 0; !headChanged && i < labels.size(); ++i)
            headChanged = !sameLook(*labels[i], headLabels[i]);
        if (headChanged) {
            headBack = form->BackColor;
            headPicture = picture;
            headLabels.clear();
            for (const ui::Label* l : labels) headLabels.push_back(*l);
            head.clear();
            head += "{\"back\":";
            number(head, static_cast<long long>(headBack));
            head += ",\"picture\":";
            number(head, headPicture);
            head += ",\"labels\":[";
            bool first = true;
            for (const ui::Label& l : headLabels) {
                if (!first) head += ',';
                first = false;
                label(head, l);
            }
            head += "]}";
        }

        // Boxes that reach into the client area, bottom-up, as the desktop
        // culls them: with tens of thousands of invaders made and most of them
        // parked far outside, a few hundred are left.
        const float left = -kTwipsPerPixel, top = -kTwipsPerPixel;
        const float right = static_cast<float>(kFieldClient.width + 1) * kTwipsPerPixel;
        const float bottom = static_cast<float>(kFieldClient.height + 1) * kTwipsPerPixel;
        nextBoxes.clear();
        std::int32_t order = 0;
        form->forEachSpriteBottomUp([&](const char*, int, const auto& box) {
            const std::int32_t at = order++;
            if (!box.Visible || box.Left >= right || box.Top >= bottom || box.Left + box.Width <= left ||
                box.Top + box.Height <= top)
                return;
            const int w = toPixels(box.Width), h = toPixels(box.Height);
            if (w <= 0 || h <= 0) return;
            nextBoxes.insert(nextBoxes.end(), {toPixels(box.Left), toPixels(box.Top), w, h, boxPicture(box.Picture),
                                               static_cast<std::int32_t>(box.BackColor),
                                               static_cast<std::int32_t>(box.BorderStyle), at});
        });
        const int changed = (headChanged ? 1 : 0) | (nextBoxes != boxes ? 2 : 0);
        std::swap(boxes, nextBoxes);
        return changed;
    }
};

Game* running = nullptr;

const char* handOver(std::string s)
{
    running->text = std::move(s);
    return running->text.c_str();
}

}  // namespace

}  // namespace web

using web::running;

extern "C" {

// Start-up: the title window is loaded (its texts centred on its client
// area, as no frame is known before it shows) and shown, and then told its
// outer size with the page's frame.
EMSCRIPTEN_KEEPALIVE void zv_start_up()
{
    delete running;
    running = new web::Game();
    running->clock.start(web::wallNow());
    running->program.apply(running->program.now(), web::Game::outer(game::Input::titleSize, web::kTitleClient, {}));
    running->program.startUp();
    running->play(web::Game::outer(game::Input::titleSize, web::kTitleClient, web::kFrame));
}

EMSCRIPTEN_KEEPALIVE void zv_wake()
{
    if (running->host.boxes.empty()) running->clock.wake();
    running->play(game::Input::time());
}

EMSCRIPTEN_KEEPALIVE void zv_start_clicked()
{
    running->play(game::Input::start());
}

// The wall time in milliseconds to the next due firing, or -1.
EMSCRIPTEN_KEEPALIVE double zv_delay()
{
    if (!running->host.boxes.empty()) return -1;
    return static_cast<double>(running->clock.delayToNextDue(web::wallNow()));
}

// A KeyboardEvent.code as the game's virtual-key code, 0 for none.
EMSCRIPTEN_KEEPALIVE int zv_virtual_key(const char* code)
{
    return shell::virtualKeyByCodeName(code);
}

// Whether the game acts on the key: the page keeps the browser's own use of
// every other key.
EMSCRIPTEN_KEEPALIVE int zv_key_used(int vk)
{
    for (const int used : {'W', 'A', 'S', 'D', '1', '2', '3'})
        if (vk == used) return 1;
    return 0;
}

EMSCRIPTEN_KEEPALIVE void zv_key(int down, int vk)
{
    running->play(down ? game::Input::keyDown(vk) : game::Input::keyUp(vk));
}

// A button at a point of the battlefield's canvas, in its CSS pixels.
EMSCRIPTEN_KEEPALIVE void zv_mouse(int down, int button, double x, double y)
{
    const shell::Zoom z = running->fieldZoom;
    const auto px = static_cast<float>(z.toDesign(x) * static_cast<double>(web::kTwipsPerPixel));
    const auto py = static_cast<float>(z.toDesign(y) * static_cast<double>(web::kTwipsPerPixel));
    const auto b = static_cast<std::int16_t>(button);
    running->play(down ? game::Input::mouseDown(b, px, py) : game::Input::mouseUp(b, px, py));
}

// Chooses each window's zoom for a viewport of the given CSS pixels.
EMSCRIPTEN_KEEPALIVE void zv_fit(int width, int height)
{
    const shell::Extent available{width, height};
    running->titleZoom = shell::fittingZoom(web::kTitleClient, web::kFrame, available, 1.0);
    running->fieldZoom = shell::fittingZoom(web::kFieldClient, web::kFrame, available, 1.0);
}

EMSCRIPTEN_KEEPALIVE int zv_zoom_num(int field)
{
    return field ? running->fieldZoom.num : running->titleZoom.num;
}

EMSCRIPTEN_KEEPALIVE int zv_zoom_den(int field)
{
    return field ? running->fieldZoom.den : running->titleZoom.den;
}

EMSCRIPTEN_KEEPALIVE int zv_client_width(int field)
{
    return field ? web::kFieldClient.width : web::kTitleClient.width;
}

EMSCRIPTEN_KEEPALIVE int zv_client_height(int field)
{
    return field ? web::kFieldClient.height : web::kTitleClient.height;
}

EMSCRIPTEN_KEEPALIVE int zv_frame_side()
{
    return web::kFrameSide;
}

EMSCRIPTEN_KEEPALIVE int zv_frame_top()
{
    return web::kFrameTop;
}

EMSCRIPTEN_KEEPALIVE int zv_title_visible()
{
    return running->program.menu().Visible ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int zv_field_visible()
{
    const game::Form1* form = running->program.form1IfCreated();
    return form != nullptr && form->Visible ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int zv_boxes()
{
    return static_cast<int>(running->host.boxes.size());
}

EMSCRIPTEN_KEEPALIVE const char* zv_box_text()
{
    return running->host.boxes.empty() ? "" : web::handOver(running->host.boxes.front());
}

// The box on top was closed: the next one shows, or the game goes on.
EMSCRIPTEN_KEEPALIVE void zv_box_closed()
{
    if (!running->host.boxes.empty()) running->host.boxes.pop_front();
    if (running->host.boxes.empty()) running->play(game::Input::time());
}

EMSCRIPTEN_KEEPALIVE int zv_picture_count()
{
    return static_cast<int>(std::size(web::kPictures));
}

EMSCRIPTEN_KEEPALIVE const char* zv_picture_name(int i)
{
    return web::kPictures[i];
}

// The title window: its colour, its labels and the Start button.
EMSCRIPTEN_KEEPALIVE const char* zv_title()
{
    const game::Menu& m = running->program.menu();
    std::string out = "{\"caption\":";
    web::quoted(out, m.Caption);
    out += ",\"back\":";
    web::number(out, static_cast<long long>(m.BackColor));
    out += ",\"labels\":[";
    bool first = true;
    for (const ui::Label* l : m.labels()) {
        if (!first) out += ',';
        first = false;
        web::label(out, *l);
    }
    ui::Label start;
    start.Left = m.cmdStart.Left;
    start.Top = m.cmdStart.Top;
    start.Width = m.cmdStart.Width;
    start.Height = m.cmdStart.Height;
    start.Caption = m.cmdStart.Caption;
    start.font = m.cmdStart.font;
    out += "],\"start\":";
    web::label(out, start);
    out += '}';
    return web::handOver(std::move(out));
}

// Takes what the battlefield shows: bit 1 when its colour, picture or labels
// changed (zv_scene_head), bit 2 when its boxes did (zv_scene_boxes).
EMSCRIPTEN_KEEPALIVE int zv_scene()
{
    return running->takeScene();
}

EMSCRIPTEN_KEEPALIVE const char* zv_scene_head()
{
    return running->head.c_str();
}

// kBoxFields numbers a box, bottom-up: left, top, width, height (pixels),
// the picture (-1 for none), the background colour, the border and its place
// among all boxes, shown or not (the same box keeps it from frame to frame).
EMSCRIPTEN_KEEPALIVE const std::int32_t* zv_scene_boxes()
{
    return running->boxes.data();
}

EMSCRIPTEN_KEEPALIVE int zv_box_fields()
{
    return static_cast<int>(web::kBoxFields);
}

EMSCRIPTEN_KEEPALIVE int zv_scene_box_count()
{
    return static_cast<int>(running->boxes.size() / web::kBoxFields);
}

#ifdef ZORVANE_WEB_BENCH
// Benchmarks only: the places of about `onField` castle killers walking on
// the field for `seconds`, as a long game would have them (twips), their box
// and their step, for a floor page; and the same killers made there.
EMSCRIPTEN_KEEPALIVE const char* zv_bench_places(int onField, double seconds)
{
    const auto& walk = bench::castleKillers();
    const ui::PictureBox& box = bench::castleKillerDesign().design;
    std::string out = "{\"step\":[" + std::to_string(walk.leftStep) + ',' + std::to_string(walk.topStep) +
                      "],\"box\":[" + std::to_string(web::toPixels(box.Width)) + ',' +
                      std::to_string(web::toPixels(box.Height)) + "],\"places\":[";
    bool first = true;
    for (const bench::Place& p : bench::fieldPlaces(onField, seconds, web::kFieldClient.height * web::kTwipsPerPixel)) {
        if (!first) out += ',';
        first = false;
        out += std::to_string(p.x) + ',' + std::to_string(p.y);
    }
    return web::handOver(out + "]}");
}

EMSCRIPTEN_KEEPALIVE void zv_bench_fill(int onField, double seconds)
{
    if (running->program.form1IfCreated() != nullptr)
        bench::fillTheField(running->program,
                            bench::fieldPlaces(onField, seconds, web::kFieldClient.height * web::kTwipsPerPixel));
}
#endif

// The whole state, as the scenario runner's dump writes it.
EMSCRIPTEN_KEEPALIVE const char* zv_dump()
{
    std::ostringstream out;
    sim::writeDump(out, running->program);
    return web::handOver(out.str());
}

}  // extern "C"
