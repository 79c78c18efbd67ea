#pragma once

#include <QWidget>

#include "app/input_gate.h"

class QPushButton;

namespace game {
class Menu;
}

namespace app {

class FontCache;

// The title window: three labels painted on the cyan surface and a real push
// button for Start, which holds the focus so that Enter or Space presses it.
class TitleWidget : public QWidget {
    Q_OBJECT
public:
    TitleWidget(game::Menu& menu, FontCache& fonts, InputGate gate = {}, QWidget* parent = nullptr);

    // Tells the game the window's outer size.
    void reportOuterSize();
    // Places Start where the model has it (after Form_Load has centred it).
    void placeControls();
    QPushButton* startButton() const { return start_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    game::Menu& menu_;
    FontCache& fonts_;
    InputGate gate_;
    QPushButton* start_;
};

}  // namespace app
