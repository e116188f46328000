#include "testsupport.h"

#include "data/backup.h"
#include "data/db.h"
#include "data/schema.h"
#include "data/store.h"
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
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;
using namespace Qt::StringLiterals;

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
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery q = Db::exec(db, u"SELECT rootpage FROM sqlite_master WHERE name = ?"_s, {table});
            QVERIFY(q.next());
            root = q.value(0).toInt();
            q.finish();
            QSqlQuery size = Db::exec(db, u"PRAGMA page_size"_s);
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
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
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
    return control<QTreeWidget>(u"Dlogbackup"_s, u"ListView1"_s);
}

// Logs in, waits for the day's automatic copy and opens the dialog from the frame's button.
[[nodiscard]] bool openDialog(ProgramRun& run)
{
    if (!run.login() || !idle())
        return false;
    if (!click(control<QToolButton>(u"MDIfrm"_s, u"Command3"_s)))
        return false;
    settle();
    return shown(u"Dlogbackup"_s) && copiesList();
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
    void olderCopyIsMigratedOnRestore();
    void exportOntoTheDatabaseIsRefused_data();
    void exportOntoTheDatabaseIsRefused();
    void leftoversGoAtStart();
    void damageFoundAfterLoginStopsWriting();
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
    for (const QString& d :
         {u"2026-12-08"_s, u"2026-12-07"_s, u"2026-12-06"_s, u"2026-12-05"_s, u"2026-12-04"_s, u"2026-12-03"_s,
          u"2026-12-02"_s, u"2026-12-01"_s, u"2026-11-29"_s, u"2026-11-22"_s, u"2026-11-15"_s, u"2026-11-08"_s,
          u"2026-11-01"_s, u"2026-10-25"_s, u"2026-09-27"_s, u"2026-08-30"_s, u"2026-07-26"_s, u"2026-06-28"_s,
          u"2026-05-31"_s, u"2026-04-26"_s, u"2026-03-29"_s, u"2026-02-22"_s, u"2026-01-25"_s, u"2025-12-28"_s})
        daily << QStringLiteral("mylive-%1.dc").arg(d);
    QTest::newRow("daily for fourteen months") << 1 << QDate(2026, 12, 8) << daily;
    // Every ninth day: the weeks and months without a copy keep nothing.
    QStringList sparse;
    for (const QString& d :
         {u"2026-12-08"_s, u"2026-12-05"_s, u"2026-11-26"_s, u"2026-11-17"_s, u"2026-11-08"_s, u"2026-10-30"_s,
          u"2026-09-24"_s, u"2026-08-28"_s, u"2026-07-23"_s, u"2026-06-26"_s, u"2026-05-30"_s, u"2026-04-24"_s,
          u"2026-03-28"_s, u"2026-02-20"_s, u"2026-01-24"_s, u"2025-12-28"_s})
        sparse << QStringLiteral("mylive-%1.dc").arg(d);
    QTest::newRow("every ninth day") << 9 << QDate(2026, 12, 8) << sparse;
    // Copies far apart: one older than twelve months goes.
    QTest::newRow("far apart") << 400 << QDate(2026, 12, 8)
                               << QStringList{u"mylive-2026-12-08.dc"_s, u"mylive-2026-11-12.dc"_s};
}

void BackupTest::rotationKeepsDaysWeeksAndMonths()
{
    QFETCH(int, every);
    QFETCH(QDate, last);
    QFETCH(QStringList, kept);
    ProgramRun run;
    QVERIFY(run.start());
    const QString db = run.file(u"mylive.dc"_s);
    const QString folder = Backup::folderFor(db);
    // Something else in the folder is never touched.
    QVERIFY(QDir().mkpath(folder));
    QFile note(QDir(folder).filePath(u"mylive-note.dc"_s));
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
    const QString folder = run.file(u"backup"_s);
    QCOMPARE(namesIn(folder), QStringList{u"mylive-2009-01-31.dc"_s});
    QVERIFY(Backup::isIntact(QDir(folder).filePath(u"mylive-2009-01-31.dc"_s)));
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
    QCOMPARE(namesIn(folder), (QStringList{u"mylive-2009-02-01.dc"_s, u"mylive-2009-01-31.dc"_s}));
}

void BackupTest::copyDuringChangesIsConsistent()
{
    ProgramRun run;
    QVERIFY(run.start());
    const QString db = run.file(u"mylive.dc"_s);
    const QString folder = run.file(u"backup"_s);
    run.exec(u"CREATE TABLE pairs (n INTEGER)"_s);
    Db::closeAll();

    // A change not yet committed is not in the copy.
    {
        const QString name = QStringLiteral("writer");
        {
            QSqlDatabase w = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
            w.setDatabaseName(db);
            QVERIFY(w.open());
            Db::exec(w, u"BEGIN IMMEDIATE"_s);
            Db::exec(w, u"INSERT INTO pairs VALUES (0)"_s);
            const QString copy = Backup::makeCopy(db, folder, kNow);
            QCOMPARE(countIn(copy, u"SELECT count(*) FROM pairs"_s), 0);
            Db::exec(w, u"COMMIT"_s);
            w.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    // Copies taken while another thread commits pairs of rows hold whole pairs only.
    std::atomic<bool> stop{false};
    QThread* writer = QThread::create([&] {
        const QString name = QStringLiteral("pairs-writer");
        {
            QSqlDatabase w = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
            w.setDatabaseName(db);
            w.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=5000"_s);
            if (w.open()) {
                for (int i = 0; i < 400 && !stop; ++i) {
                    QSqlQuery q(w);
                    q.exec(u"BEGIN IMMEDIATE"_s);
                    q.exec(u"INSERT INTO pairs VALUES (1)"_s);
                    q.exec(u"INSERT INTO pairs VALUES (2)"_s);
                    q.exec(u"COMMIT"_s);
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
        QCOMPARE(countIn(copy, u"SELECT count(*) FROM pairs WHERE n = 0"_s), 1);
        QCOMPARE(countIn(copy, u"SELECT count(*) FROM pairs WHERE n = 1"_s),
                 countIn(copy, u"SELECT count(*) FROM pairs WHERE n = 2"_s));
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
    const int themes = run.scalar(u"SELECT count(*) FROM juese"_s).toInt();

    // A change after the copy, then the copy comes back.
    run.exec(u"INSERT INTO juese (name) VALUES ('新主题')"_s);
    QVERIFY(clickRow(copiesList(), 0));
    run.answerNext(QMessageBox::Yes);
    QVERIFY(click(control<QPushButton>(u"Dlogbackup"_s, u"Command2"_s)));
    QVERIFY(idle());
    QVERIFY(run.messages.contains(kAsk));
    QTRY_VERIFY(shown(u"frmlogin"_s));
    QTRY_VERIFY(!find<QWidget>(u"MDIfrm"_s));
    QTRY_VERIFY(!find<QWidget>(u"Dlogbackup"_s));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM juese"_s).toInt(), themes);
    QCOMPARE(modeOf(run.file(u"mylive.dc"_s)), 0600);

    // The replaced data was copied first.
    const QList<Backup::Copy> copies = Backup::list(run.file(u"backup"_s));
    QCOMPARE(copies.size(), 2);
    QCOMPARE(countIn(copies.first().path, u"SELECT count(*) FROM juese WHERE name = '新主题'"_s), 1);
    QVERIFY(run.messages.last().contains(QFileInfo(copies.first().path).fileName()));

    // And the program goes on with the restored data.
    QVERIFY(run.login());
    QVERIFY(idle());
}

void BackupTest::damagedCopyIsNotRestored_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("damaged page") << "damaged"
                                  << "所选备份已损坏";
    QTest::newRow("not a database") << "garbage"
                                    << "不是本程序的数据库";
    QTest::newRow("another program's database") << "magazine"
                                                << "不是本程序的数据库";
    QTest::newRow("newer build") << "newer"
                                 << "更新版本";
}

void BackupTest::damagedCopyIsNotRestored()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    ProgramRun run(kNow);
    QVERIFY(run.login());
    QVERIFY(idle());
    const QString copy = run.file(u"backup/mylive-2009-01-31.dc"_s);
    if (kind == "garbage"_L1) {
        QFile f(copy);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(8192, 'x'));
    } else if (kind == "magazine"_L1) {
        QVERIFY(QFile::remove(copy));
        QVERIFY(QFile::copy(run.file(u"magazine.mdb"_s), copy));
    } else if (kind == "newer"_L1) {
        QCOMPARE(countIn(copy, u"SELECT count(*) FROM juese"_s) > 0, true);
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
            db.setDatabaseName(copy);
            QVERIFY(db.open());
            Db::exec(db, u"PRAGMA user_version = 999"_s);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    } else {
        damageTable(copy);
    }
    const QByteArray copyBefore = contents(copy);
    run.exec(u"INSERT INTO juese (name) VALUES ('新主题')"_s);
    const QByteArray before = contents(run.file(u"mylive.dc"_s));
    QVERIFY(click(control<QToolButton>(u"MDIfrm"_s, u"Command3"_s)));
    settle();
    QVERIFY(clickRow(copiesList(), 0));
    run.answerNext(QMessageBox::Yes);
    QVERIFY(click(control<QPushButton>(u"Dlogbackup"_s, u"Command2"_s)));
    QVERIFY(idle());
    // One message that names the file; nothing replaced, the copy itself untouched.
    QVERIFY2(run.messages.last().contains(message), qPrintable(run.messages.last()));
    QVERIFY(run.messages.last().contains(copy));
    QVERIFY(run.messages.last().contains(QStringLiteral("当前数据没有改动")));
    QCOMPARE(run.messages.filter(copy).size(), 1);
    QVERIFY(shown(u"MDIfrm"_s));
    QCOMPARE(contents(run.file(u"mylive.dc"_s)), before);
    QCOMPARE(contents(copy), copyBefore);
    QCOMPARE(namesIn(run.file(u"backup"_s)), QStringList{u"mylive-2009-01-31.dc"_s});
    QCOMPARE(QDir(run.folder()).entryList(QDir::Files | QDir::Hidden).filter(u".partial"_s).size(), 0);
}

void BackupTest::olderCopyIsMigratedOnRestore()
{
    ProgramRun run(kNow);
    QVERIFY(QDir(run.folder()).mkpath(u"backup"_s));
    const QString old = run.file(u"backup/mylive-2009-01-30.dc"_s);
    QVERIFY(QFile::copy(QFINDTESTDATA("data/mylive_v0.dc"), old));
    QFile::setPermissions(old, QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray oldBytes = contents(old);
    QVERIFY(openDialog(run));
    QVERIFY(clickRow(copiesList(), 1));
    QCOMPARE(copiesList()->currentItem()->text(0), QStringLiteral("mylive-2009-01-30.dc"));
    run.answerNext(QMessageBox::Yes);
    QVERIFY(click(control<QPushButton>(u"Dlogbackup"_s, u"Command2"_s)));
    QVERIFY(idle());
    QTRY_VERIFY(shown(u"frmlogin"_s));
    // The copy put in place is at this build's version, so the next login finds every table.
    QCOMPARE(run.scalar(u"PRAGMA user_version"_s).toInt(), Schema::mainVersion());
    QCOMPARE(run.scalar(u"SELECT count(*) FROM sqlite_master WHERE name = 'chongfu'"_s).toInt(), 1);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu"_s).toInt(), 34);
    QCOMPARE(contents(old), oldBytes); // the copy itself stays as it was
    run.messages.clear();
    QVERIFY(run.login());
    QVERIFY(idle());
    QCOMPARE(run.messages.filter(QStringLiteral("no such table")).size(), 0);
}

void BackupTest::exportOntoTheDatabaseIsRefused_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("folder reached through a link") << "folder";
    QTest::newRow("link to the file") << "file";
    QTest::newRow("hard link") << "hard";
}

void BackupTest::exportOntoTheDatabaseIsRefused()
{
    QFETCH(QString, way);
    ProgramRun run(kNow);
    QVERIFY(openDialog(run));
    const QString db = run.file(u"mylive.dc"_s);
    QTemporaryDir other;
    if (way == "folder"_L1) {
        QVERIFY(QFile::link(run.folder(), other.filePath(u"data"_s)));
        run.savePath = other.filePath(u"data/mylive.dc"_s);
    } else if (way == "file"_L1) {
        QVERIFY(QFile::link(db, other.filePath(u"mine.dc"_s)));
        run.savePath = other.filePath(u"mine.dc"_s);
    } else {
        QVERIFY(::link(QFile::encodeName(db).constData(), QFile::encodeName(run.file(u"same.dc"_s)).constData()) == 0);
        run.savePath = run.file(u"same.dc"_s);
    }
    struct stat before;
    QVERIFY(::stat(QFile::encodeName(db).constData(), &before) == 0);
    QVERIFY(click(control<QPushButton>(u"Dlogbackup"_s, u"Command3"_s)));
    QVERIFY(idle());
    QVERIFY(!run.messages.isEmpty());
    QVERIFY2(run.messages.last().contains(QStringLiteral("不能把副本导出到数据库文件本身")),
             qPrintable(run.messages.last()));
    struct stat after;
    QVERIFY(::stat(QFile::encodeName(db).constData(), &after) == 0);
    QCOMPARE(after.st_ino, before.st_ino);
    // The program goes on writing into its file.
    QVERIFY(Db::run([] { Db::execute(u"INSERT INTO juese (name) VALUES ('导出之后')"_s); }));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM juese WHERE name = '导出之后'"_s).toInt(), 1);
}

void BackupTest::leftoversGoAtStart()
{
    ProgramRun run(kNow);
    QVERIFY(QDir(run.folder()).mkpath(u"backup"_s));
    const QString hex = QUuid::createUuid().toString(QUuid::Id128);
    const QStringList own = {u".mylive.dc."_s + hex + u".partial"_s,
                             u".mylive.dc."_s + hex + u".new"_s,
                             u".mylive.dc."_s + hex + u".new-journal"_s,
                             u".magazine.mdb."_s + hex + u".new"_s,
                             u"backup/.mylive-2009-01-30.dc."_s + hex + u".partial"_s,
                             u"backup/.mylive-2009-01-30-101010.dc."_s + hex + u".partial"_s};
    const QStringList others = {u".mylive.dc.partial"_s, u"notes.partial"_s, u".other.dc."_s + hex + u".partial"_s,
                                u"backup/.photo.jpg."_s + hex + u".partial"_s,
                                u".mylive.dc."_s + hex + u".partial.txt"_s};
    for (const QString& name : own + others) {
        QFile f(run.file(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("left");
    }
    QVERIFY(run.start());
    for (const QString& name : own)
        QVERIFY2(!QFileInfo::exists(run.file(name)), qPrintable(name));
    for (const QString& name : others)
        QVERIFY2(QFileInfo::exists(run.file(name)), qPrintable(name));
}

void BackupTest::damageFoundAfterLoginStopsWriting()
{
    ProgramRun run(kNow);
    QVERIFY(run.login());
    QVERIFY(idle());
    const QString db = run.file(u"mylive.dc"_s);
    closeEverything(); // a clean end: the next start trusts the file as it is now
    // Damage behind the program's back that leaves size, time and change counter as they were.
    struct stat st;
    QVERIFY(::stat(QFile::encodeName(db).constData(), &st) == 0);
    damageTable(db);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(db).constData(), times, 0) == 0);

    run.messages.clear();
    run.messageButtons.clear();
    QVERIFY(run.start());
    QVERIFY(Store::fullCheckSkipped());
    QVERIFY(run.messages.isEmpty()); // not seen at start: size, time and counter are as recorded
    run.answerNext(QMessageBox::No);
    QVERIFY(run.login());
    QVERIFY(idle());
    const QStringList said = run.messages.filter(QStringLiteral("数据库文件已损坏"));
    QCOMPARE(said.size(), 1);
    QVERIFY(said.first().contains(QStringLiteral("停止写入")));
    QCOMPARE(run.messageButtons.at(run.messages.indexOf(said.first())),
             QMessageBox::Yes | QMessageBox::No); // the day's copy is good
    const QByteArray damaged = contents(db);
    run.messages.clear();
    QVERIFY(!Db::run([] { Db::execute(u"INSERT INTO juese (name) VALUES ('不应写入')"_s); }));
    QCOMPARE(contents(db), damaged);
}

void BackupTest::backupNowAndExport()
{
    ProgramRun run(kNow);
    QVERIFY(openDialog(run));
    run.setNow(kNow.addSecs(3600));
    QVERIFY(click(control<QPushButton>(u"Dlogbackup"_s, u"Command1"_s)));
    QVERIFY(!control<QPushButton>(u"Dlogbackup"_s, u"Command1"_s)->isEnabled() || !BackupRunner::instance().busy());
    QVERIFY(idle());
    // A second copy the same day keeps the first.
    QCOMPARE(copiesList()->topLevelItemCount(), 2);
    QCOMPARE(copiesList()->currentItem()->text(0), QStringLiteral("mylive-2009-01-31-090000.dc"));
    QCOMPARE(copiesList()->currentItem()->text(2), QStringLiteral("9:00:00"));
    QVERIFY(control<QPushButton>(u"Dlogbackup"_s, u"Command1"_s)->isEnabled());

    // Export: cancelled, then to a folder of the user's choice (a name without ending gets .dc).
    QVERIFY(click(control<QPushButton>(u"Dlogbackup"_s, u"Command3"_s)));
    QVERIFY(idle());
    QVERIFY(QDir(run.folder()).mkpath(u"elsewhere"_s));
    run.savePath = run.file(u"elsewhere/mine"_s);
    QVERIFY(click(control<QPushButton>(u"Dlogbackup"_s, u"Command3"_s)));
    QVERIFY(idle());
    QCOMPARE(run.saveFilters.size(), 2);
    const QString exported = run.file(u"elsewhere/mine.dc"_s);
    QVERIFY(Backup::isIntact(exported));
    QCOMPARE(modeOf(exported), 0600);
    QCOMPARE(countIn(exported, u"SELECT count(*) FROM renwu"_s),
             run.scalar(u"SELECT count(*) FROM renwu"_s).toLongLong());
    QVERIFY(run.messages.filter(QStringLiteral("备份")).isEmpty());
    QVERIFY(run.messages.filter(QStringLiteral("导出")).isEmpty());

    // The folder link opens the folder.
    emit control<QLabel>(u"Dlogbackup"_s, u"Label1"_s)->linkActivated(u"folder"_s);
    QCOMPARE(run.openedUrls.last(), QUrl::fromLocalFile(run.file(u"backup"_s)));
}

void BackupTest::damagedDatabaseOffersBackup_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("goodCopy");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("yes restores") << "page" << true << QMessageBox::Yes;
    QTest::newRow("no ends") << "page" << true << QMessageBox::No;
    QTest::newRow("no good copy") << "page" << false << QMessageBox::Yes;
    QTest::newRow("empty file, yes") << "empty" << true << QMessageBox::Yes;
    QTest::newRow("empty file, no") << "empty" << true << QMessageBox::No;
    QTest::newRow("zeroed header, yes") << "header" << true << QMessageBox::Yes;
    QTest::newRow("zeroed header, no") << "header" << true << QMessageBox::No;
}

void BackupTest::damagedDatabaseOffersBackup()
{
    QFETCH(QString, damage);
    QFETCH(bool, goodCopy);
    QFETCH(QMessageBox::StandardButton, answer);
    ProgramRun run(kNow);
    QVERIFY(run.start());
    const QString db = run.file(u"mylive.dc"_s);
    const QString older = Backup::makeCopy(db, run.file(u"backup"_s), kNow.addDays(-2));
    const QString newer = Backup::makeCopy(db, run.file(u"backup"_s), kNow.addDays(-1));
    run.exec(u"INSERT INTO juese (name) VALUES ('损坏前')"_s);
    closeEverything();
    damageTable(newer);
    if (!goodCopy)
        damageTable(older);
    if (damage == "page"_L1) {
        damageTable(db);
    } else {
        QFile f(db);
        QVERIFY(f.open(QIODevice::ReadWrite));
        if (damage == "empty"_L1)
            QVERIFY(f.resize(0));
        else
            f.write(QByteArray(100, '\0'));
    }
    const QByteArray damaged = contents(db);

    run.answerNext(answer);
    const bool started = run.start();
    QVERIFY(!run.messages.isEmpty());
    const QString said = damage == "page"_L1    ? u"数据库文件已损坏"_s
                         : damage == "empty"_L1 ? u"数据库文件是空的"_s
                                                : u"不是本程序的数据库"_s;
    QVERIFY2(run.messages.first().contains(said), qPrintable(run.messages.first()));
    if (!goodCopy) {
        QVERIFY(!started);
        QCOMPARE(run.messages.size(), 1);
        QCOMPARE(run.messageButtons.first(), QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(contents(db), damaged);
        return;
    }
    QCOMPARE(run.messageButtons.first(), QMessageBox::Yes | QMessageBox::No);
    QVERIFY(run.messages.first().contains(QStringLiteral("2009-1-29")));
    const QStringList kept = QDir(run.folder()).entryList({u"mylive.dc.damaged-*"_s}, QDir::Files);
    if (answer == QMessageBox::No) {
        QVERIFY(!started);
        QCOMPARE(run.messages.size(), 1);
        QCOMPARE(contents(db), damaged);
        QVERIFY(kept.isEmpty());
        return;
    }
    QVERIFY(started);
    QVERIFY(shown(u"frmlogin"_s));
    QCOMPARE(kept.size(), 1);
    QCOMPARE(contents(run.file(kept.first())), damaged);
    QVERIFY(run.messages.last().contains(kept.first()));
    QVERIFY(Backup::isIntact(db));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM juese WHERE name = '损坏前'"_s).toInt(), 0);
    QVERIFY(run.scalar(u"SELECT count(*) FROM juese"_s).toInt() > 0);
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
        QVERIFY(QDir(run.folder()).mkdir(u"backup"_s));
        QVERIFY(QFile::setPermissions(run.file(u"backup"_s), QFile::ReadOwner | QFile::ExeOwner));
    } else {
        QFile f(run.file(u"backup"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(run.login());
    QVERIFY(idle());
    QCOMPARE(run.messages.filter(QStringLiteral("备份")).size(), 1);
    QVERIFY(run.messages.filter(QStringLiteral("备份")).first().startsWith(QStringLiteral("自动备份没有完成")));
    QVERIFY(shown(u"MDIfrm"_s));
    QVERIFY(Db::run([] { Db::execute(u"INSERT INTO juese (name) VALUES ('照常')"_s); }));
    if (readOnly)
        QFile::setPermissions(run.file(u"backup"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_MAIN(BackupTest)
#include "test_backup.moc"
