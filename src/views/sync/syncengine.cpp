#include "views/sync/syncengine.h"

#include "data/db.h"
#include "data/icaltask.h"
#include "data/syncstate.h"
#include "data/tasks.h"
#include "gui/changes.h"
#include "gui/taskstates.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace {
// Tasks fetched by one calendar-multiget, and applied in one transaction.
constexpr int kFetchBatch = 100;
// Uploads in flight at once.
constexpr int kPushParallel = 4;
// Tries of one upload in a sync when the server's copy changed meanwhile (412).
constexpr int kPushAttempts = 3;

// The other version of a task, as lines a person reads in the description.
QString versionText(const IcalTask& t)
{
    QStringList lines;
    lines << QStringLiteral("名称：%1").arg(t.name);
    if (t.day.isValid())
        lines << QStringLiteral("日期：%1%2")
                     .arg(QStringLiteral("%1-%2-%3").arg(t.day.year()).arg(t.day.month()).arg(t.day.day()),
                          t.time.isValid() ? QLatin1Char(' ') + t.time.toString(QStringLiteral("H:mm:ss")) : QString());
    lines << QStringLiteral("状态：%1").arg(TaskStates::of(t.state).shortWord);
    if (!t.description.isEmpty())
        lines << QStringLiteral("说明：%1").arg(t.description);
    return lines.join(QLatin1Char('\n'));
}

QDateTime orOldest(const QDateTime& t)
{
    return t.isValid() ? t : QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
}
} // namespace

SyncEngine::SyncEngine(QObject* parent) : QObject(parent), client_(new CalDavClient(this))
{}

QString SyncEngine::conflictLine()
{
    return QStringLiteral("—— 同步冲突时的另一版本 ——");
}

void SyncEngine::setCredentials(const QString& user, const QString& password)
{
    client_->setCredentials(user, password);
}

bool SyncEngine::start(const QUrl& calendar)
{
    if (busy_)
        return false;
    busy_ = true;
    failed_ = false;
    result_ = Result();
    calendar_ = calendar;
    newToken_.clear();
    fullListing_ = false;
    toFetch_.clear();
    remoteDeleted_.clear();
    listed_.clear();
    pushQueue_.clear();
    attempts_.clear();
    pushInFlight_ = 0;
    ++generation_;
    if (!calendar_.isValid() || calendar_.isEmpty()) {
        failWith(QStringLiteral("尚未选择任务列表"));
        return true;
    }
    QString token;
    if (!Db::run([&] { token = SyncState::token(); })) {
        failWith(QStringLiteral("数据库出错"));
        return true;
    }
    if (useSyncCollection_)
        pull(token, false);
    else
        pullByEtags();
    return true;
}

QUrl SyncEngine::urlOf(const QString& href) const
{
    return CalDavClient::urlOf(calendar_, href);
}

QString SyncEngine::hrefFor(const QString& uid) const
{
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9._@-]{1,120}$"));
    const QString name =
        safe.match(uid).hasMatch()
            ? uid
            : QString::fromLatin1(QCryptographicHash::hash(uid.toUtf8(), QCryptographicHash::Sha1).toHex());
    QString path = calendar_.path(QUrl::FullyDecoded);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + name + QStringLiteral(".ics");
}

void SyncEngine::pull(const QString& token, bool retried)
{
    const int gen = generation_;
    client_->syncCollection(calendar_, token, [=, this](const CalDavClient::Reply& r) {
        if (gen != generation_)
            return;
        if (r.status == 207) {
            const CalDavClient::Multistatus ms = CalDavClient::parseMultistatus(r.body, r.url);
            QHash<QString, QString> known;
            if (!Db::run([&] { known = SyncState::etags(); })) {
                failWith(QStringLiteral("数据库出错"));
                return;
            }
            const QString self = calendar_.path(QUrl::FullyDecoded);
            for (const CalDavClient::Resource& res : ms.resources) {
                if (res.href == self || res.href.endsWith(QLatin1Char('/')))
                    continue;
                listed_.insert(res.href);
                if (res.status == 404)
                    remoteDeleted_ << res.href;
                else if (res.etag.isEmpty() || known.value(res.href) != res.etag)
                    toFetch_ << res.href;
            }
            newToken_ = ms.syncToken;
            // A listing from the start names every resource: those we know and it does not
            // name were deleted while the token was unknown.
            fullListing_ = token.isEmpty();
            fetchNext();
            return;
        }
        if (r.status == 401 || r.status == 0 || r.status >= 500) {
            fail(r);
            return;
        }
        if (!token.isEmpty() && !retried) {
            // The server no longer knows the token (valid-sync-token): list everything again.
            pull(QString(), true);
            return;
        }
        // No sync-collection on this list: compare ETags.
        pullByEtags();
    });
}

void SyncEngine::pullByEtags()
{
    const int gen = generation_;
    client_->listEtags(calendar_, [=, this](const CalDavClient::Reply& r) {
        if (gen != generation_)
            return;
        if (r.status != 207) {
            fail(r);
            return;
        }
        QHash<QString, QString> known;
        if (!Db::run([&] { known = SyncState::etags(); })) {
            failWith(QStringLiteral("数据库出错"));
            return;
        }
        const QString self = calendar_.path(QUrl::FullyDecoded);
        for (const CalDavClient::Resource& res : CalDavClient::parseMultistatus(r.body, r.url).resources) {
            if (res.href == self || res.href.endsWith(QLatin1Char('/'))
                || res.resourceTypes.contains(QStringLiteral("collection")))
                continue;
            listed_.insert(res.href);
            if (res.etag.isEmpty() || known.value(res.href) != res.etag)
                toFetch_ << res.href;
        }
        fullListing_ = true;
        newToken_.clear();
        fetchNext();
    });
}

void SyncEngine::fetchNext()
{
    if (toFetch_.isEmpty()) {
        applyRemoteDeletions();
        return;
    }
    const QStringList batch = toFetch_.mid(0, kFetchBatch);
    toFetch_ = toFetch_.mid(batch.size());
    const int gen = generation_;
    client_->multiget(calendar_, batch, [=, this](const CalDavClient::Reply& r) {
        if (gen != generation_)
            return;
        if (r.status != 207) {
            fail(r);
            return;
        }
        const CalDavClient::Multistatus ms = CalDavClient::parseMultistatus(r.body, r.url);
        const bool ok = Db::run([&] {
            SyncState::muted([&] {
                for (const CalDavClient::Resource& res : ms.resources) {
                    if (res.status == 404) {
                        applyDeletion(res.href);
                        continue;
                    }
                    if (!res.calendarData.isEmpty())
                        applyIncoming(res.href, res.etag, res.calendarData);
                }
            });
        });
        if (!ok) {
            failWith(QStringLiteral("数据库出错"));
            return;
        }
        fetchNext();
    });
}

void SyncEngine::applyRemoteDeletions()
{
    const bool ok = Db::run([&] {
        SyncState::muted([&] {
            for (const QString& href : std::as_const(remoteDeleted_))
                applyDeletion(href);
            if (fullListing_) {
                const QHash<QString, QString> known = SyncState::etags();
                for (auto it = known.begin(); it != known.end(); ++it)
                    if (!listed_.contains(it.key()))
                        applyDeletion(it.key());
            }
        });
        // Everything up to the token is stored: the next sync starts from it.
        if (useSyncCollection_ && !newToken_.isEmpty())
            SyncState::setToken(newToken_);
    });
    if (!ok) {
        failWith(QStringLiteral("数据库出错"));
        return;
    }
    if (result_.downloaded > 0)
        Changes::announce(Changes::Tasks);
    push();
}

void SyncEngine::applyIncoming(const QString& href, const QString& etag, const QByteArray& data)
{
    const IcalParseResult parsed = IcalTasks::parse(data);
    if (!parsed.ok() || parsed.tasks.isEmpty())
        return; // not a task (an event in a shared list) or unreadable: left on the server as it is
    IcalTask remote = parsed.tasks.first();

    qint64 task = 0;
    if (const auto item = SyncState::itemOfHref(href))
        task = item->task;
    if (!task)
        task = SyncState::taskOfUid(remote.uid);
    if (!task) {
        if (const auto deletion = SyncState::deletionOfHref(href)) {
            if (deletion->etag == etag)
                return; // the version deleted here: the deletion goes up
            // Deleted here, changed there since: the change wins and the task comes back.
            SyncState::dropDeletion(deletion->task);
        }
    }
    if (!task && remote.rule.freq != IcalRule::None) {
        // The same day of a recurring rule, made on two devices: the smaller UID stays on both.
        const QDate day = remote.rule.occurrence.isValid() ? remote.rule.occurrence : remote.day;
        const QString ruleUid = remote.rule.uid.isEmpty() ? remote.uid : remote.rule.uid;
        if (const auto holder = SyncState::occurrenceHolder(ruleUid, day); holder && holder->uid != remote.uid) {
            if (holder->uid < remote.uid) {
                // Ours stays; theirs is removed from the server with the next uploads.
                Db::execute(QStringLiteral("INSERT INTO sync_change (renwu, deleted, href, etag, changed)"
                                           " VALUES (?, 1, ?, ?, strftime('%Y-%m-%dT%H:%M:%SZ', 'now'))"
                                           " ON CONFLICT (renwu) DO NOTHING"),
                            {-qint64(qHash(href) & 0x3fffffffffffLL) - 1, href, etag});
                return;
            }
            // Theirs stays: ours goes, here and (when uploaded) on the server.
            if (const auto item = SyncState::itemOfTask(holder->task))
                Db::execute(QStringLiteral("INSERT INTO sync_change (renwu, deleted, href, etag, changed)"
                                           " VALUES (?, 1, ?, ?, strftime('%Y-%m-%dT%H:%M:%SZ', 'now'))"
                                           " ON CONFLICT (renwu) DO UPDATE SET deleted = 1, href = excluded.href,"
                                           " etag = excluded.etag"),
                            {holder->task, item->href, item->etag});
            else
                Db::execute(QStringLiteral("DELETE FROM sync_change WHERE renwu = ?"), {holder->task});
            SyncState::forgetItem(holder->task);
            Tasks::remove(holder->task);
        }
    }

    std::optional<SyncState::Change> change = task ? SyncState::changeOf(task) : std::nullopt;
    if (change && !change->deleted) {
        const std::optional<IcalTask> local = IcalTasks::read(task);
        if (local && local->sameContent(remote)) {
            // Both sides hold the same (an upload whose answer was lost): nothing to merge.
            SyncState::uploaded(task, change->ver, href, etag);
            return;
        }
        if (local) {
            const bool remoteLater = orOldest(remote.lastModified) > orOldest(local->lastModified);
            const IcalTask& winner = remoteLater ? remote : *local;
            const IcalTask& other = remoteLater ? *local : remote;
            IcalTask merged = winner;
            merged.uid = local->uid;
            merged.description =
                (winner.description.isEmpty() ? QString() : winner.description + QStringLiteral("\n\n"))
                + conflictLine() + QLatin1Char('\n') + versionText(other);
            merged.lastModified = std::max(orOldest(remote.lastModified), orOldest(local->lastModified)).addSecs(1);
            const qint64 id = IcalTasks::write(merged).id;
            SyncState::setItem(id, href, etag);
            SyncState::requeue(id);
            ++result_.downloaded;
            return;
        }
    }
    const IcalTasks::WriteResult written = IcalTasks::write(remote);
    SyncState::setItem(written.id, href, etag);
    if (written.outcome != IcalTasks::Outcome::Unchanged)
        ++result_.downloaded;
}

void SyncEngine::applyDeletion(const QString& href)
{
    const auto item = SyncState::itemOfHref(href);
    if (!item)
        return;
    SyncState::forgetItem(item->task);
    if (const auto change = SyncState::changeOf(item->task); change && !change->deleted)
        return; // changed here since: it goes up again as a new task
    if (Tasks::exists(item->task)) {
        Tasks::remove(item->task);
        ++result_.downloaded;
    }
}

void SyncEngine::push()
{
    QList<SyncState::Change> changes;
    if (!Db::run([&] { changes = SyncState::changes(); })) {
        failWith(QStringLiteral("数据库出错"));
        return;
    }
    for (const SyncState::Change& c : changes)
        pushQueue_ << c.task;
    pumpPush();
}

void SyncEngine::pumpPush()
{
    while (!failed_ && pushInFlight_ < kPushParallel && !pushQueue_.isEmpty()) {
        const qint64 task = pushQueue_.takeFirst();
        pushOne(task, ++attempts_[task]);
    }
    if (pushInFlight_ == 0 && (failed_ || pushQueue_.isEmpty()))
        finish();
}

void SyncEngine::pushDone()
{
    --pushInFlight_;
    pumpPush();
}

void SyncEngine::pushOne(qint64 task, int attempt)
{
    std::optional<SyncState::Change> change;
    std::optional<SyncState::Item> item;
    std::optional<IcalTask> ical;
    if (!Db::run([&] {
            change = SyncState::changeOf(task);
            if (change && !change->deleted) {
                item = SyncState::itemOfTask(task);
                ical = IcalTasks::read(task);
            }
        })) {
        failWith(QStringLiteral("数据库出错"));
        return;
    }
    if (!change)
        return; // done meanwhile
    const int gen = generation_;
    ++pushInFlight_;
    if (change->deleted) {
        client_->remove(urlOf(change->href), change->etag, [=, this](const CalDavClient::Reply& r) {
            if (gen != generation_)
                return;
            if (r.ok() || r.status == 404 || r.status == 410) {
                Db::run([&] { SyncState::deletionDone(task); });
                ++result_.uploaded;
            } else if (r.status == 412) {
                // Changed there after we deleted it here: the change wins; the next pull brings it back.
                Db::run([&] { SyncState::dropDeletion(task); });
            } else {
                fail(r);
            }
            pushDone();
        });
        return;
    }
    if (!ical) {
        // The task is gone without a deletion to send (never uploaded).
        Db::run([&] {
            SyncState::deletionDone(task);
            Db::execute(QStringLiteral("DELETE FROM sync_change WHERE renwu = ?"), {task});
        });
        pushDone();
        return;
    }
    const QString href = item ? item->href : hrefFor(ical->uid);
    const QString etag = item ? item->etag : QString();
    const int ver = change->ver;
    if (!item) {
        // Where it is going, before it goes: a deletion made after an upload whose answer was
        // lost still reaches the server.
        if (!Db::run([&] { SyncState::setItem(task, href, QString()); })) {
            --pushInFlight_;
            failWith(QStringLiteral("数据库出错"));
            return;
        }
    }
    client_->put(urlOf(href), IcalTasks::toCalendar(*ical), etag, [=, this](const CalDavClient::Reply& r) {
        if (gen != generation_)
            return;
        if (r.ok()) {
            Db::run([&] { SyncState::uploaded(task, ver, href, QString::fromUtf8(r.etag)); });
            ++result_.uploaded;
            pushDone();
            return;
        }
        if (r.status != 412) {
            fail(r);
            pushDone();
            return;
        }
        // Changed there meanwhile (or already there from an upload whose answer was lost):
        // fetch it, merge by the conflict rule, and send again.
        client_->get(urlOf(href), [=, this](const CalDavClient::Reply& g) {
            if (gen != generation_)
                return;
            bool ok = true;
            if (g.ok()) {
                ok =
                    Db::run([&] { SyncState::muted([&] { applyIncoming(href, QString::fromUtf8(g.etag), g.body); }); });
            } else if (g.status == 404) {
                ok = Db::run([&] { SyncState::forgetItem(task); });
            } else {
                fail(g);
                pushDone();
                return;
            }
            if (!ok)
                failWith(QStringLiteral("数据库出错"));
            else if (attempt < kPushAttempts)
                pushQueue_.prepend(task);
            pushDone();
        });
    });
}

void SyncEngine::fail(const CalDavClient::Reply& reply)
{
    failWith(CalDavClient::reason(reply), reply.status == 401);
}

void SyncEngine::failWith(const QString& error, bool auth)
{
    if (failed_)
        return;
    failed_ = true;
    result_.ok = false;
    result_.authFailed = auth;
    result_.error = error;
    client_->abortAll();
    pushQueue_.clear();
    pushInFlight_ = 0;
    finish();
}

void SyncEngine::finish()
{
    if (!busy_)
        return;
    busy_ = false;
    ++generation_;
    if (!failed_)
        result_.ok = true;
    emit finished(result_);
}
