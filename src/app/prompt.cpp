#include "app/prompt.h"

#include "app/appinfo.h"

#include <QApplication>
#include <QPushButton>

namespace {
MsgBoxResponder& responder()
{
    static MsgBoxResponder r;
    return r;
}

QMessageBox::StandardButton defaultButtonFor(QMessageBox::StandardButtons buttons)
{
    for (auto b : {QMessageBox::Ok, QMessageBox::Yes}) {
        if (buttons.testFlag(b))
            return b;
    }
    return QMessageBox::NoButton;
}
} // namespace

QMessageBox::StandardButton MsgBox(const QString& text, QMessageBox::StandardButtons buttons)
{
    if (responder())
        return responder()(text, buttons);

    QMessageBox box(QMessageBox::NoIcon, AppInfo::kTitle, text, buttons, QApplication::activeWindow());
    if (buttons.testFlag(QMessageBox::Yes) || buttons.testFlag(QMessageBox::Cancel))
        box.setIcon(QMessageBox::Question);
    else
        box.setIcon(QMessageBox::Information);
    box.setDefaultButton(defaultButtonFor(buttons));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void setMsgBoxResponder(MsgBoxResponder r)
{
    responder() = std::move(r);
}
