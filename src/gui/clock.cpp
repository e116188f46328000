#include "gui/clock.h"

namespace {
QDateTime& fixedTime()
{
    static QDateTime t;
    return t;
}
} // namespace

QDateTime Clock::now()
{
    return fixedTime().isValid() ? fixedTime() : QDateTime::currentDateTime();
}

QDate Clock::today()
{
    return now().date();
}

void Clock::set(const QDateTime& fixed)
{
    fixedTime() = fixed;
}

void Clock::useSystem()
{
    fixedTime() = QDateTime();
}
