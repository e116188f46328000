#pragma once

#include "gui/taskstates.h"

#include <QString>

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
