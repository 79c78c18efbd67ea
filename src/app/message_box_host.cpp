#include "app/message_box_host.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QWidget>

namespace app {

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

}  // namespace app
