#pragma once

#include <QColor>
#include <QString>

// The colours of task states in lists, each at least 4.5:1 against a white background so the
// words stay readable.
namespace StateColour {
inline const QColor kDone{0x1a, 0x7f, 0x37};    // finished: dark green
inline const QColor kRed{0xc6, 0x28, 0x28};     // abandoned in the menus, late, the current task
inline const QColor kBlue{0x00, 0x00, 0xff};    // abandoned in the lists
inline const QColor kPlanned{0x57, 0x60, 0x6a}; // an occurrence not made yet
} // namespace StateColour

class QTreeWidget;

// Turns the task-state codes in one column of a report list into the words of TaskStates and
// colours the rows in their list colours ("2" becomes 已经放弃 in blue). Other texts, the words
// themselves included, stay as they are, so a second run changes nothing. Column 0 is never coloured.
void ShowStatusText(QTreeWidget* list, int column);

// True when the text is made only of the characters "0123456789." (the empty text included).
bool IsNumberText(const QString& text);

// Keeps a window above all normal windows without moving, resizing, showing or hiding it.
class Class1
{
public:
    static void zhiqian(class QWidget* window);
};
