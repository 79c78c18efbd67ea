#include "app/battlefield_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "app/keymap.h"
#include "app/painting/dirty_region.h"
#include "app/painting/fonts.h"
#include "app/painting/picture_cache.h"
#include "app/painting/primitives.h"
#include "app/painting/units.h"
#include "battlefield/form1.h"

namespace app {

BattlefieldWidget::BattlefieldWidget(const game::Form1& form, PictureCache& pictures, FontCache& fonts,
                                     WindowZooms& zooms, QWidget* parent)
    : GameWindow(QSize(1608, 897), zooms, parent), form_(form), pictures_(pictures), fonts_(fonts)
{
    setWindowTitle(QString::fromStdString(form.Caption));
    if (const QPixmap* icon = pictures_.find(form.Icon)) setWindowIcon(QIcon(*icon));
    // Every pixel of a repainted area is painted; nothing needs clearing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // (The zoom sizes the window: 1608 x 897 pixels, the 24120 x 13455 twip
    // client area, at full size.)
    connect(&zoom_, &WindowZoom::zoomChanged, this, [this] {
        forgetShown();
        update();
    });
}

void BattlefieldWidget::paintScene(QPainter& painter, const QRegion& area)
{
    const QRect bounds = area.boundingRect();
    if (bounds.isEmpty()) return;
    const QPalette& pal = palette();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // A region of a few rectangles is painted with what reaches into them,
    // a larger one with what reaches into its bounding rectangle: testing
    // every layer against every rectangle would cost more than it saves.
    const bool few = area.rectCount() <= kRectsTested;
    // One pixel of slack: at a fractional scale a layer may colour a device
    // pixel that the area shares with its logical neighbour.
    auto touches = [&](const QRect& r) { return area.intersects(r.adjusted(-1, -1, 1, 1)); };
    auto reaches = [&](const QRect& r) { return few ? touches(r) : bounds.intersects(r.adjusted(-1, -1, 1, 1)); };

    painter.fillRect(bounds, toQColor(form_.BackColor, pal));
    if (const QPixmap* background = pictures_.find(form_.Picture); background && reaches(background->rect()))
        painter.drawPixmap(0, 0, *background);
    // Labels lie beneath every picture box. A label paints nothing outside
    // its rectangle. There are few of them, each tested against the area
    // itself: text is dear to lay out even where it is clipped away.
    for (const ui::Label* label : form_.labels())
        if (touches(pixelRect(label->Left, label->Top, label->Width, label->Height)))
            paintLabel(painter, *label, fonts_.get(label->font), pal);

    // Boxes are culled in twips before any pixel arithmetic: most invaders
    // ever made are parked far outside the window.
    boxImages_.begin(painter, area);
    const CullArea cull = cullArea(bounds);
    // Invaders share their colour: the last one turned into a QColor is kept.
    ui::Color lastBack = form_.BackColor;
    QColor lastColour = toQColor(lastBack, pal);
    form_.forEachSpriteBottomUp([&](const char*, int, const auto& box) {
        if (!box.Visible || !cull.meets(box.Left, box.Top, box.Width, box.Height)) return;
        const QRect r = pixelRect(box.Left, box.Top, box.Width, box.Height);
        if (few && !reaches(r)) return;
        if (box.BackColor != lastBack) {
            lastBack = box.BackColor;
            lastColour = toQColor(lastBack, pal);
        }
        boxImages_.paint(painter, r, box.BorderStyle, lastColour, pictures_.find(box.Picture), pal);
    });
}

void BattlefieldWidget::describeScene(ZoomedPicture& into, const QRect& bounds)
{
    const QPalette& pal = palette();
    into.setBase(toQColor(form_.BackColor, pal), pictures_.find(form_.Picture));
    for (const ui::Label* label : form_.labels())
        if (const QRect r = pixelRect(label->Left, label->Top, label->Width, label->Height); r.intersects(bounds))
            into.addOther(r);
    // Culled as paintScene culls.
    const CullArea cull = cullArea(bounds);
    ui::Color lastBack = form_.BackColor;
    QColor lastColour = toQColor(lastBack, pal);
    form_.forEachSpriteBottomUp([&](const char*, int, const auto& box) {
        if (!box.Visible || !cull.meets(box.Left, box.Top, box.Width, box.Height)) return;
        const QRect r = pixelRect(box.Left, box.Top, box.Width, box.Height);
        if (!r.intersects(bounds)) return;
        if (box.BackColor != lastBack) {
            lastBack = box.BackColor;
            lastColour = toQColor(lastBack, pal);
        }
        if (const QImage* image = boxImages_.image(r.size(), box.BorderStyle, lastColour, pictures_.find(box.Picture),
                                                   pal, 1, QImage::Format_RGB32, true))
            into.addBox(r, *image);
        else
            into.addOther(r);
    });
}

void BattlefieldWidget::paintZoomed(QPainter& painter, const QRegion& zoomed)
{
    picture_.fit(size(), zoom_.zoom(), devicePixelRatioF());
    picture_.paint(
        painter, zoomed, [this](ZoomedPicture& into, const QRect& bounds) { describeScene(into, bounds); },
        [this](QPainter& full, const QRegion& area) { paintScene(full, area); });
}

void BattlefieldWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (zoom_.zoom().full())
        paintScene(painter, event->region());
    else
        paintZoomed(painter, event->region());
}

void BattlefieldWidget::showChanges()
{
    if (!isVisible()) {
        shown_.clear();  // showing it paints everything anyway
        return;
    }
    // Zoomed, the scene is followed on the full-size picture, in design pixels.
    const bool zoomed = !zoom_.zoom().full();
    if (zoomed) picture_.fit(size(), zoom_.zoom(), devicePixelRatioF());
    const QRect window = zoomed ? picture_.area() : rect();
    next_.take(form_, pictures_, window);
    if (shown_.empty() || ShownScene::wholeWindowChanged(shown_, next_)) {
        update();
    } else {
        // At a fractional scale a logical rectangle's edges fall inside device
        // pixels that the boxes beside it share: widen it by one pixel.
        const qreal ratio = devicePixelRatioF();
        const int widen = ratio == std::floor(ratio) ? 0 : 1;
        changed_.clear();
        ShownScene::forEachChange(shown_, next_, [&](const QRect& r) {
            changed_.push_back(r.adjusted(-widen, -widen, widen, widen) & window);
        });
        if (!changed_.empty() && !zoomed) {
            update(unionOf(changed_));
        } else if (!changed_.empty()) {
            zoomedChanged_.clear();
            for (const QRect& r : changed_)
                if (!r.isEmpty()) zoomedChanged_.push_back(zoom_.toZoomed(r).adjusted(-widen, -widen, widen, widen));
            update(unionOf(zoomedChanged_));
        }
    }
    std::swap(shown_, next_);
}

void BattlefieldWidget::forgetShown()
{
    shown_.clear();
}

bool BattlefieldWidget::event(QEvent* event)
{
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            // Taken before QWidget::event so that Tab reaches the game instead of
            // moving the focus.
            handleKey(static_cast<QKeyEvent*>(event));
            return true;
        case QEvent::WindowActivate:
            // A window manager may have framed the window by now.
            zoom_.windowChanged();
            tellOuterSize();
            break;
        case QEvent::PaletteChange:
        case QEvent::StyleChange:
        case QEvent::ScreenChangeInternal:
            // System colours or the scale changed: Qt repaints the whole window.
            forgetShown();
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

void BattlefieldWidget::handleKey(QKeyEvent* event)
{
    event->accept();
    // X repeats a held key as release and press pairs; the release would let
    // go of a key that is still down, while the press just holds it again.
    if (event->type() == QEvent::KeyRelease && event->isAutoRepeat()) return;
    const int code = virtualKeyCode(*event);
    if (code < 0) return;
    if (event->type() == QEvent::KeyPress)
        emit keyPressed(code);
    else
        emit keyReleased(code);
}

void BattlefieldWidget::handleMouse(QMouseEvent* event, bool press)
{
    const int button = gameButton(event->button());
    if (button == 0) return;
    event->accept();
    const QPointF at = zoom_.toDesign(event->position()) * static_cast<double>(kTwipsPerPixel);
    const float x = static_cast<float>(at.x());
    const float y = static_cast<float>(at.y());
    if (press)
        emit mousePressed(button, x, y);
    else
        emit mouseReleased(button, x, y);
}

void BattlefieldWidget::mousePressEvent(QMouseEvent* event)
{
    handleMouse(event, true);
}
void BattlefieldWidget::mouseReleaseEvent(QMouseEvent* event)
{
    handleMouse(event, false);
}
// A quick second click is a press like any other: every click casts.
void BattlefieldWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    handleMouse(event, true);
}

void BattlefieldWidget::resized()
{
    forgetShown();  // Qt repaints the whole window
}

void BattlefieldWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    forgetShown();
    tellOuterSize();
}

void BattlefieldWidget::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    emit closed();
}

}  // namespace app
