#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

// Tasks as iCalendar to-dos (RFC 5545 VTODO), written and parsed with libical.
//
//   IcalTask                 one task with every field that travels
//   IcalTasks::read(id), readByUid(uid), readAll()     database -> IcalTask
//   IcalTasks::write(task)   IcalTask -> database: update when the UID exists, else insert
//   IcalTasks::Writer        the same for many tasks in one transaction
//   IcalTasks::toCalendar(task | list)                IcalTask -> VCALENDAR text
//   IcalTasks::parse(text)   VCALENDAR text -> IcalTasks (VEVENTs skipped and counted; errors
//                            with the line number)
//
// The mapping:
//   UID = uid; SUMMARY = name; DESCRIPTION = description;
//   DUE = day + time as floating local time, a DATE when the task has no time;
//   STATUS = NEEDS-ACTION (open, delayed), COMPLETED (done), CANCELLED (abandoned), with the
//     exact state in X-VANTOREL-STATE;
//   PRIORITY from the quadrant (important and urgent 1, important 3, urgent 5, neither 9) and the
//     quadrant itself in X-VANTOREL-QUADRANT (1..4 in board order);
//   CATEGORIES = the theme and the goal names, also in X-VANTOREL-THEME and X-VANTOREL-GOAL so
//     that which is which survives;
//   VALARM (ACTION:DISPLAY, TRIGGER;RELATED=END:PT0S, i.e. at the due time) for the reminder;
//   RRULE for the recurring rule (FREQ=DAILY / WEEKLY;BYDAY=... / MONTHLY, INTERVAL, UNTIL), with
//     DTSTART = the rule's first day, X-VANTOREL-RULE = the rule's UID (shared by its occurrences),
//     X-VANTOREL-RULE-DAY = the day the occurrence was made for, X-VANTOREL-RULE-STOPPED:1 when
//     the rule makes no more occurrences;
//   X-VANTOREL-ORDER = the order number within the goal;
//   LAST-MODIFIED and DTSTAMP = the time of the task's last change (UTC).
// Every database function throws Db::Error when the database fails.

// The recurring rule of a task (empty `freq` when it has none).
struct IcalRule
{
    enum Freq { None = 0, Daily, Weekly, Monthly };
    int freq = None;
    int interval = 1; // every n days / weeks / months
    int weekdays = 0; // Weekly: bit 0 Monday ... bit 6 Sunday
    QDate start;      // the first day (DTSTART); null: the task's day
    QDate until;      // null: no end
    bool active = true;
    QString uid;      // shared by the occurrences of one rule; empty: the task's uid
    QDate occurrence; // the day this occurrence was made for; null: the task's day

    bool operator==(const IcalRule&) const = default;
};

struct IcalTask
{
    QString uid;
    QString name;
    QString description;
    QDate day;        // null: not scheduled
    QTime time;       // null: no time of day (a DATE)
    int state = 0;    // Tasks::State
    int quadrant = 3; // 0 important and urgent, 1 important, 2 urgent, 3 neither (Quadrant::of)
    QTime reminder;   // null: no reminder
    IcalRule rule;
    QString theme;          // name of the theme, empty for none
    QString goal;           // title of the goal, empty for none
    QStringList categories; // further CATEGORIES of a file from elsewhere (not stored)
    QVariant order = 0;     // order number within the goal
    QDateTime lastModified; // UTC; invalid: unknown
    int line = 0;           // parse: the line of its BEGIN:VTODO

    // Equality of what is stored (not the line, the extra categories or lastModified).
    bool sameContent(const IcalTask& other) const;
};

struct IcalParseResult
{
    QList<IcalTask> tasks;
    int skippedEvents = 0; // VEVENTs (and other components that are not to-dos)
    int errorLine = 0;     // 0: no error
    QString error;         // what is wrong at errorLine (Chinese, for the user)
    bool ok() const { return errorLine == 0 && error.isEmpty(); }
};

namespace IcalTasks {

std::optional<IcalTask> read(qint64 taskId);
std::optional<IcalTask> readByUid(const QString& uid);
// Every task, by id; `progress(done, total)` returning false stops and returns what was read.
QList<IcalTask> readAll(const std::function<bool(int, int)>& progress = {});

enum class Outcome { Inserted, Updated, Unchanged };
struct WriteResult
{
    Outcome outcome = Outcome::Unchanged;
    qint64 id = 0;
};
// Stores the task: updates the task of the same UID when one exists (left alone when nothing
// differs), otherwise inserts it under the goal or theme its names match (else unassigned).
// A new uid is made when it is empty. A rule is linked to the existing rule of its uid, or
// made. Call inside a transaction when writing many.
WriteResult write(const IcalTask& task);

// Writes many tasks with its statements prepared once and the names of themes and goals read
// once; the caller holds the transaction.
class Writer
{
public:
    Writer();
    ~Writer();
    WriteResult write(const IcalTask& task);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// One VCALENDAR with one VTODO per task.
QByteArray toCalendar(const IcalTask& task);
// `progress(done, total)` returning false stops and returns an empty text.
QByteArray toCalendar(const QList<IcalTask>& tasks, const std::function<bool(int, int)>& progress = {});

// Reads the to-dos of a VCALENDAR text (one or several calendars). Stops at the first fault.
IcalParseResult parse(const QByteArray& text);

// The first line of `data` that is not UTF-8, or 0 when all of it is (imports name it).
int firstBadUtf8Line(const QByteArray& data);
} // namespace IcalTasks
