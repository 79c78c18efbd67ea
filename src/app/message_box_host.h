#pragma once

#include <QObject>
#include <QPointer>
#include <string>

#include "host.h"

class QWidget;

namespace app {

// Real message boxes: modal, one OK button, no icon, and the application's
// display name as their title (set explicitly: a window system that draws
// no title of its own, like Wayland with frames drawn by Qt, would show an
// empty one).
class MessageBoxHost : public QObject, public game::Host {
    Q_OBJECT
public:
    void MsgBox(const std::string& text) override;
    // The window the boxes belong to.
    void setOwner(QWidget* owner);

signals:
    // A box has been closed; the game's handler goes on from here.
    void closed();

private:
    QPointer<QWidget> owner_;
};

}  // namespace app
