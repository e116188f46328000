#pragma once

#include "data/tasks.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

// Today's tasks as the desktop task bar lists them. Throws Db::Error when the database fails.
namespace TaskBar {

struct Row
{
    qint64 id = 0;
    QString title;
    QTime time; // null: no reminder
    Tasks::State state = Tasks::Open;
};

// The tasks of the day by reminder time (those without one first), then in the order added.
QList<Row> ofDay(const QDate& day);

} // namespace TaskBar
