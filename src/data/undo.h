#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

// Undo of deletions. A deletion runs inside Undo::record: for as long as it runs, temporary
// triggers on the connection record the inverse of every change it makes: each deleted row as it
// was, in a temporary table beside its own (the INSERT that brings it back reads it from there),
// and each moved balance as the amount that moves it back (an UPDATE), together with the rows the
// deleted ones belong to. Undoing a deletion replays its inverses in one transaction. The record
// lives as long as the connection (the session) and holds the last 20 deletions.
namespace Undo {

inline constexpr int kDepth = 20;

// How many rows of one table a deletion removed.
struct Count
{
    QString table;
    int rows = 0;
};

struct Step
{
    qint64 id = 0;       // 0: nothing was deleted
    QList<Count> counts; // parents before children; tables the user never sees are left out
    QStringList tables;  // every table the deletion or its undo changes
};

// Runs a deletion as one transaction and records how to undo it. Inside another recording it
// joins that one. Returns the recorded step (id 0 when nothing was deleted).
Step record(const std::function<void()>& work);

// The step the last finished record() made (id 0 when it deleted nothing).
Step lastRecorded();

enum class Result {
    Done,
    Nothing,    // no such deletion (undone already, or older than the last 20)
    ParentGone, // a row the deleted rows belong to has been deleted since; nothing changed
    Conflict,   // the rows cannot go back as they were (a name taken since); nothing changed
};

struct Outcome
{
    Result result = Result::Nothing;
    Step step;
    QString missingTable; // with ParentGone: the table of the missing row
};

// Undoes one deletion (the newest when `stepId` is 0), all of it or nothing.
Outcome undo(qint64 stepId = 0);

} // namespace Undo
