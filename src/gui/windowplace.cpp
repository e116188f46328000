#include "gui/windowplace.h"

#include "gui/forms.h"
#include "gui/views.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void WindowPlace::centreOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void WindowPlace::besideFrame(QWidget* dialog)
{
    QWidget* frame = Forms::find(Views::kFrame);
    if (!frame) {
        centreOnScreen(dialog);
        return;
    }
    const QRect g = frame->frameGeometry();
    dialog->move(g.left() + g.width() / 5, g.top() + g.height() / 5);
}
