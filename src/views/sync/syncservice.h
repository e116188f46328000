#pragma once

#include "views/sync/syncengine.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

class QTimer;

// The program's one task sync: the engine, the password (the desktop's keyring through
// QtKeychain, else kept in memory for this run only) and the automatic sync every five minutes
// and shortly after a change. A wrong password stops the automatic sync until the user name or
// password changes, so a refused login is never retried in a loop.
class SyncService : public QObject
{
    Q_OBJECT

public:
    static SyncService& instance();
    // Drops the instance (before a test's program folder goes).
    static void reset();

    SyncEngine* engine() const { return engine_; }

    // Whether the address may be used: https, or http to this computer, or http when the user
    // allowed unencrypted connections. Else the reason.
    static QString refusal(const QUrl& url, bool insecure);
    // The address typed by the user as a URL (https:// added when no scheme is given).
    static QUrl serverUrl(const QString& text);

    // The password for the user at the server: the one typed this run, else the keyring's.
    // `done(password, note)`: an empty password when there is none; `note` tells when the
    // keyring could not be used.
    void password(const QString& server, const QString& user, std::function<void(const QString&, const QString&)> done);
    // Keeps the password for this run and stores it in the keyring; `done(note)` with an empty
    // note when the keyring took it.
    void setPassword(const QString& server, const QString& user, const QString& password,
                     std::function<void(const QString&)> done = {});
    bool hasPassword() const { return !memoryPassword_.isEmpty(); }

    // Starts a sync with the stored account (no-op while one runs); the result comes with
    // `finished` and is stored as the last result.
    void syncNow();
    // The status line of the last result ("上次同步：… 成功（上传 N，下载 M）"), empty before any.
    static QString statusText();

    // Starts or stops the automatic sync as the stored account says.
    void applyAutoSetting();
    bool authBlocked() const { return authBlocked_; }
    QTimer* autoTimer() const { return autoTimer_; }
    QTimer* changeTimer() const { return changeTimer_; }

signals:
    void started();
    void finished(const SyncEngine::Result& result);

private:
    SyncService();
    void onFinished(const SyncEngine::Result& result);
    void onTasksChanged();

    SyncEngine* engine_;
    QTimer* autoTimer_;
    QTimer* changeTimer_;
    QString memoryPassword_;
    QString memoryKey_;
    bool authBlocked_ = false;
};
