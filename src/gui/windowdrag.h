#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

// Moves a borderless window dragged by its body with the left button: the window system moves
// it where it can, and the window follows the pointer by hand where it cannot. Each handler
// returns true when it took the event; the window passes the others on.
class WindowDrag
{
public:
    explicit WindowDrag(QWidget* window) : window_(window) {}

    bool press(QMouseEvent* event);
    bool move(QMouseEvent* event);
    bool release(QMouseEvent* event);

private:
    QWidget* window_;
    bool dragging_ = false;
    QPoint offset_;
};
