#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QThread;

// Runs the copy work of backups off the window's thread, one piece of work at a time, so the
// window never waits for a copy of a large database. The work uses connections of its own (the
// functions of data/backup.h) and throws Db::Error; its outcome comes back on the window's thread.
class BackupRunner : public QObject
{
    Q_OBJECT

public:
    static BackupRunner& instance();

    using Work = std::function<QString()>;
    using Done = std::function<void(bool ok, const QString& text)>;

    // Starts the work; `done` gets its result text or its error text, unless the program's windows
    // have gone meanwhile. False when other work is running.
    bool start(Work work, Done done);
    bool busy() const { return thread_ != nullptr; }

    // Closes every window and connection, runs `replace` (which puts another file in the
    // database's place and returns what to tell the user, or throws Db::Error), and starts the
    // program afresh at the login window: on the new file, or on the old one when it failed.
    static void restartWith(const std::function<QString()>& replace);

    // The daily copy after a login: written when today has none yet, then old copies rotate. A
    // failure is said once. When start-up trusted the file without reading it whole, it is read
    // whole first; a damaged file stops all writing and the newest good copy is offered.
    static void startDaily();

    // Waits for the running work and drops its outcome (the windows it reports to are going).
    void waitAndDrop();

signals:
    void busyChanged(bool busy);

private:
    BackupRunner() = default;
    ~BackupRunner() override;
    void stopOnDamage(const QString& database, const QString& copy);

    QThread* thread_ = nullptr;
    bool dropped_ = false;
};
