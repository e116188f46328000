#include "views/backup/backuprunner.h"

#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "data/backup.h"
#include "data/db.h"

#include <QCoreApplication>
#include <QThread>

#include <memory>

BackupRunner& BackupRunner::instance()
{
    static BackupRunner* runner = [] {
        auto* r = new BackupRunner;
        // The work must not outlive the program: it writes files the program's folder holds.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, r, &BackupRunner::waitAndDrop);
        return r;
    }();
    return *runner;
}

BackupRunner::~BackupRunner()
{
    waitAndDrop();
}

bool BackupRunner::start(Work work, Done done)
{
    if (thread_)
        return false;
    struct Outcome
    {
        bool ok = false;
        QString text;
    };
    auto outcome = std::make_shared<Outcome>();
    dropped_ = false;
    thread_ = QThread::create([work = std::move(work), outcome] {
        try {
            outcome->text = work();
            outcome->ok = true;
        } catch (const Db::Error& e) {
            outcome->text = e.text();
        } catch (const std::exception& e) {
            outcome->text = QString::fromLocal8Bit(e.what());
        }
    });
    QThread* thread = thread_;
    connect(thread, &QThread::finished, this, [this, thread, outcome, done = std::move(done)] {
        const bool dropped = dropped_ || thread_ != thread;
        if (thread_ == thread)
            thread_ = nullptr;
        thread->deleteLater();
        emit busyChanged(false);
        if (!dropped && done)
            done(outcome->ok, outcome->text);
    });
    // Closing the program's frame (its windows going) waits for the work instead of leaving it to
    // write into a folder that may be going too.
    if (QWidget* frame = Forms::find(Views::kFrame))
        connect(frame, &QObject::destroyed, this, &BackupRunner::waitAndDrop, Qt::UniqueConnection);
    thread->start();
    emit busyChanged(true);
    return true;
}

void BackupRunner::waitAndDrop()
{
    if (!thread_)
        return;
    dropped_ = true;
    QThread* thread = thread_;
    thread_ = nullptr;
    thread->wait();
    emit busyChanged(false);
}

void BackupRunner::startDaily()
{
    const QString database = Db::path();
    const QString folder = Backup::folderFor(database);
    const QDateTime now = Clock::now();
    const bool due = !Backup::hasCopyOf(folder, now.date());
    if (!due)
        return;
    instance().start(
        [database, folder, now] {
            const QString copy = Backup::makeCopy(database, folder, now);
            Backup::rotate(folder, now.date());
            return copy;
        },
        [](bool ok, const QString& text) {
            if (!ok)
                MsgBox(QStringLiteral("自动备份没有完成：\n%1").arg(text));
        });
}
