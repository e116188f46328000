#include "data/users.h"

#include "data/db.h"
#include "data/passwords.h"

#include <algorithm>

namespace {

constexpr int kFreeGuesses = 3;
constexpr int kLongestWait = 30;

// Overwritten values are zeroed in the file while the work runs, so that an old password (or
// its hash) does not linger in free space where a copy of the file would carry it.
void wiping(const QSqlDatabase& db, const std::function<void()>& work)
{
    Db::exec(db, QStringLiteral("PRAGMA secure_delete = ON"));
    try {
        work();
    } catch (...) {
        Db::exec(db, QStringLiteral("PRAGMA secure_delete = OFF"));
        throw;
    }
    Db::exec(db, QStringLiteral("PRAGMA secure_delete = OFF"));
}

} // namespace

QList<Users::Stored> Users::stored()
{
    return Db::rows<Stored>(QStringLiteral(R"(SELECT id, password FROM "user" WHERE id <> ? ORDER BY id)"), {kMarkerId},
                            [](const Db::Row& r) {
                                return Stored{r.id(), r.text("password")};
                            });
}

int Users::findMatch(const QList<Stored>& rows, const QString& password)
{
    for (int i = 0; i < rows.size(); ++i) {
        if (Passwords::matches(rows.at(i).value, password))
            return i;
    }
    return -1;
}

bool Users::passwordMatches(const QString& password)
{
    return findMatch(stored(), password) >= 0;
}

void Users::replaceStored(const Stored& row, const QString& hashed)
{
    if (!Passwords::isHash(hashed))
        throw Db::Error(QStringLiteral("密码未能加密保存"));
    wiping(Db::main(), [&] {
        Db::execute(QStringLiteral(R"(UPDATE "user" SET password = ? WHERE id = ? AND password = ?)"),
                    {hashed, row.id, row.value});
    });
}

void Users::changePassword(const QString& hashed)
{
    if (!Passwords::isHash(hashed))
        throw Db::Error(QStringLiteral("密码未能加密保存"));
    wiping(Db::main(), [&] {
        Db::transaction([&] {
            const int changed =
                Db::execute(QStringLiteral(R"(UPDATE "user" SET password = ? WHERE id <> ?)"), {hashed, kMarkerId});
            // A database whose password rows were all lost still gets one, or nobody could log in.
            if (changed == 0)
                Db::execute(QStringLiteral(R"(INSERT INTO "user" (password) VALUES (?))"), {hashed});
        });
    });
}

void Users::addSamplePassword(const QSqlDatabase& db)
{
    Db::exec(db, QStringLiteral(R"(INSERT INTO "user" (id, password) VALUES (1, ?))"),
             {Passwords::hash(kSamplePassword)});
}

int Users::waitSeconds(int failures)
{
    if (failures < kFreeGuesses)
        return 0;
    const int doublings = std::min(failures - kFreeGuesses, 5); // 2^5 = 32 > 30
    return std::min(1 << doublings, kLongestWait);
}

Users::Guard Users::guard()
{
    Guard g;
    QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT failures, until FROM login_wait WHERE id = 1"));
    if (q.next()) {
        g.failures = q.value(0).toInt();
        g.until = QDateTime::fromString(q.value(1).toString(), Qt::ISODate);
    }
    return g;
}

Users::Guard Users::recordFailure(const QDateTime& now)
{
    Guard g;
    Db::transaction([&] {
        g.failures = guard().failures + 1;
        const int wait = waitSeconds(g.failures);
        if (wait > 0)
            g.until = now.addSecs(wait);
        Db::execute(
            QStringLiteral("INSERT INTO login_wait (id, failures, until) VALUES (1, ?, ?)"
                           " ON CONFLICT (id) DO UPDATE SET failures = excluded.failures, until = excluded.until"),
            {g.failures, g.until.isValid() ? QVariant(g.until.toString(Qt::ISODate)) : QVariant()});
    });
    return g;
}

void Users::clearFailures()
{
    Db::execute(QStringLiteral("DELETE FROM login_wait"));
}
