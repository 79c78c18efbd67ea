#pragma once

#include "app/game_window.h"
#include "app/painting/zoomed_picture.h"

class QPushButton;

namespace game {
class Menu;
}

namespace app {

class FontCache;

// The title window: three labels painted on the cyan surface and a real push
// button for Start, which holds the focus so that Enter or Space presses it.
// It reads the model to paint it and tells what happens to it through its
// signals. Zoomed on a small screen (WindowZoom), the labels are painted at
// full size and scaled down, and Start is placed and lettered at the zoom.
class TitleWidget : public GameWindow {
    Q_OBJECT
public:
    TitleWidget(const game::Menu& menu, FontCache& fonts, WindowZooms& zooms, QWidget* parent = nullptr);

    // Places Start where the model has it (after Form_Load has centred it).
    void placeControls();
    QPushButton* startButton() const { return start_; }

signals:
    void startClicked();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const game::Menu& menu_;
    FontCache& fonts_;
    QPushButton* start_;
    ZoomedPicture picture_;
};

}  // namespace app
