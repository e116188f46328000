#include "gui/helpers.h"

#include <QBrush>
#include <QColor>
#include <QTreeWidget>
#include <QWidget>

void ShowStatusText(QTreeWidget* list, int column)
{
    if (!list || column < 0 || column >= list->columnCount())
        return;
    const int columns = list->columnCount();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        const QString text = row->text(column);
        for (const TaskStates::Look& s : TaskStates::all()) {
            if (text == QString::number(s.state)) {
                row->setText(column, s.word);
                break;
            }
        }
        for (const TaskStates::Look& s : TaskStates::all()) {
            if (row->text(column) == s.word && s.listColour.isValid()) {
                for (int c = 1; c < columns; ++c)
                    row->setForeground(c, QBrush(s.listColour));
                break;
            }
        }
    }
}

bool IsNumberText(const QString& text)
{
    for (QChar ch : text) {
        if (!(ch.isDigit() && ch.unicode() < 128) && ch != QLatin1Char('.'))
            return false;
    }
    return true;
}

void Class1::zhiqian(QWidget* window)
{
    if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        return;
    const bool visible = window->isVisible();
    const QRect geometry = window->geometry();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (visible) {
        window->setGeometry(geometry);
        window->show();
    }
}
