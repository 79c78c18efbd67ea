#include "app/shell.h"

#include <QApplication>
#include <QTimer>

#include "app/battlefield_widget.h"
#include "app/title_widget.h"
#include "battlefield/pictures.h"

namespace app {

namespace {

// What the window system tells of a window's outer size (twips), as the game's input.
game::Input titleSize(QSizeF outer)
{
    return game::Input::titleSize(static_cast<float>(outer.width()), static_cast<float>(outer.height()));
}

game::Input fieldSize(QSizeF outer)
{
    return game::Input::fieldSize(static_cast<float>(outer.width()), static_cast<float>(outer.height()));
}

}  // namespace

Shell::Shell(RealTimeDriver::Clock clock, PictureCache::Loader pictures, double zoom)
    : program_(host_), pictures_(std::move(pictures)), zooms_(zoom), driver_(program_.scheduler(), std::move(clock))
{
    PictureCache::registerResources();
    title_ = std::make_unique<TitleWidget>(program_.menu(), fonts_, zooms_);
    // The title window has no icon of its own: it shows the mage as well.
    if (const QPixmap* icon = pictures_.find(game::pictures::kMageIcon)) QApplication::setWindowIcon(QIcon(*icon));

    connect(&driver_, &RealTimeDriver::due, this, &Shell::tick);
    connect(&host_, &MessageBoxHost::closed, this, &Shell::messageBoxClosed);
    connect(title_.get(), &TitleWidget::startClicked, this, [this] { play(game::Input::start()); });
    connect(title_.get(), &TitleWidget::outerSizeChanged, this, [this](QSizeF outer) { play(titleSize(outer)); });
}

Shell::~Shell() = default;

void Shell::makeBattlefield(const game::Form1& form)
{
    battlefield_ = std::make_unique<BattlefieldWidget>(form, pictures_, fonts_, zooms_);
    BattlefieldWidget* field = battlefield_.get();
    host_.setOwner(field);
    play(fieldSize(field->outerSize()));

    connect(field, &BattlefieldWidget::keyPressed, this, [this](int code) { play(game::Input::keyDown(code)); });
    connect(field, &BattlefieldWidget::keyReleased, this, [this](int code) { play(game::Input::keyUp(code)); });
    connect(field, &BattlefieldWidget::mousePressed, this, [this](int button, float x, float y) {
        play(game::Input::mouseDown(static_cast<std::int16_t>(button), x, y));
    });
    connect(field, &BattlefieldWidget::mouseReleased, this, [this](int button, float x, float y) {
        play(game::Input::mouseUp(static_cast<std::int16_t>(button), x, y));
    });
    connect(field, &BattlefieldWidget::outerSizeChanged, this, [this](QSizeF outer) { play(fieldSize(outer)); });
    connect(field, &BattlefieldWidget::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void Shell::start()
{
    driver_.start();
    // The title centres its texts on half the outer width. Before the window
    // is shown no frame is known, so that is the client width: the texts end
    // up centred in the client area, whatever frame the window manager adds.
    program_.apply(program_.now(), titleSize(title_->outerSize()));
    program_.startUp();
    title_->placeControls();
    play(game::Input::time());
    // Decode the battlefield's pictures while the title is up, so that its
    // first frame does not come late while its timers already run.
    QTimer::singleShot(0, this, [this] {
        using namespace game::pictures;
        for (const char* image : {kMageLeft, kMageRight, kMageFireLeft, kMageFireRight, kMageLightning, kInvader,
                                  kIconFire, kIconIce, kIconLightning, kLifeHat, kCastle, kMageIcon})
            pictures_.find(image);
    });
}

void Shell::play(const game::Input& input)
{
    // The clock is brought up to the present first: a timer that the input
    // switches on starts its interval now, not at the last tick.
    const std::optional<std::int64_t> present = playing_ ? std::nullopt : driver_.present();
    if (!present) {
        program_.apply(program_.now(), input);
        return;
    }
    playing_ = true;
    program_.apply(*present, input);
    driver_.rearm();
    follow();
    playing_ = false;
}

void Shell::tick()
{
    play(game::Input::time());
}

void Shell::follow()
{
    const game::Form1* form = program_.form1IfCreated();
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
