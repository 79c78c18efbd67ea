#pragma once

#include <QSizeF>
#include <QWidget>

#include "app/painting/zoomed_picture.h"
#include "app/zoom.h"

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
class TitleWidget : public QWidget {
    Q_OBJECT
public:
    TitleWidget(const game::Menu& menu, FontCache& fonts, QWidget* parent = nullptr);

    // The window's outer size in twips, as far as the window system has told.
    QSizeF outerSize() const;
    // Places Start where the model has it (after Form_Load has centred it).
    void placeControls();
    QPushButton* startButton() const { return start_; }
    Zoom zoom() const { return zoom_.zoom(); }

    void setVisible(bool visible) override;

signals:
    void startClicked();
    // The outer size (twips) differs from the one last told.
    void outerSizeChanged(QSizeF twips);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void tellOuterSize();

    const game::Menu& menu_;
    FontCache& fonts_;
    QPushButton* start_;
    WindowZoom zoom_;
    QSizeF told_;
    ZoomedPicture picture_;
};

}  // namespace app
