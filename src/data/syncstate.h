#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// What task sync keeps between runs (tables sync_account, sync_item, sync_change): the account
// (never its password), where each uploaded task lives on the server with its ETag, the
// collection's last sync token, and the queue of local changes and deletions not yet sent.
// Local changes are queued by triggers in the changing transaction; the sync's own writes run
// inside `muted` and are not queued. Every function throws Db::Error when the database fails.
namespace SyncState {

struct Account
{
    QString server; // the address the user typed
    QString user;
    QString calendar;     // the task list's collection URL, empty until one is chosen
    QString calendarName; // its display name
    bool autoSync = false;
    bool insecure = false;
};

struct LastResult
{
    QString time; // "yyyy-M-d H:mm:ss", empty before the first sync
    bool ok = false;
    QString text; // counts on success, the reason on failure
};

Account account();
// Stores the account. Choosing another task list forgets what was synced with the former one
// and queues every task for upload to the new one.
void saveAccount(const Account& account);

LastResult lastResult();
void setLastResult(const LastResult& result);

QString token();
void setToken(const QString& token);

struct Item
{
    qint64 task = 0;
    QString href;
    QString etag;
};
std::optional<Item> itemOfHref(const QString& href);
std::optional<Item> itemOfTask(qint64 task);
// Every uploaded task's address with its ETag, and those of the deletions not yet sent (the
// server's copy needs no fetching while it is the version deleted here).
QHash<QString, QString> etags();

struct Change
{
    qint64 task = 0;
    int ver = 0;
    bool deleted = false;
    QString href; // a deletion: where the task was
    QString etag;
    QDateTime changed; // UTC
};
// The queued local changes, oldest first.
QList<Change> changes();
std::optional<Change> changeOf(qint64 task);
int changeCount();

// Queues every task that the server does not hold yet (the first sync with a list).
void queueUnsynced();

// Runs the sync's own writes as one transaction that the triggers leave out of the queue.
void muted(const std::function<void()>& work);

// After an upload: the task is at `href` with `etag`; its queued change is done unless the task
// changed again meanwhile (another version).
void uploaded(qint64 task, int ver, const QString& href, const QString& etag);
// After a deletion reached the server (or it had the task no more).
void deletionDone(qint64 task);
// A deletion the server refused because the task changed there: the deletion is dropped and
// the server's version comes back as a new task.
void dropDeletion(qint64 task);
// The server's copy of a task: where and which version (inside `muted`).
void setItem(qint64 task, const QString& href, const QString& etag);
// Forgets the task's server copy (inside `muted`), e.g. when the server deleted it.
void forgetItem(qint64 task);
// The task of a UID (0: none).
qint64 taskOfUid(const QString& uid);
// A queued deletion of the task that was at `href`.
std::optional<Change> deletionOfHref(const QString& href);
// The task that holds the day of the recurring rule with the UID, with its own UID.
struct Holder
{
    qint64 task = 0;
    QString uid;
};
std::optional<Holder> occurrenceHolder(const QString& ruleUid, const QDate& day);
// Marks the task for upload again (a conflict's merged description, a task the server lost).
void requeue(qint64 task);

} // namespace SyncState
