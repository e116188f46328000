#include "gui/clickableimage.h"

#include <QIcon>
#include <QMouseEvent>

ClickableImage::ClickableImage(const QString& iconPath, int size, const QString& toolTip, QWidget* parent)
    : QLabel(parent)
{
    setPixmap(QIcon(iconPath).pixmap(size, size));
    setToolTip(toolTip);
    setAccessibleName(toolTip);
    setAlignment(Qt::AlignCenter);
    setFixedSize(size + 8, size + 8);
    setCursor(Qt::PointingHandCursor);
    setHovered(false);
}

void ClickableImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void ClickableImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && pressed_) {
        pressed_ = false;
        event->accept();
        // Like a button: releasing outside the picture cancels the click.
        if (rect().contains(event->position().toPoint()))
            emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void ClickableImage::enterEvent(QEnterEvent* event)
{
    setHovered(true);
    QLabel::enterEvent(event);
}

void ClickableImage::leaveEvent(QEvent* event)
{
    setHovered(false);
    QLabel::leaveEvent(event);
}

void ClickableImage::setHovered(bool hovered)
{
    setStyleSheet(hovered ? QStringLiteral("background: rgba(59, 125, 216, 40); border-radius: 4px;")
                          : QStringLiteral("background: transparent;"));
}
