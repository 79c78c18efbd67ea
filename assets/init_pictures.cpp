#include "init_pictures.h"

#include <QtCore/QtGlobal>

// Q_INIT_RESOURCE declares a function at global scope, so it must not be
// used inside a namespace.
void zorvaneInitPictures()
{
    Q_INIT_RESOURCE(pictures);
}
