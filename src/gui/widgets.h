#pragma once

#include <QLabel>
#include <functional>

class QPlainTextEdit;
class QPushButton;

// Controls the windows build alike.
namespace Gui {

// A label that acts like a web link: underlined, a hand cursor, and a left click on it.
class LinkLabel : public QLabel
{
public:
    LinkLabel(const QString& text, QWidget* parent);

    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A push button with its objectName that Enter in a text box does not press.
QPushButton* button(QWidget* parent, const QString& name, const QString& text);
// A plain multi-line text box with its objectName, where Tab moves on.
QPlainTextEdit* textBox(QWidget* parent, const QString& name);

} // namespace Gui
