#pragma once

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

// The login passwords (table "user") and the count of wrong guesses. Row 2 is the first-run
// marker, never a password. Passwords are stored as hashes (data/passwords.h); the slow hashing
// itself is left to the caller, so that it can run off the window's thread.
namespace Users {
constexpr int kMarkerId = 2;
// The password of the sample data of a new database.
inline const QString kSamplePassword = QStringLiteral("123456");

struct Stored
{
    qint64 id = 0;
    QString value; // a hash, or a plain password from an older file
};

// The stored passwords (every row but the marker).
QList<Stored> stored();

// Whether the password (already trimmed) is one of the stored passwords. Slow: see findMatch.
bool passwordMatches(const QString& password);

// Which stored password the typed one (already trimmed) is, if any: the index in `rows`, or -1.
// Slow (one hash check per row); safe on any thread.
int findMatch(const QList<Stored>& rows, const QString& password);

// Replaces a stored value by its hash after a successful login, unless the row has changed
// meanwhile. The old value is wiped from the file, not only unlinked.
void replaceStored(const Stored& row, const QString& hashed);

// Gives every password row the new password's hash; the marker row is left alone. Refuses a
// value that is not a hash, so that a typed password never reaches the file.
void changePassword(const QString& hashed);

// The row of a new database's sample password (id 1), stored as its hash.
void addSamplePassword(const QSqlDatabase& db);

// Wrong guesses in a row, kept in the database so that a restart does not reset them.
struct Guard
{
    int failures = 0;
    QDateTime until; // no answer before this time; null when there is nothing to wait for
};
Guard guard();
// Counts one more wrong guess made at `now`; after the third, the next answer waits 1 s, then
// 2 s, 4 s, ... up to 30 s.
Guard recordFailure(const QDateTime& now);
// A right password clears the count.
void clearFailures();
// The wait after that many wrong guesses in a row, in seconds (0 for fewer than three).
int waitSeconds(int failures);
} // namespace Users
