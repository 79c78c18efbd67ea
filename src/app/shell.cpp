#include "app/shell.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "app/battlefield_widget.h"
#include "app/title_widget.h"
#include "battlefield/pictures.h"

namespace app {

void MessageBoxHost::MsgBox(const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString(), QString::fromStdString(text), QMessageBox::Ok,
                    owner ? owner() : nullptr);
    // The game waits for the player's OK before its handler goes on, so this
    // has to be the blocking kind of dialog.
    box.exec();
    if (closed) closed();
}

Shell::Shell(RealTimeDriver::Clock clock, PictureCache::Loader pictures)
    : program_(host_), pictures_(std::move(pictures)), driver_(program_.scheduler(), std::move(clock))
{
    PictureCache::registerResources();
    host_.owner = [this]() -> QWidget* { return battlefield_.get(); };
    host_.closed = [this] { giveBackFocus(); };
    driver_.afterAdvance = [this] { follow(); };
    title_ = std::make_unique<TitleWidget>(program_.menu(), fonts_, gate());
    // The title window has no icon of its own: it shows the mage as well.
    if (const QPixmap* icon = pictures_.find(game::pictures::kMageIcon)) QApplication::setWindowIcon(QIcon(*icon));
}

Shell::~Shell() = default;

InputGate Shell::gate()
{
    return InputGate{[this] { beforeInput(); }, [this] { afterInput(); }};
}

void Shell::start()
{
    driver_.start();
    // The title centres its texts on half the outer width. Before the window
    // is shown no frame is known, so that is the client width: the texts end
    // up centred in the client area, whatever frame the window manager adds.
    title_->reportOuterSize();
    program_.startUp();
    title_->placeControls();
    follow();
    // Decode the battlefield's pictures while the title is up, so that its
    // first frame does not come late while its timers already run.
    QTimer::singleShot(0, qApp, [this] {
        using namespace game::pictures;
        for (const char* image : {kMageLeft, kMageRight, kMageFireLeft, kMageFireRight, kMageLightning, kInvader,
                                  kIconFire, kIconIce, kIconLightning, kLifeHat, kCastle, kMageIcon})
            pictures_.find(image);
    });
}

void Shell::beforeInput()
{
    driver_.catchUp();
}

void Shell::afterInput()
{
    follow();
    driver_.catchUp();
}

void Shell::follow()
{
    game::Form1* form = program_.form1IfCreated();
    if (form && form->Visible) {
        if (!battlefield_) {
            battlefield_ = std::make_unique<BattlefieldWidget>(*form, pictures_, fonts_, gate());
            QObject::connect(battlefield_.get(), &BattlefieldWidget::closed, qApp, &QCoreApplication::quit,
                             Qt::QueuedConnection);
            battlefield_->reportOuterSize();
        }
        if (!battlefield_->isVisible()) {
            battlefield_->show();
            giveBackFocus();
        }
        battlefield_->update();
    } else if (battlefield_ && battlefield_->isVisible()) {
        battlefield_->hide();
    }
    // The battlefield comes up before the title goes, as Start does it.
    if (program_.menu().Visible != title_->isVisible()) title_->setVisible(program_.menu().Visible);
}

void Shell::giveBackFocus()
{
    // Without a window manager nobody hands the focus back when a message box
    // closes, and the mage would stop hearing the keys.
    if (!battlefield_ || !battlefield_->isVisible()) return;
    battlefield_->activateWindow();
    battlefield_->setFocus(Qt::ActiveWindowFocusReason);
}

}  // namespace app
