#include "gui/widgets.h"

#include <QComboBox>

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

Gui::LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, p.color(QPalette::Link));
    setPalette(p);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
}

void Gui::LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
        onClick();
    QLabel::mouseReleaseEvent(event);
}

QPushButton* Gui::button(QWidget* parent, const QString& name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QPlainTextEdit* Gui::textBox(QWidget* parent, const QString& name)
{
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setTabChangesFocus(true);
    return box;
}

QLabel* Gui::fieldLabel(const QString& text, QWidget* buddy, Qt::Alignment alignment, const QString& name)
{
    auto* label = new QLabel(text, buddy->parentWidget());
    if (!name.isEmpty())
        label->setObjectName(name);
    label->setAlignment(alignment);
    label->setBuddy(buddy);
    return label;
}

QComboBox* Gui::dropDown(QWidget* parent, const QString& name, int minimumContentsLength)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(minimumContentsLength);
    return combo;
}
