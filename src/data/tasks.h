#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>
#include <QVariant>
#include <optional>

// Tasks (table renwu). Every function throws Db::Error when the database fails.
namespace Tasks {

enum State { Open = 0, Done = 1, Abandoned = 2, Delayed = 3 };
// A recurring task is an occurrence made from a rule; a one-off task stands alone.
enum Kind { Recurring = 0, OneOff = 1 };

struct Task
{
    qint64 id = 0;
    QString title;
    QString content;
    qint64 goal = 0;   // 0 for none
    qint64 theme = 0;  // 0 for none
    int important = 0; // 1 important, 0 ordinary
    int urgent = 0;    // 1 urgent, 0 normal
    Kind kind = OneOff;
    QVariant order = 0; // order number within the goal (integer or decimal)
    QDate day;          // null: not scheduled
    QTime time;         // null: no reminder
    State state = Open;
};

// The order number typed by the user as a number to store (an integer when it has no fraction),
// or an invalid QVariant when the text is not a number ("", ".", "1.2.3", "-1").
QVariant orderNumber(const QString& text);
// The stored order number as the user would type it ("3", "2.5").
QString orderText(const QVariant& order);

// The reminder times of the tasks scheduled on the day, in table order; tasks without a time are
// left out.
QList<QTime> reminderTimes(const QDate& day);

// The tasks of a day: those without a time first, then by time, then by name.
QList<Task> ofDay(const QDate& day);

// Open tasks of days before `today` that can move to `today`, and moving them, in one statement.
// A left-over occurrence of a recurring task stays on its day when its rule already has a task
// on `today` or a later left-over: today never gets two rows of the same rule.
int overdueCount(const QDate& today);
void moveOverdueTo(const QDate& today);
// Whether the user was asked about moving left-over tasks on `today`, and recording that.
bool overdueAskedOn(const QDate& today);
void markOverdueAsked(const QDate& today);

std::optional<Task> load(qint64 id); // empty when the task does not exist
bool exists(qint64 id);

qint64 insert(const Task& task);
// Writes everything the task editor changes: title, content, order, day, time, goal, theme,
// importance, urgency and kind. The state is left alone.
void update(const Task& task);
void setState(qint64 id, int state);
void setContent(qint64 id, const QString& content);
void setTitleAndContent(qint64 id, const QString& title, const QString& content);
void remove(qint64 id);

// How many tasks belong to the goal (0: tasks without a goal).
int countOfGoal(qint64 goalId);

// The task of the day whose reminder time is the latest not after `time`, whatever its state
// (the newest of several at that time).
std::optional<Task> latestDue(const QDate& day, const QTime& time);
// The first open task of the day by time (the newest of several at that time).
std::optional<Task> firstOpen(const QDate& day);

} // namespace Tasks
