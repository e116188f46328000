#pragma once

#include <QDate>
#include <QDateTime>

// The one source of the current time. Tests fix it with set(); timers keep ticking and read it.
namespace Clock {
QDateTime now();
QDate today();
void set(const QDateTime& fixed);
void useSystem();
} // namespace Clock
