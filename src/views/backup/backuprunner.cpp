#include "views/backup/backuprunner.h"

#include "data/backup.h"
#include "data/db.h"
#include "data/store.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/frameaccess.h"
#include "gui/prompt.h"
#include "gui/views.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QWidget>

#include <memory>
#include <optional>

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
    // A start that trusted the file as it was at the last clean end reads it whole here, off the
    // window's thread.
    const bool verify = Store::fullCheckSkipped();
    if (!due && !verify)
        return;
    // Set by the work when the file is damaged; then the newest good copy, if any.
    auto damaged = std::make_shared<std::optional<QString>>();
    instance().start(
        [database, folder, now, due, verify, damaged] {
            if (verify && !Backup::isIntact(database)) {
                *damaged = Backup::newestIntact(folder);
                return QString();
            }
            if (!due)
                return QString();
            const QString copy = Backup::makeCopy(database, folder, now);
            Backup::rotate(folder, now.date());
            return copy;
        },
        [database, damaged](bool ok, const QString& text) {
            if (damaged->has_value()) {
                instance().stopOnDamage(database, **damaged);
                return;
            }
            if (!ok)
                MsgBox(QStringLiteral("自动备份没有完成：\n%1").arg(text));
        });
}

void BackupRunner::stopOnDamage(const QString& database, const QString& copy)
{
    // Nothing more is written into a damaged file; reading goes on so the user can look.
    Db::run([] { Db::exec(Db::main(), QStringLiteral("PRAGMA query_only = 1")); });
    const QString shown = QDir::toNativeSeparators(database);
    if (copy.isEmpty()) {
        MsgBox(QStringLiteral(
                   "数据库文件已损坏：%1\n程序已停止写入数据，以免损坏扩大。请退出程序，用备份的副本替换这个文件。")
                   .arg(shown));
        return;
    }
    const QString day = QFileInfo(copy).lastModified().toString(QStringLiteral("yyyy-M-d H:mm:ss"));
    if (MsgBox(QStringLiteral("数据库文件已损坏：%1\n程序已停止写入数据，以免损坏扩大。\n\n备份文件夹中有完好的备份（%"
                              "2）。要用它恢复数据吗？\n损坏的文件会改名保留在原处，不会删除。")
                   .arg(shown, day),
               QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    restartWith([database, copy] {
        const QString kept = Backup::replaceDamaged(copy, database, Clock::now());
        return QStringLiteral("数据已用 %1 的备份恢复，请重新登录。\n损坏的文件已改名保留为：%2")
            .arg(QFileInfo(copy).lastModified().toString(QStringLiteral("yyyy-M-d H:mm:ss")),
                 QDir::toNativeSeparators(kept));
    });
}

void BackupRunner::restartWith(const std::function<QString()>& replace)
{
    // Every window that reads the database goes; the connections close before the file is
    // replaced, and the program starts again at the login window.
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isWindow() && !w->objectName().isEmpty() && (w->isVisible() || Forms::find(w->objectName()) == w))
            windows.append(w);
    }
    for (QWidget* w : windows)
        w->hide();
    Db::closeAll();
    QString done;
    const bool replaced = Db::run([&] { done = replace(); });
    // The login window comes back in any case: on the new data, or on the data as it was.
    FrameAccess::get().showLogin();
    for (QWidget* w : windows) {
        if (Forms::find(w->objectName()) == w)
            Forms::unload(w);
        else
            w->deleteLater();
    }
    if (replaced)
        MsgDone(done);
}
