#include "gui/prompt.h"

#include "gui/appinfo.h"

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

static QMessageBox::Icon iconFor(QMessageBox::StandardButtons buttons, QMessageBox::Icon icon)
{
    if (icon != QMessageBox::NoIcon)
        return icon;
    if (buttons.testFlag(QMessageBox::Yes) || buttons.testFlag(QMessageBox::Cancel))
        return QMessageBox::Question;
    return QMessageBox::Warning;
}

// A box belongs to the window that asks (the active one) and blocks that window only, so that
// another window, a reminder popup say, stays usable while it waits for an answer.
static QMessageBox::StandardButton ask(QMessageBox& box)
{
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (box.parentWidget())
        box.setWindowModality(Qt::WindowModal);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton MsgBox(const QString& text, QMessageBox::StandardButtons buttons, QMessageBox::Icon icon)
{
    if (responder())
        return responder()(text, buttons);

    QMessageBox box(iconFor(buttons, icon), AppInfo::kTitle, text, buttons, QApplication::activeWindow());
    box.setDefaultButton(defaultButtonFor(buttons));
    return ask(box);
}

void setMsgBoxResponder(MsgBoxResponder r)
{
    responder() = std::move(r);
}

QMessageBox::StandardButton MsgBoxChoice(const QString& text, const QString& yesText, const QString& noText)
{
    const QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (responder())
        return responder()(text, buttons);

    QMessageBox box(QMessageBox::Question, AppInfo::kTitle, text, buttons, QApplication::activeWindow());
    box.button(QMessageBox::Yes)->setText(yesText);
    box.button(QMessageBox::No)->setText(noText);
    box.setDefaultButton(QMessageBox::Yes);
    // Closing the box (Escape, the title bar) answers neither.
    QPushButton* close = box.addButton(QMessageBox::Cancel);
    close->hide();
    box.setEscapeButton(close);
    return ask(box);
}
