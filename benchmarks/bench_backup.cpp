// Backups of a 30 MB database (100,000 tasks): the checked copy (SQLite's online backup in steps,
// then quick_check) against a plain copy of the file,
// the check of a copy against quick_check of the original, and the longest stall of the window's
// event loop while a backup runs off its thread. Medians in milliseconds and their ratios, all
// measured in this run.
#include "data/backup.h"
#include "data/db.h"
#include "data/store.h"
#include "gui/clock.h"
#include "views/backup/backuprunner.h"

#include "benchsupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace {

constexpr int kTasks = 100000;
constexpr int kRuns = 7;

double medianMs(const std::function<void()>& work, const std::function<void()>& between = {})
{
    // One untimed run warms the caches; `between` follows every run, untimed.
    return Bench::medianMs({.runs = kRuns, .warm = true, .after = between}, work);
}

void generate()
{
    const QString filler = QStringLiteral("这是生成的任务说明，用来让数据库达到真实的大小。").repeated(2);
    Db::transaction([&] {
        QSqlQuery insert(Db::main());
        insert.prepare(QStringLiteral("INSERT INTO renwu (title, content, mubiao, juese, zhongyao, jinpo, xuhao, today,"
                                      " zhuangtai) VALUES (?, ?, 1, 1, ?, ?, ?, ?, ?)"));
        const QDate base(2009, 1, 31);
        for (int i = 0; i < kTasks; ++i) {
            insert.addBindValue(QStringLiteral("生成的任务 %1").arg(i));
            insert.addBindValue(filler);
            insert.addBindValue(i % 2);
            insert.addBindValue(i / 2 % 2);
            insert.addBindValue(i % 50);
            insert.addBindValue(Db::dayValue(base.addDays(i % 365)));
            insert.addBindValue(i % 4);
            if (!insert.exec())
                throw Db::Error(QStringLiteral("insert failed"));
        }
    });
}

// A plain copy of the file, flushed to the disk like a backup is.
void plainCopy(const QString& from, const QString& to)
{
    QFile::remove(to);
    QFile::copy(from, to);
    const int fd = ::open(QFile::encodeName(to).constData(), O_RDONLY);
    ::fsync(fd);
    ::close(fd);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("mylive.dc"));
    Db::path() = db;
    try {
        Store::ensureMainDatabase(db);
    } catch (const Db::Error&) {
        return 1;
    }
    generate();
    Db::closeAll();
    const double megabytes = double(QFileInfo(db).size()) / (1024.0 * 1024.0);
    std::printf("database: %d tasks, %.1f MB\n", kTasks, megabytes);

    const QString folder = dir.filePath(QStringLiteral("backup"));
    const QString plain = dir.filePath(QStringLiteral("plain.dc"));
    const auto clearFolder = [&] { QDir(folder).removeRecursively(); };

    const double copyMs = medianMs([&] { plainCopy(db, plain); });
    const double backupMs =
        medianMs([&] { Backup::makeCopy(db, folder, QDateTime(QDate(2026, 12, 8), QTime(9, 0))); }, clearFolder);
    // For comparison, the way copies were taken before: SQLite's VACUUM INTO, flushed, unchecked.
    const QString bare = dir.filePath(QStringLiteral("bare.dc"));
    const double vacuumMs = medianMs([&] {
        QFile::remove(bare);
        Db::exec(Db::main(), QStringLiteral("VACUUM INTO ?"), {bare});
        const int fd = ::open(QFile::encodeName(bare).constData(), O_RDONLY);
        ::fsync(fd);
        ::close(fd);
    });
    const QString copy = Backup::makeCopy(db, folder, QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    const double checkMs = medianMs([&] { Backup::isIntact(copy); });
    const double quickCheckMs = medianMs([&] {
        QSqlQuery q = Db::exec(Db::main(), QStringLiteral("PRAGMA quick_check"));
        q.next();
    });
    Db::closeAll();

    // The window's event loop while the backup runs on the runner's thread: the longest time
    // between two turns of a 5 ms timer; and the same loop for as long with nothing running.
    clearFolder();
    const auto longestStall = [&](bool withBackup, double forMs) {
        double longest = 0;
        QElapsedTimer sinceTick;
        QTimer ticker;
        ticker.setInterval(5);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longest = std::max(longest, double(sinceTick.nsecsElapsed()) / 1e6);
            sinceTick.restart();
        });
        if (withBackup) {
            BackupRunner::instance().start(
                [&] { return Backup::makeCopy(db, folder, QDateTime(QDate(2026, 12, 9), QTime(9, 0))); },
                [&](bool, const QString&) { app.quit(); });
        } else {
            QTimer::singleShot(int(forMs), &app, &QApplication::quit);
        }
        sinceTick.start();
        ticker.start();
        app.exec();
        return longest;
    };
    QElapsedTimer whole;
    whole.start();
    const double stall = longestStall(true, 0);
    const double runMs = double(whole.nsecsElapsed()) / 1e6;
    const double idleStall = longestStall(false, runMs);

    std::printf("plain copy of the file (flushed)      %8.1f ms\n", copyMs);
    std::printf("checked backup (online backup + check) %7.1f ms   ratio %.2f of the plain copy (goal <= 2)\n",
                backupMs, backupMs / copyMs);
    // Where the checked backup's time goes: the copy through SQLite's pages, then its check.
    std::printf("  of which the copy (backup - check)  %8.1f ms   ratio %.2f of the plain copy\n", backupMs - checkMs,
                (backupMs - checkMs) / copyMs);
    std::printf("  of which the check of the copy      %8.1f ms   ratio %.2f of the plain copy\n", checkMs,
                checkMs / copyMs);
    std::printf("  VACUUM INTO alone, for comparison   %8.1f ms   ratio %.2f\n", vacuumMs, vacuumMs / copyMs);
    std::printf("quick_check of the original           %8.1f ms\n", quickCheckMs);
    std::printf("check of a copy                       %8.1f ms   ratio %.2f\n", checkMs, checkMs / quickCheckMs);
    std::printf("backup off the window's thread        %8.1f ms, longest event-loop stall %.1f ms"
                " (%.1f ms with nothing running)\n",
                runMs, stall, idleStall);
    return 0;
}
