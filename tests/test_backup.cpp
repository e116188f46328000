#include "testsupport.h"

#include "data/backup.h"
#include "data/db.h"
#include "shell/mdifrm.h"
#include "views/backup/backuprunner.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSqlError>
#include <QThread>
#include <QToolButton>
#include <QTreeWidget>
#include <QUuid>

#include <atomic>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

namespace {
const QDateTime kNow(QDate(2009, 1, 31), QTime(8, 0, 0));
const QString kAsk = QStringLiteral("恢复后，当前数据将被所选备份替换（当前数据会先另存为备份）。确定恢复吗？");

int modeOf(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Overwrites the root page of a table with garbage: the file still opens, quick_check fails.
void damageTable(const QString& path, const QString& table = QStringLiteral("zhanghaotype"))
{
    int root = 0;
    int pageSize = 0;
    {
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery q = Db::exec(db, "SELECT rootpage FROM sqlite_master WHERE name = ?", {table});
            QVERIFY(q.next());
            root = q.value(0).toInt();
            q.finish();
            QSqlQuery size = Db::exec(db, "PRAGMA page_size");
            QVERIFY(size.next());
            pageSize = size.value(0).toInt();
            size.finish();
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(qint64(root - 1) * pageSize));
    f.write(QByteArray(pageSize, char(0x5a)));
}

// A count in any SQLite file, through a connection of its own.
qint64 countIn(const QString& file, const QString& sql)
{
    const QString name = QUuid::createUuid().toString();
    qint64 n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                n = q.value(0).toLongLong();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return n;
}

QStringList namesIn(const QString& folder)
{
    QStringList names;
    for (const Backup::Copy& c : Backup::list(folder))
        names << QFileInfo(c.path).fileName();
    return names;
}

bool idle()
{
    for (int i = 0; i < 2000 && BackupRunner::instance().busy(); ++i)
        QTest::qWait(5);
    settle();
    return !BackupRunner::instance().busy();
}

QTreeWidget* copiesList()
{
    return control<QTreeWidget>("Dlogbackup", "ListView1");
}

// Logs in, waits for the day's automatic copy and opens the dialog from the frame's button.
[[nodiscard]] bool openDialog(ProgramRun& run)
{
    if (!run.login() || !idle())
        return false;
    if (!click(control<QToolButton>("MDIfrm", "Command3")))
        return false;
    settle();
    return shown("Dlogbackup") && copiesList();
}
} // namespace

class BackupTest : public QObject
{
    Q_OBJECT

private slots:
    void rotationKeepsDaysWeeksAndMonths_data();
    void rotationKeepsDaysWeeksAndMonths();
    void loginBacksUpOnceADay();
    void copyDuringChangesIsConsistent();
    void restoreRoundTrip();
    void damagedCopyIsNotRestored_data();
    void damagedCopyIsNotRestored();
    void backupNowAndExport();
    void damagedDatabaseOffersBackup_data();
    void damagedDatabaseOffersBackup();
    void unwritableBackupFolder_data();
    void unwritableBackupFolder();
};

void BackupTest::rotationKeepsDaysWeeksAndMonths_data()
{
    QTest::addColumn<int>("every"); // a copy every so many days
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QStringList>("kept");
    // Every day of the last week; the last of each calendar week (Monday to Sunday) met in the
    // four weeks before; the last of each month kept by then, for twelve months.
    QStringList daily;
    for (const char* d : {"2026-12-08", "2026-12-07", "2026-12-06", "2026-12-05", "2026-12-04", "2026-12-03",
                          "2026-12-02", "2026-12-01", "2026-11-29", "2026-11-22", "2026-11-15", "2026-11-08",
                          "2026-11-01", "2026-10-25", "2026-09-27", "2026-08-30", "2026-07-26", "2026-06-28",
                          "2026-05-31", "2026-04-26", "2026-03-29", "2026-02-22", "2026-01-25", "2025-12-28"})
        daily << QStringLiteral("mylive-%1.dc").arg(QLatin1String(d));
    QTest::newRow("daily for fourteen months") << 1 << QDate(2026, 12, 8) << daily;
    // Every ninth day: the weeks and months without a copy keep nothing.
    QStringList sparse;
    for (const char* d : {"2026-12-08", "2026-12-05", "2026-11-26", "2026-11-17", "2026-11-08", "2026-10-30",
                          "2026-09-24", "2026-08-28", "2026-07-23", "2026-06-26", "2026-05-30", "2026-04-24",
                          "2026-03-28", "2026-02-20", "2026-01-24", "2025-12-28"})
        sparse << QStringLiteral("mylive-%1.dc").arg(QLatin1String(d));
    QTest::newRow("every ninth day") << 9 << QDate(2026, 12, 8) << sparse;
    // Copies far apart: one older than twelve months goes.
    QTest::newRow("far apart") << 400 << QDate(2026, 12, 8)
                               << QStringList{"mylive-2026-12-08.dc", "mylive-2026-11-12.dc"};
}

void BackupTest::rotationKeepsDaysWeeksAndMonths()
{
    QFETCH(int, every);
    QFETCH(QDate, last);
    QFETCH(QStringList, kept);
    ProgramRun run;
    QVERIFY(run.start());
    const QString db = run.file("mylive.dc");
    const QString folder = Backup::folderFor(db);
    // Something else in the folder is never touched.
    QVERIFY(QDir().mkpath(folder));
    QFile note(QDir(folder).filePath("mylive-note.dc"));
    QVERIFY(note.open(QIODevice::WriteOnly));
    note.close();

    // Fourteen months of starts, ending on `last`.
    for (QDate day = last.addMonths(-14);; day = day.addDays(every)) {
        day = std::min(day, last);
        Backup::makeCopy(db, folder, QDateTime(day, QTime(9, 0)));
        Backup::rotate(folder, day);
        if (day == last)
            break;
    }
    QCOMPARE(namesIn(folder), kept);
    QVERIFY(QFile::exists(note.fileName()));
    for (const Backup::Copy& c : Backup::list(folder))
        QCOMPARE(modeOf(c.path), 0600);
}

void BackupTest::loginBacksUpOnceADay()
{
    ProgramRun run(kNow);
    QVERIFY(run.login());
    QVERIFY(idle());
    const QString folder = run.file("backup");
    QCOMPARE(namesIn(folder), QStringList{"mylive-2009-01-31.dc"});
    QVERIFY(Backup::isIntact(QDir(folder).filePath("mylive-2009-01-31.dc")));
    QVERIFY(run.messages.filter(QStringLiteral("备份")).isEmpty());

    // The same day again: no second copy. The next day: its own copy.
    closeEverything();
    QVERIFY(run.login());
    QVERIFY(idle());
    QCOMPARE(namesIn(folder).size(), 1);
    closeEverything();
    run.setNow(kNow.addDays(1));
    QVERIFY(run.login());
    QVERIFY(idle());
    QCOMPARE(namesIn(folder), (QStringList{"mylive-2009-02-01.dc", "mylive-2009-01-31.dc"}));
}

void BackupTest::copyDuringChangesIsConsistent()
{
    ProgramRun run;
    QVERIFY(run.start());
    const QString db = run.file("mylive.dc");
    const QString folder = run.file("backup");
    run.exec("CREATE TABLE pairs (n INTEGER)");
    Db::closeAll();

    // A change not yet committed is not in the copy.
    {
        const QString name = QStringLiteral("writer");
        {
            QSqlDatabase w = QSqlDatabase::addDatabase("QSQLITE", name);
            w.setDatabaseName(db);
            QVERIFY(w.open());
            Db::exec(w, "BEGIN IMMEDIATE");
            Db::exec(w, "INSERT INTO pairs VALUES (0)");
            const QString copy = Backup::makeCopy(db, folder, kNow);
            QCOMPARE(countIn(copy, "SELECT count(*) FROM pairs"), 0);
            Db::exec(w, "COMMIT");
            w.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    // Copies taken while another thread commits pairs of rows hold whole pairs only.
    std::atomic<bool> stop{false};
    QThread* writer = QThread::create([&] {
        const QString name = QStringLiteral("pairs-writer");
        {
            QSqlDatabase w = QSqlDatabase::addDatabase("QSQLITE", name);
            w.setDatabaseName(db);
            w.setConnectOptions("QSQLITE_BUSY_TIMEOUT=5000");
            if (w.open()) {
                for (int i = 0; i < 400 && !stop; ++i) {
                    QSqlQuery q(w);
                    q.exec("BEGIN IMMEDIATE");
                    q.exec("INSERT INTO pairs VALUES (1)");
                    q.exec("INSERT INTO pairs VALUES (2)");
                    q.exec("COMMIT");
                    QThread::msleep(2); // a person's changes come apart, not back to back
                }
            }
            w.close();
        }
        QSqlDatabase::removeDatabase(name);
    });
    writer->start();
    for (int i = 0; i < 8; ++i) {
        const QString copy = Backup::makeCopy(db, folder, kNow.addSecs(i + 1));
        QVERIFY(Backup::isIntact(copy));
        QCOMPARE(countIn(copy, "SELECT count(*) FROM pairs WHERE n = 0"), 1);
        QCOMPARE(countIn(copy, "SELECT count(*) FROM pairs WHERE n = 1"),
                 countIn(copy, "SELECT count(*) FROM pairs WHERE n = 2"));
    }
    stop = true;
    writer->wait();
    delete writer;
}

void BackupTest::restoreRoundTrip()
{
    ProgramRun run(kNow);
    QVERIFY(openDialog(run));
    QCOMPARE(copiesList()->topLevelItemCount(), 1);
    QCOMPARE(copiesList()->topLevelItem(0)->text(1), QStringLiteral("2009-1-31"));
    QCOMPARE(copiesList()->topLevelItem(0)->text(2), QStringLiteral("8:00:00"));
    const int themes = run.scalar("SELECT count(*) FROM juese").toInt();

    // A change after the copy, then the copy comes back.
    run.exec("INSERT INTO juese (name) VALUES ('新主题')");
    QVERIFY(clickRow(copiesList(), 0));
    run.answerNext(QMessageBox::Yes);
    QVERIFY(click(control<QPushButton>("Dlogbackup", "Command2")));
    QVERIFY(idle());
    QVERIFY(run.messages.contains(kAsk));
    QTRY_VERIFY(shown("frmlogin"));
    QTRY_VERIFY(!find<QWidget>("MDIfrm"));
    QTRY_VERIFY(!find<QWidget>("Dlogbackup"));
    QCOMPARE(run.scalar("SELECT count(*) FROM juese").toInt(), themes);
    QCOMPARE(modeOf(run.file("mylive.dc")), 0600);

    // The replaced data was copied first.
    const QList<Backup::Copy> copies = Backup::list(run.file("backup"));
    QCOMPARE(copies.size(), 2);
    QCOMPARE(countIn(copies.first().path, "SELECT count(*) FROM juese WHERE name = '新主题'"), 1);
    QVERIFY(run.messages.last().contains(QFileInfo(copies.first().path).fileName()));

    // And the program goes on with the restored data.
    QVERIFY(run.login());
    QVERIFY(idle());
}

void BackupTest::damagedCopyIsNotRestored_data()
{
    QTest::addColumn<bool>("garbage");
    QTest::newRow("damaged page") << false;
    QTest::newRow("not a database") << true;
}

void BackupTest::damagedCopyIsNotRestored()
{
    QFETCH(bool, garbage);
    ProgramRun run(kNow);
    QVERIFY(run.login());
    QVERIFY(idle());
    const QString copy = run.file("backup/mylive-2009-01-31.dc");
    if (garbage) {
        QFile f(copy);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(8192, 'x'));
    } else {
        damageTable(copy);
    }
    run.exec("INSERT INTO juese (name) VALUES ('新主题')");
    const QByteArray before = contents(run.file("mylive.dc"));
    QVERIFY(click(control<QToolButton>("MDIfrm", "Command3")));
    settle();
    QVERIFY(clickRow(copiesList(), 0));
    run.answerNext(QMessageBox::Yes);
    QVERIFY(click(control<QPushButton>("Dlogbackup", "Command2")));
    QVERIFY(idle());
    QCOMPARE(run.messages.last(), QStringLiteral("所选备份已损坏，不能用来恢复。当前数据没有改动。"));
    QVERIFY(shown("MDIfrm"));
    QCOMPARE(contents(run.file("mylive.dc")), before);
    QCOMPARE(namesIn(run.file("backup")), QStringList{"mylive-2009-01-31.dc"});
    QCOMPARE(QDir(run.folder()).entryList(QDir::Files | QDir::Hidden).filter(".partial").size(), 0);
}

void BackupTest::backupNowAndExport()
{
    ProgramRun run(kNow);
    QVERIFY(openDialog(run));
    run.setNow(kNow.addSecs(3600));
    QVERIFY(click(control<QPushButton>("Dlogbackup", "Command1")));
    QVERIFY(!control<QPushButton>("Dlogbackup", "Command1")->isEnabled() || !BackupRunner::instance().busy());
    QVERIFY(idle());
    // A second copy the same day keeps the first.
    QCOMPARE(copiesList()->topLevelItemCount(), 2);
    QCOMPARE(copiesList()->currentItem()->text(0), QStringLiteral("mylive-2009-01-31-090000.dc"));
    QCOMPARE(copiesList()->currentItem()->text(2), QStringLiteral("9:00:00"));
    QVERIFY(control<QPushButton>("Dlogbackup", "Command1")->isEnabled());

    // Export: cancelled, then to a folder of the user's choice (a name without ending gets .dc).
    QVERIFY(click(control<QPushButton>("Dlogbackup", "Command3")));
    QVERIFY(idle());
    QVERIFY(QDir(run.folder()).mkpath("elsewhere"));
    run.savePath = run.file("elsewhere/mine");
    QVERIFY(click(control<QPushButton>("Dlogbackup", "Command3")));
    QVERIFY(idle());
    QCOMPARE(run.saveFilters.size(), 2);
    const QString exported = run.file("elsewhere/mine.dc");
    QVERIFY(Backup::isIntact(exported));
    QCOMPARE(modeOf(exported), 0600);
    QCOMPARE(countIn(exported, "SELECT count(*) FROM renwu"), run.scalar("SELECT count(*) FROM renwu").toLongLong());
    QVERIFY(run.messages.filter(QStringLiteral("备份")).isEmpty());
    QVERIFY(run.messages.filter(QStringLiteral("导出")).isEmpty());

    // The folder link opens the folder.
    emit control<QLabel>("Dlogbackup", "Label1")->linkActivated("folder");
    QCOMPARE(run.openedUrls.last(), QUrl::fromLocalFile(run.file("backup")));
}

void BackupTest::damagedDatabaseOffersBackup_data()
{
    QTest::addColumn<bool>("goodCopy");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("yes restores") << true << QMessageBox::Yes;
    QTest::newRow("no ends") << true << QMessageBox::No;
    QTest::newRow("no good copy") << false << QMessageBox::Yes;
}

void BackupTest::damagedDatabaseOffersBackup()
{
    QFETCH(bool, goodCopy);
    QFETCH(QMessageBox::StandardButton, answer);
    ProgramRun run(kNow);
    QVERIFY(run.start());
    const QString db = run.file("mylive.dc");
    const QString older = Backup::makeCopy(db, run.file("backup"), kNow.addDays(-2));
    const QString newer = Backup::makeCopy(db, run.file("backup"), kNow.addDays(-1));
    run.exec("INSERT INTO juese (name) VALUES ('损坏前')");
    closeEverything();
    damageTable(newer);
    if (!goodCopy)
        damageTable(older);
    damageTable(db);
    const QByteArray damaged = contents(db);

    run.answerNext(answer);
    const bool started = run.start();
    QVERIFY(!run.messages.isEmpty());
    QVERIFY(run.messages.first().startsWith(QStringLiteral("数据库文件已损坏")));
    if (!goodCopy) {
        QVERIFY(!started);
        QCOMPARE(run.messages.size(), 1);
        QCOMPARE(run.messageButtons.first(), QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(contents(db), damaged);
        return;
    }
    QCOMPARE(run.messageButtons.first(), QMessageBox::Yes | QMessageBox::No);
    QVERIFY(run.messages.first().contains(QStringLiteral("2009-1-29")));
    const QStringList kept = QDir(run.folder()).entryList({"mylive.dc.damaged-*"}, QDir::Files);
    if (answer == QMessageBox::No) {
        QVERIFY(!started);
        QCOMPARE(run.messages.size(), 1);
        QCOMPARE(contents(db), damaged);
        QVERIFY(kept.isEmpty());
        return;
    }
    QVERIFY(started);
    QVERIFY(shown("frmlogin"));
    QCOMPARE(kept.size(), 1);
    QCOMPARE(contents(run.file(kept.first())), damaged);
    QVERIFY(run.messages.last().contains(kept.first()));
    QVERIFY(Backup::isIntact(db));
    QCOMPARE(run.scalar("SELECT count(*) FROM juese WHERE name = '损坏前'").toInt(), 0);
    QVERIFY(run.login());
    QVERIFY(idle());
}

void BackupTest::unwritableBackupFolder_data()
{
    QTest::addColumn<bool>("readOnly"); // else a file stands where the folder should be
    QTest::newRow("read-only folder") << true;
    QTest::newRow("file in the folder's place") << false;
}

void BackupTest::unwritableBackupFolder()
{
    QFETCH(bool, readOnly);
    if (readOnly && ::geteuid() == 0)
        QSKIP("the superuser writes into read-only folders");
    ProgramRun run(kNow);
    QVERIFY(run.start());
    if (readOnly) {
        QVERIFY(QDir(run.folder()).mkdir("backup"));
        QVERIFY(QFile::setPermissions(run.file("backup"), QFile::ReadOwner | QFile::ExeOwner));
    } else {
        QFile f(run.file("backup"));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(run.login());
    QVERIFY(idle());
    QCOMPARE(run.messages.filter(QStringLiteral("备份")).size(), 1);
    QVERIFY(run.messages.filter(QStringLiteral("备份")).first().startsWith(QStringLiteral("自动备份没有完成")));
    QVERIFY(shown("MDIfrm"));
    QVERIFY(Db::run([] { Db::execute("INSERT INTO juese (name) VALUES ('照常')"); }));
    if (readOnly)
        QFile::setPermissions(run.file("backup"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_MAIN(BackupTest)
#include "test_backup.moc"
