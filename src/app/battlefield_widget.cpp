#include "app/battlefield_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "app/fonts.h"
#include "app/keymap.h"
#include "app/painting.h"
#include "app/picture_cache.h"
#include "app/window_size.h"
#include "battlefield/form1.h"

namespace app {

int gameButton(Qt::MouseButton button)
{
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

BattlefieldWidget::BattlefieldWidget(game::Form1& form, PictureCache& pictures, FontCache& fonts, InputGate gate,
                                     QWidget* parent)
    : QWidget(parent), form_(form), pictures_(pictures), fonts_(fonts), gate_(std::move(gate))
{
    setWindowTitle(QString::fromStdString(form.Caption));
    if (const QPixmap* icon = pictures_.find(form.Icon)) setWindowIcon(QIcon(*icon));
    // Every pixel is painted on each frame; nothing needs clearing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(1608, 897);  // the 24120 x 13455 twip client area
}

void BattlefieldWidget::reportOuterSize()
{
    const QSizeF outer = outerSizeInTwips(*this);
    form_.Width = static_cast<float>(outer.width());
    form_.Height = static_cast<float>(outer.height());
}

void BattlefieldWidget::paintScene(QPainter& painter, const QRect& area)
{
    const QPalette& pal = palette();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.fillRect(area, toQColor(form_.BackColor, pal));
    if (const QPixmap* background = pictures_.find(form_.Picture)) painter.drawPixmap(0, 0, *background);

    // Labels lie beneath every picture box, so they go first.
    for (const ui::Label* label : form_.labels()) paintLabel(painter, *label, fonts_.get(label->font), pal);

    // Cull in twips before any pixel arithmetic: most invaders ever created are
    // parked far outside the window. One pixel of slack covers the rounding.
    const float left = static_cast<float>(area.left() - 1) * kTwipsPerPixel;
    const float top = static_cast<float>(area.top() - 1) * kTwipsPerPixel;
    const float right = static_cast<float>(area.right() + 2) * kTwipsPerPixel;
    const float bottom = static_cast<float>(area.bottom() + 2) * kTwipsPerPixel;
    form_.forEachSpriteBottomUp([&](const char*, int, const auto& box) {
        if (!box.Visible) return;
        if (box.Left >= right || box.Top >= bottom || box.Left + box.Width <= left || box.Top + box.Height <= top)
            return;
        paintBox(painter, pixelRect(box.Left, box.Top, box.Width, box.Height), box.BorderStyle, box.BackColor,
                 pictures_.find(box.Picture), pal);
    });
}

void BattlefieldWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    paintScene(painter, event->rect());
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
            reportOuterSize();
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
    gate_.enter();
    if (event->type() == QEvent::KeyPress)
        form_.sendKeyDown(code);
    else
        form_.sendKeyUp(code);
    gate_.leave();
}

void BattlefieldWidget::handleMouse(QMouseEvent* event, bool press)
{
    const int button = gameButton(event->button());
    if (button == 0) return;
    event->accept();
    const QPointF at = event->position() * static_cast<double>(kTwipsPerPixel);
    const float x = static_cast<float>(at.x());
    const float y = static_cast<float>(at.y());
    gate_.enter();
    if (press)
        form_.sendMouseDown(static_cast<std::int16_t>(button), x, y);
    else
        form_.sendMouseUp(static_cast<std::int16_t>(button), x, y);
    gate_.leave();
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

void BattlefieldWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    reportOuterSize();
}

void BattlefieldWidget::moveEvent(QMoveEvent* event)
{
    // Being framed by a window manager moves the client area.
    QWidget::moveEvent(event);
    reportOuterSize();
}

void BattlefieldWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    reportOuterSize();
}

void BattlefieldWidget::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    emit closed();
}

}  // namespace app
