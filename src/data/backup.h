#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Copies of the main database in the folder backup/ beside it. A copy is written by SQLite's online
// backup from a consistent state of the file (on a connection of its own, so it may run on a
// worker thread while the program goes on), checked with quick_check before it counts, and only
// then given its name. Every function here throws Db::Error with the text for the user.
namespace Backup {

struct Copy
{
    QString path;
    QDate day;         // from the file's name
    QDateTime written; // the file's modification time
    qint64 size = 0;   // bytes
};

// The folder of the copies of a database: backup/ beside it.
QString folderFor(const QString& databasePath);

// The copies in a folder, newest first. Files that are not copies are left out.
QList<Copy> list(const QString& folder);
// Whether a copy of that day is there already.
bool hasCopyOf(const QString& folder, const QDate& day);

// Writes a checked copy of the database into the folder (created when missing) and returns its
// path. The day's first copy is named mylive-YYYY-MM-DD.dc, a later one of the same day gets the
// time as well, so no copy ever replaces another. `now` becomes the copy's modification time.
QString makeCopy(const QString& databasePath, const QString& folder, const QDateTime& now);

// A checked copy of the database at a path of the user's choice (replacing what is there). A
// path that names the database file itself, by whatever way, is refused.
void exportCopy(const QString& databasePath, const QString& target);

// Whether two paths name the same file (device and inode), however they are written.
bool isSameFile(const QString& a, const QString& b);

// Whether a file is an intact database (quick_check); false for anything unreadable.
bool isIntact(const QString& file);

// The copies to delete so that there remain: every copy of the last 7 days, the newest of each
// calendar week (Monday to Sunday) for the 4 weeks before them, and the newest of each calendar
// month for 12 months. The newest copy of all always stays.
QList<Copy> expired(const QList<Copy>& copies, const QDate& today);
// Deletes the expired copies of a folder; returns the paths deleted.
QStringList rotate(const QString& folder, const QDate& today);

// Puts a copy in the database's place, in two steps. The first may run on any thread: the copy
// is written beside the database and goes through the start-up check (Store::checkCandidate: a
// damaged copy, another program's database or a newer build's is refused and nothing changes; an
// older copy is migrated), and the current file is itself copied into `safetyFolder`. The second, once
// every connection to the database is closed, renames the prepared file over the database.
struct PreparedRestore
{
    QString partial; // the restored file beside the database, not yet in its place
    QString safety;  // the copy of the data being replaced
};
PreparedRestore prepareRestore(const QString& copy, const QString& databasePath, const QString& safetyFolder,
                               const QDateTime& now);
void completeRestore(const PreparedRestore& prepared, const QString& databasePath);

// Removes what interrupted copies, restores and first starts left behind (hidden files named by
// this program only) beside the database and in its backup folder. Only while the program's lock
// on the folder is held.
void removeLeftovers(const QString& databasePath);

// The newest copy in the folder that passes its check, or empty. With `today` given, a copy
// named after a later day (made while the clock was ahead) is never chosen.
QString newestIntact(const QString& folder, const QDate& today = {});

// Replaces a damaged database with a copy: the damaged file is kept beside under a new name
// (returned), never deleted; its journal goes with it.
QString replaceDamaged(const QString& copy, const QString& databasePath, const QDateTime& now);

} // namespace Backup
