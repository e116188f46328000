#include "gui/windowdrag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

bool WindowDrag::press(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    event->accept();
    if (QWindow* handle = window_->windowHandle(); handle && handle->startSystemMove())
        return true;
    dragging_ = true;
    offset_ = event->globalPosition().toPoint() - window_->pos();
    return true;
}

bool WindowDrag::move(QMouseEvent* event)
{
    if (!dragging_ || !(event->buttons() & Qt::LeftButton))
        return false;
    window_->move(event->globalPosition().toPoint() - offset_);
    event->accept();
    return true;
}

bool WindowDrag::release(QMouseEvent* event)
{
    if (!dragging_ || event->button() != Qt::LeftButton)
        return false;
    dragging_ = false;
    event->accept();
    return true;
}
