#pragma once

#include "data/reminders.h"
#include "shell/reminderclock.h"

#include <QDateTime>
#include <QList>
#include <QObject>

class QTimer;

// The one owner of time in the program. It holds the one-second timer, the day's reminders and
// snoozes, and the step over midnight: the recurring tasks' occurrences of the new day, then the
// new day's reminders, then the old day's last seconds. It says what is due and never opens a
// window: the shell connects it to the popup and the missed list. It runs from the login to the
// end of the program, whether the frame or only the tray icon is shown.
//
// Nothing it does of its own accord waits for another program's lock on the database: the time
// of the last check, the midnight catch-up and the new day's reminders are tried without
// waiting, and tried again a minute later when the file is busy.
class ReminderService : public QObject
{
    Q_OBJECT

public:
    using Due = Reminders::Due;

    static ReminderService& instance();

    // At login: the occurrences of recurring tasks up to today (a failure is reported, the user
    // is there), today's reminders, and the timer. When running already, the reminders are read
    // again and the check goes on where it was.
    void start();
    // The program ends: the time of the last check is kept (without waiting) and the timer stops.
    void stop();
    bool isRunning() const;

    // Reads today's reminders again (tasks or snoozes changed).
    void reload();
    // Says once per run which open tasks of today had their reminder while the program was closed
    // (between the last check kept in the database and now).
    void reportMissedWhileClosed();

    const ReminderClock& clock() const { return clock_; }
    QTimer* timer() const { return timer_; }

    // A tick later than this after the previous check is a jump (sleep, a busy computer, the
    // clock set ahead): of the reminders it passed over, only the last second's pop up.
    static constexpr int kOnTimeSeconds = 2;

signals:
    // Reminders whose time has come, one popup each (a task once), oldest first. Never empty.
    void due(const QList<Reminders::Due>& reminders);
    // Reminders whose second passed unseen: the program was closed, asleep or jumping. Never empty.
    void missed(const QList<Reminders::Due>& reminders);

private:
    ReminderService();
    void tick();
    // Makes the day's occurrences and reads its reminders; false when the database was busy or
    // failed (nothing changed, tried again later).
    bool stepToDay(const QDateTime& now);
    void announce(QList<Due> due, bool jumped);
    void keepLastCheck(bool now);

    ReminderClock clock_;
    QTimer* timer_;
    QDateTime lastKept_;
    QDateTime retryDayAt_; // a midnight step that met a busy file waits until then
    bool missedReported_ = false;
};
