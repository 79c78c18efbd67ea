#include <QApplication>
#include <cstdio>

#include "app/application.h"
#include "app/frames.h"
#include "app/shell.h"
#include "app/zoom.h"

int main(int argc, char** argv)
{
    // Qt paints at full size into windows made smaller by a scale factor
    // below 1: the game zooms its windows by that factor itself.
    app::takeOverSmallScaleFactor();
    app::setScalePolicy();
    app::sendFramesThroughTheConnection();
    QApplication application(argc, argv);
    app::setUpApplication();

    // Qt has taken its own options (-platform and the like); the game has none.
    if (QCoreApplication::arguments().size() > 1) {
        std::fputs("zorvane: the game takes no command-line arguments\n", stderr);
        return 2;
    }

    app::Shell shell;
    shell.start();
    return QApplication::exec();
}
