#pragma once

#include "data/tasks.h"

#include <QDate>
#include <optional>

// Recurring tasks: a rule (table chongfu) and its occurrences, ordinary renwu rows linked to
// the rule by renwu.chongfu and the day they were made for (renwu.cfday, unique per rule, so no
// day is ever made twice even when the task is moved to another day). Every function throws
// Db::Error when the database fails.
namespace Recurrence {

enum Frequency { Daily = 0, Workdays = 1, Weekly = 2, Monthly = 3, EveryNDays = 4 };

struct Rule
{
    qint64 id = 0;
    Tasks::Task pattern; // name, description, levels, theme, goal, order and time
    Frequency frequency = Daily;
    int weekdays = 0; // Weekly: bit 0 Monday ... bit 6 Sunday
    int every = 2;    // EveryNDays: the step in days
    QDate start;      // the first occurrence's day; Monthly repeats its day of month
    QDate until;      // null: no end
    QDate last;       // the last day occurrences were made up to
    bool active = true;
};

// The oldest day a generation reaches back to, counted with today.
constexpr int kCatchUpDays = 31;

// Whether the rule gives an occurrence on the day (the start day and "until" included).
bool fallsOn(const Rule& rule, const QDate& day);

// Stores the rule and links the task, its first occurrence on the rule's start day.
qint64 create(const Rule& rule, qint64 firstTaskId);

// Makes the occurrences of every active rule for the days after the last one made up to
// `today` (at most the last kCatchUpDays days), in one transaction. Returns how many were made.
int generate(const QDate& today);

// The occurrences the active rules will make on `day`, not made yet: each rule's pattern task
// (no id), dated `day`, by time of day. Days before `today` get none.
QList<Tasks::Task> planned(const QDate& day, const QDate& today);

// The rule of an occurrence, when it has one that is still active.
std::optional<Rule> activeRuleOf(qint64 taskId);
std::optional<Rule> rule(qint64 ruleId);

// Ends the rule: no more occurrences are made; those made stay.
void stop(qint64 ruleId);

// Changes the rule to the edited task and its settings, and carries the edit to the open
// occurrences after `fromDay` (the edited one is updated with Tasks::update by the caller).
void changeFuture(const Rule& rule, const QDate& fromDay);

} // namespace Recurrence
