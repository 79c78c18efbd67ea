#include <QApplication>
#include <cstdio>

#include "app/application.h"
#include "app/shell.h"

int main(int argc, char** argv)
{
    const double zoom = app::setUpBeforeApplication();
    QApplication application(argc, argv);
    app::setUpApplication();

    // Qt has taken its own options (-platform and the like); the game has none.
    if (QCoreApplication::arguments().size() > 1) {
        std::fputs("zorvane: the game takes no command-line arguments\n", stderr);
        return 2;
    }

    app::Shell shell({}, &app::PictureCache::fromResources, zoom);
    shell.start();
    return QApplication::exec();
}
