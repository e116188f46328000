#pragma once

#include <QLabel>
#include <functional>

class QComboBox;
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
// The label of a field, made in the field's parent and naming the field as its buddy.
QLabel* fieldLabel(const QString& text, QWidget* buddy, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter,
                   const QString& name = QString());
// A drop-down list with its objectName, as wide as the given number of characters at least.
QComboBox* dropDown(QWidget* parent, const QString& name, int minimumContentsLength = 8);
// A plain multi-line text box with its objectName, where Tab moves on.
QPlainTextEdit* textBox(QWidget* parent, const QString& name);

} // namespace Gui
