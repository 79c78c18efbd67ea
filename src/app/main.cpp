#include <QApplication>
#include <cstdio>

#include "app/fonts.h"
#include "app/shell.h"

int main(int argc, char** argv)
{
    // Pixel art wants whole-number scale factors: at 1.5 nearest-neighbour
    // scaling gives uneven one- and two-pixel cells. 2.0 stays 2.0, and the
    // environment (QT_SCALE_FACTOR_ROUNDING_POLICY) still overrides this.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zorvane"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.zorvane.Zorvane"));

    // Qt has taken its own options (-platform and the like); the game has none.
    if (QCoreApplication::arguments().size() > 1) {
        std::fputs("zorvane: the game takes no command-line arguments\n", stderr);
        return 2;
    }

    app::installFontSubstitutes();
    app::Shell shell;
    shell.start();
    return QApplication::exec();
}
