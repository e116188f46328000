#pragma once

#include "views/sync/caldavclient.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QUrl>

// One two-way sync of the tasks with a task list on a CalDAV server, fully asynchronous:
// fetch what changed there (sync-collection, else by ETags), apply it (a change made on both
// sides keeps the later one and writes the other into the description), then send the queued
// local changes and deletions (If-Match, If-None-Match: * for new tasks). Every step is stored
// as it completes, so a sync stopped at any moment and run again gives no duplicate and no loss.
class SyncEngine : public QObject
{
    Q_OBJECT

public:
    struct Result
    {
        bool ok = false;
        bool authFailed = false; // the server refused the user name or password
        QString error;
        int uploaded = 0;
        int downloaded = 0;
    };

    explicit SyncEngine(QObject* parent = nullptr);

    void setCredentials(const QString& user, const QString& password);
    // Runs one sync with the list at `calendar`; `finished` follows. False when one is running.
    bool start(const QUrl& calendar);
    bool busy() const { return busy_; }
    // Without sync-collection: compare every ETag (servers that lack it; the tests force it).
    void setUseSyncCollection(bool use) { useSyncCollection_ = use; }
    CalDavClient* client() const { return client_; }

    // The line put before the other version of a task changed on both sides.
    static QString conflictLine();

signals:
    void finished(const SyncEngine::Result& result);

private:
    void pull(const QString& token, bool retried);
    void pullByEtags();
    void fetchNext();
    void applyRemoteDeletions();
    void push();
    void pumpPush();
    void pushOne(qint64 task, int attempt);
    void pushDone();
    void fail(const CalDavClient::Reply& reply);
    void failWith(const QString& error, bool auth = false);
    void finish();

    // The server's version of a task, applied inside a muted transaction.
    void applyIncoming(const QString& href, const QString& etag, const QByteArray& data);
    void applyDeletion(const QString& href);
    QUrl urlOf(const QString& href) const;
    QString hrefFor(const QString& uid) const;

    CalDavClient* client_;
    QUrl calendar_;
    bool busy_ = false;
    bool useSyncCollection_ = true;
    bool failed_ = false;
    Result result_;
    QString newToken_;
    bool fullListing_ = false; // the pull listed every resource: stored ones missing are deleted
    QStringList toFetch_;
    QStringList remoteDeleted_;
    QSet<QString> listed_;
    QList<qint64> pushQueue_;
    QHash<qint64, int> attempts_;
    int pushInFlight_ = 0;
    int generation_ = 0; // a cancelled run's answers are ignored
};
