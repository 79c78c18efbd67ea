#include "app/shell.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "app/battlefield_widget.h"
#include "app/title_widget.h"
#include "battlefield/pictures.h"

namespace app {

namespace {

// What the window system tells of a window's outer size (twips), into the model.
template <typename Window>
void setOuterSize(Window& window, QSizeF outer)
{
    window.Width = static_cast<float>(outer.width());
    window.Height = static_cast<float>(outer.height());
}

}  // namespace

void MessageBoxHost::setOwner(QWidget* owner)
{
    owner_ = owner;
}

void MessageBoxHost::MsgBox(const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), QString::fromStdString(text),
                    QMessageBox::Ok, owner_);
    // The game waits for the player's OK before its handler goes on, so this
    // has to be the blocking kind of dialog.
    box.exec();
    emit closed();
}

Shell::Shell(RealTimeDriver::Clock clock, PictureCache::Loader pictures)
    : program_(host_), pictures_(std::move(pictures)), driver_(program_.scheduler(), std::move(clock))
{
    PictureCache::registerResources();
    title_ = std::make_unique<TitleWidget>(program_.menu(), fonts_);
    // The title window has no icon of its own: it shows the mage as well.
    if (const QPixmap* icon = pictures_.find(game::pictures::kMageIcon)) QApplication::setWindowIcon(QIcon(*icon));

    connect(&driver_, &RealTimeDriver::due, this, &Shell::tick);
    connect(&host_, &MessageBoxHost::closed, this, &Shell::messageBoxClosed);
    game::Menu& menu = program_.menu();
    connect(title_.get(), &TitleWidget::startClicked, this,
            [this, &menu] { play([&menu] { menu.cmdStart_Click(); }); });
    connect(title_.get(), &TitleWidget::outerSizeChanged, this,
            [this, &menu](QSizeF outer) { play([&menu, outer] { setOuterSize(menu, outer); }); });
}

Shell::~Shell() = default;

void Shell::makeBattlefield(game::Form1& form)
{
    battlefield_ = std::make_unique<BattlefieldWidget>(form, pictures_, fonts_);
    BattlefieldWidget* field = battlefield_.get();
    host_.setOwner(field);
    setOuterSize(form, field->outerSize());

    connect(field, &BattlefieldWidget::keyPressed, this,
            [this, &form](int code) { play([&form, code] { form.sendKeyDown(code); }); });
    connect(field, &BattlefieldWidget::keyReleased, this,
            [this, &form](int code) { play([&form, code] { form.sendKeyUp(code); }); });
    connect(field, &BattlefieldWidget::mousePressed, this, [this, &form](int button, float x, float y) {
        play([&form, button, x, y] { form.sendMouseDown(static_cast<std::int16_t>(button), x, y); });
    });
    connect(field, &BattlefieldWidget::mouseReleased, this, [this, &form](int button, float x, float y) {
        play([&form, button, x, y] { form.sendMouseUp(static_cast<std::int16_t>(button), x, y); });
    });
    connect(field, &BattlefieldWidget::outerSizeChanged, this,
            [this, &form](QSizeF outer) { play([&form, outer] { setOuterSize(form, outer); }); });
    connect(field, &BattlefieldWidget::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void Shell::start()
{
    driver_.start();
    // The title centres its texts on half the outer width. Before the window
    // is shown no frame is known, so that is the client width: the texts end
    // up centred in the client area, whatever frame the window manager adds.
    setOuterSize(program_.menu(), title_->outerSize());
    program_.startUp();
    title_->placeControls();
    play([] {});
    // Decode the battlefield's pictures while the title is up, so that its
    // first frame does not come late while its timers already run.
    QTimer::singleShot(0, this, [this] {
        using namespace game::pictures;
        for (const char* image : {kMageLeft, kMageRight, kMageFireLeft, kMageFireRight, kMageLightning, kInvader,
                                  kIconFire, kIconIce, kIconLightning, kLifeHat, kCastle, kMageIcon})
            pictures_.find(image);
    });
}

template <typename Event>
void Shell::play(Event&& event)
{
    // Bring the clock up to the present first: a timer that the event
    // switches on starts its interval now, not at the last tick.
    if (playing_ || !driver_.advance()) {
        event();
        return;
    }
    playing_ = true;
    event();
    driver_.rearm();
    follow();
    playing_ = false;
}

void Shell::tick()
{
    play([] {});
}

void Shell::follow()
{
    game::Form1* form = program_.form1IfCreated();
    if (form && form->Visible) {
        if (!battlefield_) makeBattlefield(*form);
        if (!battlefield_->isVisible()) {
            battlefield_->show();
            giveBackFocus();
        }
        battlefield_->showChanges();
    } else if (battlefield_ && battlefield_->isVisible()) {
        battlefield_->hide();
    }
    // The battlefield comes up before the title goes, as Start does it.
    if (program_.menu().Visible != title_->isVisible()) title_->setVisible(program_.menu().Visible);
}

void Shell::messageBoxClosed()
{
    // While the box was up the battlefield may have been painted from the
    // middle of a game handler: the next follow repaints all of it.
    if (battlefield_) battlefield_->forgetShown();
    giveBackFocus();
}

void Shell::giveBackFocus()
{
    if (!battlefield_ || !battlefield_->isVisible()) return;
    // Without a window manager nobody hands the focus back when a message box
    // closes, and the mage would stop hearing the keys.
    battlefield_->activateWindow();
    battlefield_->setFocus(Qt::ActiveWindowFocusReason);
}

}  // namespace app
