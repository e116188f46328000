#pragma once

#include "data/icaltask.h"

#include <QByteArray>
#include <QString>
#include <functional>

// Data in and out in the formats other programs read: tasks as iCalendar, contacts as vCard 4.0
// (3.0 read as well), the diary and the knowledge base as Markdown files, lists as CSV. Every
// import reads the whole file first and writes it in one transaction: a fault in the file, a
// failing statement or a cancel leaves the database as it was.
namespace Exchange {

// Called now and then with (done, total); returning false cancels.
using Progress = std::function<bool(int done, int total)>;

// What an import did, or why it did nothing.
struct Summary
{
    int total = 0;
    int added = 0;
    int updated = 0;
    int skipped = 0;       // already present and the same
    int skippedEvents = 0; // calendar events, which are not tasks
    bool cancelled = false;
    QString error; // what is wrong with the file ("文件格式不正确：第 N 行 …"); empty: done
    // "导入 37 项：新增 30，更新 5，跳过重复 2" (and the skipped events, when there were any).
    QString text() const;
};

// Thrown through a transaction when the user cancels.
struct Cancelled
{
};

QByteArray exportTasks(const Progress& progress = {});
Summary importTasks(const QByteArray& ics, const Progress& progress = {});

QByteArray exportContacts(const Progress& progress = {});
Summary importContacts(const QByteArray& vcf, const Progress& progress = {});

// Writes one YYYY-MM-DD.md per diary day into the folder; the number of files, or throws
// Db::Error (also for a file that cannot be written).
int exportDiary(const QString& folder, const Progress& progress = {});
// Writes <category>/<title>.md per knowledge article (the diary left out) with a front matter.
int exportKnowledge(const QString& folder, const Progress& progress = {});
// Reads such a folder back: every .md below it becomes an article, identical ones skipped.
Summary importKnowledge(const QString& folder, const Progress& progress = {});

// A file name made safe: no separators or control characters, no leading dot, at most
// `maxBytes` of UTF-8, never empty.
QString safeFileName(const QString& name, int maxBytes = 120);

// The four lists as CSV (UTF-8 with a byte-order mark, a header row).
QByteArray csvTasks();
QByteArray csvGoals();
QByteArray csvContacts();
QByteArray csvFinance();

} // namespace Exchange
