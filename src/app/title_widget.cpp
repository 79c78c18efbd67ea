#include "app/title_widget.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "app/painting/fonts.h"
#include "app/painting/primitives.h"
#include "app/painting/units.h"
#include "title/menu.h"

namespace app {

TitleWidget::TitleWidget(const game::Menu& menu, FontCache& fonts, WindowZooms& zooms, QWidget* parent)
    : GameWindow(QSize(1572, 870), zooms, parent),  // the 23580 x 13050 twip client area
      menu_(menu),
      fonts_(fonts),
      start_(new QPushButton(QString::fromStdString(menu.cmdStart.Caption), this))
{
    setWindowTitle(QString::fromStdString(menu.Caption));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Outside a dialog a push button ignores Enter unless it is auto-default.
    start_->setAutoDefault(true);
    start_->setDefault(true);
    start_->setFocus();
    connect(start_, &QPushButton::clicked, this, &TitleWidget::startClicked);
    connect(&zoom_, &WindowZoom::zoomChanged, this, [this] {
        placeControls();
        update();
    });
    placeControls();
}

void TitleWidget::placeControls()
{
    const ui::CommandButton& b = menu_.cmdStart;
    start_->setGeometry(zoom_.toZoomed(pixelRect(b.Left, b.Top, b.Width, b.Height)));
    QFont font = fonts_.get(b.font);
    if (!zoom_.zoom().full())
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * zoom_.zoom().factor()))));
    start_->setFont(font);
}

void TitleWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QPalette& pal = palette();
    auto paintLabels = [&](QPainter& p, const QRect& area) {
        p.fillRect(area, toQColor(menu_.BackColor, pal));
        for (const ui::Label* label : menu_.labels()) paintLabel(p, *label, fonts_.get(label->font), pal);
    };
    if (zoom_.zoom().full()) {
        paintLabels(painter, rect());
    } else {
        // The title paints seldom: the labels are painted afresh each time.
        picture_.fit(size(), zoom_.zoom(), devicePixelRatioF());
        picture_.paint(
            painter, event->region(), [](ZoomedPicture&, const QRect&) {},
            [&](QPainter& full, const QRegion&) { paintLabels(full, picture_.area()); });
    }
    QWidget::paintEvent(event);
}

}  // namespace app
