#include "app/title_widget.h"

#include <QPainter>
#include <QPushButton>

#include "app/painting/fonts.h"
#include "app/painting/primitives.h"
#include "app/painting/units.h"
#include "app/window_size.h"
#include "title/menu.h"

namespace app {

TitleWidget::TitleWidget(game::Menu& menu, FontCache& fonts, QWidget* parent)
    : QWidget(parent),
      menu_(menu),
      fonts_(fonts),
      start_(new QPushButton(QString::fromStdString(menu.cmdStart.Caption), this))
{
    setWindowTitle(QString::fromStdString(menu.Caption));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(1572, 870);  // the 23580 x 13050 twip client area
    start_->setFont(fonts_.get(menu.cmdStart.font));
    // Outside a dialog a push button ignores Enter unless it is auto-default.
    start_->setAutoDefault(true);
    start_->setDefault(true);
    start_->setFocus();
    connect(start_, &QPushButton::clicked, this, &TitleWidget::startClicked);
    placeControls();
    told_ = outerSize();
}

QSizeF TitleWidget::outerSize() const
{
    return outerSizeInTwips(*this);
}

void TitleWidget::tellOuterSize()
{
    if (takeOuterSize(*this, told_)) emit outerSizeChanged(told_);
}

void TitleWidget::placeControls()
{
    const ui::CommandButton& b = menu_.cmdStart;
    start_->setGeometry(pixelRect(b.Left, b.Top, b.Width, b.Height));
}

void TitleWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QPalette& pal = palette();
    painter.fillRect(rect(), toQColor(menu_.BackColor, pal));
    for (const ui::Label* label : menu_.labels()) paintLabel(painter, *label, fonts_.get(label->font), pal);
    QWidget::paintEvent(event);
}

void TitleWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    tellOuterSize();
}

void TitleWidget::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    tellOuterSize();
}

}  // namespace app
