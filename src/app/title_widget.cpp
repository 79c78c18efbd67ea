#include "app/title_widget.h"

#include <QPainter>
#include <QPushButton>

#include "app/fonts.h"
#include "app/painting.h"
#include "app/window_size.h"
#include "title/menu.h"

namespace app {

TitleWidget::TitleWidget(game::Menu& menu, FontCache& fonts, InputGate gate, QWidget* parent)
    : QWidget(parent),
      menu_(menu),
      fonts_(fonts),
      gate_(std::move(gate)),
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
    connect(start_, &QPushButton::clicked, this, [this] {
        gate_.enter();
        menu_.cmdStart_Click();
        gate_.leave();
    });
    placeControls();
}

void TitleWidget::reportOuterSize()
{
    const QSizeF outer = outerSizeInTwips(*this);
    menu_.Width = static_cast<float>(outer.width());
    menu_.Height = static_cast<float>(outer.height());
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
    for (const ui::Label* label : {&menu_.lblWelcome, &menu_.lblInstructions, &menu_.lblControls})
        paintLabel(painter, *label, fonts_.get(label->font), pal);
    QWidget::paintEvent(event);
}

void TitleWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    reportOuterSize();
}

void TitleWidget::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    reportOuterSize();
}

}  // namespace app
