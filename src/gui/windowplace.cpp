#include "gui/windowplace.h"

#include "gui/forms.h"
#include "gui/views.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

QRect WindowPlace::workArea(const QWidget* window)
{
    QScreen* screen = window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void WindowPlace::keepOnScreen(QWidget* window)
{
    const QRect area = workArea(window);
    if (area.isEmpty())
        return;
    const QRect frame = window->frameGeometry();
    // The title bar first: a window larger than the room left by the panels starts at its top-left.
    const int left = std::max(area.left(), std::min(frame.left(), area.x() + area.width() - frame.width()));
    const int top = std::max(area.top(), std::min(frame.top(), area.y() + area.height() - frame.height()));
    if (left != frame.left() || top != frame.top())
        window->move(window->pos() + QPoint(left - frame.left(), top - frame.top()));
}

void WindowPlace::centreOnScreen(QWidget* window)
{
    // The room the desktop's panels leave, not the whole screen.
    const QRect area = workArea(window);
    if (area.isEmpty())
        return;
    const QSize size = window->frameGeometry().size();
    window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
    keepOnScreen(window);
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
    keepOnScreen(dialog);
}
