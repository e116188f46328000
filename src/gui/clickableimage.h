#pragma once

#include <QLabel>

// A picture that acts like a button: a left click on it emits clicked().
class ClickableImage : public QLabel
{
    Q_OBJECT

public:
    ClickableImage(const QString& iconPath, int size, const QString& toolTip, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setHovered(bool hovered);

    bool pressed_ = false;
};
