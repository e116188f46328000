#include "data/syncstate.h"

#include "data/db.h"

#include <QTimeZone>

namespace SyncState {

namespace {
const char* const kNow = "strftime('%Y-%m-%dT%H:%M:%SZ', 'now')";

void ensureAccountRow()
{
    Db::execute(QStringLiteral("INSERT OR IGNORE INTO sync_account (id) VALUES (1)"));
}

Item itemFrom(const Db::Row& r)
{
    return Item{r.id("renwu"), r.text("href"), r.text("etag")};
}

Change changeFrom(const Db::Row& r)
{
    Change c;
    c.task = r.id("renwu");
    c.ver = r.integer("ver");
    c.deleted = r.integer("deleted") != 0;
    c.href = r.text("href");
    c.etag = r.text("etag");
    c.changed = QDateTime::fromString(r.text("changed"), Qt::ISODate);
    c.changed.setTimeSpec(Qt::UTC);
    return c;
}
} // namespace

Account account()
{
    Account a;
    QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT server, username, calendar, calname, autosync, insecure"
                                                      " FROM sync_account WHERE id = 1"));
    if (q.next()) {
        a.server = q.value(0).toString();
        a.user = q.value(1).toString();
        a.calendar = q.value(2).toString();
        a.calendarName = q.value(3).toString();
        a.autoSync = q.value(4).toInt() != 0;
        a.insecure = q.value(5).toInt() != 0;
    }
    return a;
}

void saveAccount(const Account& a)
{
    Db::transaction([&] {
        ensureAccountRow();
        const Account before = account();
        Db::execute(QStringLiteral("UPDATE sync_account SET server = ?, username = ?, calendar = ?, calname = ?,"
                                   " autosync = ?, insecure = ? WHERE id = 1"),
                    {Db::text(a.server), Db::text(a.user), Db::text(a.calendar), Db::text(a.calendarName),
                     a.autoSync ? 1 : 0, a.insecure ? 1 : 0});
        if (before.calendar != a.calendar) {
            // Another list holds none of these tasks: start over with it.
            Db::execute(QStringLiteral("UPDATE sync_account SET token = '' WHERE id = 1"));
            Db::execute(QStringLiteral("DELETE FROM sync_item"));
            Db::execute(QStringLiteral("DELETE FROM sync_change WHERE deleted = 1"));
            queueUnsynced();
        }
    });
}

LastResult lastResult()
{
    LastResult r;
    QSqlQuery q =
        Db::exec(Db::main(), QStringLiteral("SELECT lasttime, lastok, lasttext FROM sync_account WHERE id = 1"));
    if (q.next()) {
        r.time = q.value(0).toString();
        r.ok = q.value(1).toInt() != 0;
        r.text = q.value(2).toString();
    }
    return r;
}

void setLastResult(const LastResult& r)
{
    Db::transaction([&] {
        ensureAccountRow();
        Db::execute(QStringLiteral("UPDATE sync_account SET lasttime = ?, lastok = ?, lasttext = ? WHERE id = 1"),
                    {Db::text(r.time), r.ok ? 1 : 0, Db::text(r.text)});
    });
}

QString token()
{
    QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT token FROM sync_account WHERE id = 1"));
    return q.next() ? q.value(0).toString() : QString();
}

void setToken(const QString& token)
{
    Db::transaction([&] {
        ensureAccountRow();
        Db::execute(QStringLiteral("UPDATE sync_account SET token = ? WHERE id = 1"), {Db::text(token)});
    });
}

std::optional<Item> itemOfHref(const QString& href)
{
    return Db::first<Item>(QStringLiteral("SELECT renwu, href, etag FROM sync_item WHERE href = ?"), {href}, itemFrom);
}

std::optional<Item> itemOfTask(qint64 task)
{
    return Db::first<Item>(QStringLiteral("SELECT renwu, href, etag FROM sync_item WHERE renwu = ?"), {task}, itemFrom);
}

QHash<QString, QString> etags()
{
    QHash<QString, QString> map;
    QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT href, etag FROM sync_item UNION ALL"
                                                      " SELECT href, etag FROM sync_change WHERE deleted = 1"));
    while (q.next())
        map.insert(q.value(0).toString(), q.value(1).toString());
    return map;
}

QList<Change> changes()
{
    return Db::rows<Change>(QStringLiteral("SELECT renwu, ver, deleted, href, etag, changed FROM sync_change"
                                           " ORDER BY changed, renwu"),
                            {}, changeFrom);
}

std::optional<Change> changeOf(qint64 task)
{
    return Db::first<Change>(QStringLiteral("SELECT renwu, ver, deleted, href, etag, changed FROM sync_change"
                                            " WHERE renwu = ?"),
                             {task}, changeFrom);
}

int changeCount()
{
    return int(Db::count(QStringLiteral("SELECT count(*) FROM sync_change")));
}

void queueUnsynced()
{
    Db::execute(QStringLiteral("INSERT INTO sync_change (renwu, changed) SELECT id, %1 FROM renwu"
                               " WHERE id NOT IN (SELECT renwu FROM sync_item) AND true ON CONFLICT (renwu) DO NOTHING")
                    .arg(QLatin1String(kNow)));
}

void muted(const std::function<void()>& work)
{
    // Nested calls join the outer one, which alone lifts the mute at its end.
    static int depth = 0;
    Db::transaction([&] {
        if (depth == 0)
            Db::execute(QStringLiteral("INSERT OR IGNORE INTO sync_mute (id) VALUES (1)"));
        ++depth;
        try {
            work();
        } catch (...) {
            --depth;
            throw;
        }
        --depth;
        if (depth == 0)
            Db::execute(QStringLiteral("DELETE FROM sync_mute"));
    });
}

void uploaded(qint64 task, int ver, const QString& href, const QString& etag)
{
    muted([&] {
        setItem(task, href, etag);
        Db::execute(QStringLiteral("DELETE FROM sync_change WHERE renwu = ? AND ver = ? AND deleted = 0"), {task, ver});
    });
}

void deletionDone(qint64 task)
{
    Db::execute(QStringLiteral("DELETE FROM sync_change WHERE renwu = ? AND deleted = 1"), {task});
}

void dropDeletion(qint64 task)
{
    deletionDone(task);
}

void setItem(qint64 task, const QString& href, const QString& etag)
{
    Db::execute(QStringLiteral("DELETE FROM sync_item WHERE href = ? AND renwu <> ?"), {href, task});
    Db::execute(QStringLiteral("INSERT INTO sync_item (renwu, href, etag) VALUES (?, ?, ?)"
                               " ON CONFLICT (renwu) DO UPDATE SET href = excluded.href, etag = excluded.etag"),
                {task, href, Db::text(etag)});
}

void forgetItem(qint64 task)
{
    Db::execute(QStringLiteral("DELETE FROM sync_item WHERE renwu = ?"), {task});
}

qint64 taskOfUid(const QString& uid)
{
    return Db::count(QStringLiteral("SELECT id FROM renwu WHERE uid = ?"), {uid});
}

std::optional<Change> deletionOfHref(const QString& href)
{
    return Db::first<Change>(QStringLiteral("SELECT renwu, ver, deleted, href, etag, changed FROM sync_change"
                                            " WHERE deleted = 1 AND href = ?"),
                             {href}, changeFrom);
}

std::optional<Holder> occurrenceHolder(const QString& ruleUid, const QDate& day)
{
    QSqlQuery q = Db::exec(Db::main(),
                           QStringLiteral("SELECT r.id, r.uid FROM renwu r JOIN chongfu c ON c.id = r.chongfu"
                                          " WHERE c.uid = ? AND r.cfday = ?"),
                           {ruleUid, Db::dayValue(day)});
    if (!q.next())
        return std::nullopt;
    return Holder{q.value(0).toLongLong(), q.value(1).toString()};
}

void requeue(qint64 task)
{
    Db::execute(QStringLiteral("INSERT INTO sync_change (renwu, changed) VALUES (?, %1)"
                               " ON CONFLICT (renwu) DO UPDATE SET ver = ver + 1, deleted = 0")
                    .arg(QLatin1String(kNow)),
                {task});
}

} // namespace SyncState
