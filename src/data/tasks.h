#pragma once

#include <QDate>
#include <QList>
#include <QTime>
#include <optional>

// Tasks (table renwu).
namespace Tasks {
// The reminder times of the tasks scheduled on the day, in table order; tasks without a time are
// left out. Empty on a database error.
std::optional<QList<QTime>> reminderTimes(const QDate& day);
} // namespace Tasks
