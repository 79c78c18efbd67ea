#pragma once

#include <QWidget>

#include "app/input_gate.h"

namespace game {
class Form1;
}

namespace app {

class FontCache;
class PictureCache;

// The battlefield window. The whole scene is painted by this one widget: a
// child widget per sprite could not keep up with hundreds of invaders.
class BattlefieldWidget : public QWidget {
    Q_OBJECT
public:
    BattlefieldWidget(game::Form1& form, PictureCache& pictures, FontCache& fonts, InputGate gate = {},
                      QWidget* parent = nullptr);

    // Paints the scene's part inside `area` (logical pixels of the client area).
    void paintScene(QPainter& painter, const QRect& area);

    // Tells the game the window's outer size.
    void reportOuterSize();

signals:
    void closed();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void handleKey(QKeyEvent* event);
    void handleMouse(QMouseEvent* event, bool press);

    game::Form1& form_;
    PictureCache& pictures_;
    FontCache& fonts_;
    InputGate gate_;
};

// The game's button number for a Qt button: 1 left, 2 right, 4 middle, else 0.
int gameButton(Qt::MouseButton button);

}  // namespace app
