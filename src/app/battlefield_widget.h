#pragma once

#include "app/game_window.h"
#include "app/painting/box_images.h"
#include "app/painting/shown_scene.h"
#include "app/painting/zoomed_picture.h"

namespace game {
class Form1;
}

namespace app {

class FontCache;
class PictureCache;

// The battlefield window. The whole scene is painted by this one widget: a
// child widget per sprite could not keep up with hundreds of invaders. It
// reads the model to paint it and tells what happens to it through its
// signals; it never changes the model itself.
// On a screen too small for it the window is zoomed (WindowZoom): it shows
// the full-size picture scaled down, and the game reads every size and
// position as at full size.
class BattlefieldWidget : public GameWindow {
    Q_OBJECT
public:
    BattlefieldWidget(const game::Form1& form, PictureCache& pictures, FontCache& fonts, WindowZooms& zooms,
                      QWidget* parent = nullptr);

    // Paints the scene's part inside `area` (logical pixels of the client
    // area); the painter is expected to be clipped to it.
    void paintScene(QPainter& painter, const QRegion& area);

    // Paints the zoomed window's `zoomed` part (logical pixels of the client
    // area), as paintEvent does when the window is zoomed.
    void paintZoomed(QPainter& painter, const QRegion& zoomed);

    // Up to this many rectangles in the area, each layer is tested against
    // each rectangle before it is painted.
    static constexpr int kRectsTested = 64;

    // After the game has run: repaints the union of the old and new
    // rectangles of whatever changed on screen since the last call, and
    // nothing when nothing visible changed.
    void showChanges();
    // The next showChanges() repaints the whole window: what it shows may
    // have been painted from a state of the game it did not see.
    void forgetShown();

signals:
    // A key of the battlefield, as the game's virtual-key code.
    void keyPressed(int code);
    void keyReleased(int code);
    // A mouse button (the game's number: 1 left, 2 right, 4 middle) at a
    // point of the client area in twips.
    void mousePressed(int button, float x, float y);
    void mouseReleased(int button, float x, float y);
    void closed();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resized() override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void handleKey(QKeyEvent* event);
    void handleMouse(QMouseEvent* event, bool press);
    // Tells `into` the scene's layers that reach into `bounds` (pixels).
    void describeScene(ZoomedPicture& into, const QRect& bounds);

    const game::Form1& form_;
    PictureCache& pictures_;
    FontCache& fonts_;
    ShownScene shown_;  // what the window shows once the requested repaints are done
    ShownScene next_;   // room for the next one, kept to reuse its memory
    std::vector<QRect> changed_;
    BoxImages boxImages_;
    ZoomedPicture picture_;  // when zoomed
    std::vector<QRect> zoomedChanged_;
};

}  // namespace app
