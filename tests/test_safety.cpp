#include "testsupport.h"

#include "data/backup.h"
#include "data/db.h"
#include "data/diary.h"
#include "data/filestate.h"
#include "data/schema.h"
#include "data/store.h"
#include "data/tasks.h"
#include "shell/datafolder.h"
#include "shell/mdifrm.h"
#include "shell/module1.h"
#include "shell/singleinstance.h"

#include <QCalendarWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;
using namespace Qt::StringLiterals;

// What keeps the user's data whole: actions that fail leave nothing behind and report once,
// databases of older builds are brought up to date, and a start never writes into a file it
// should not touch.
class SafetyTest : public QObject
{
    Q_OBJECT

private slots:
    void failingStepUndoesTheWholeAction();
    void lockedDatabaseGivesOneMessage();
    void olderDatabaseIsMigrated();
    void copyDatedAheadIsNotOffered();
    void refusedFiles_data();
    void refusedFiles();
    void databaseFileIsPrivate();
    void twoStartsRaceForOneFolder();
    void staleLockIsTakenOver();
    void reminderJustBeforeMidnight();
    void unusableDataFolder_data();
    void unusableDataFolder();
    void relativeXdgDataHomeIsIgnored();
    void startChecksFullyUnlessUnchanged();
    void strayJournalIsMovedAside();
    void calendarClickLoadsTheDayOnce();

private:
    static QTimer* frameTimer() { return reminderTimer(); }
};

namespace {
QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int modeOf(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

// Overwrites the root page of a table that start-up never reads with garbage.
void damageTable(const QString& path, const QString& table)
{
    QSqlDatabase db = Db::open(path);
    QSqlQuery q = Db::exec(db, u"SELECT rootpage FROM sqlite_master WHERE name = ?"_s, {table});
    QVERIFY(q.next());
    const int root = q.value(0).toInt();
    q.finish();
    QSqlQuery size = Db::exec(db, u"PRAGMA page_size"_s);
    QVERIFY(size.next());
    const int pageSize = size.value(0).toInt();
    size.finish();
    Db::closeAll();
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(qint64(root - 1) * pageSize));
    f.write(QByteArray(pageSize, char(0x5a)));
}
} // namespace

void SafetyTest::failingStepUndoesTheWholeAction()
{
    ProgramRun run;
    QVERIFY(run.start());
    run.exec(
        u"CREATE TRIGGER refuse BEFORE DELETE ON renwu WHEN old.title = 'keep' BEGIN SELECT RAISE(ABORT, 'kept'); END"_s);
    run.exec(u"INSERT INTO renwu (title) VALUES ('keep')"_s);
    const qint64 kept = run.scalar(u"SELECT max(id) FROM renwu"_s).toLongLong();
    const int themes = run.scalar(u"SELECT count(*) FROM juese"_s).toInt();
    const QDate day(2011, 3, 4);

    // An action of several steps, with a transaction of its own (the diary) inside, whose
    // last step fails.
    const bool done = Db::run([&] {
        Db::transaction([&] {
            Db::execute(u"INSERT INTO juese (name) VALUES ('half')"_s);
            Diary::save(day, u"written inside"_s);
            Tasks::remove(kept);
        });
    });
    QVERIFY(!done);
    QCOMPARE(run.messages.size(), 1);
    QVERIFY(run.messages.first().contains(u"kept"_s));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM juese"_s).toInt(), themes);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fangfa WHERE addtime = '2011-03-04'"_s).toInt(), 0);
    QVERIFY(Tasks::exists(kept));

    // The connection is usable afterwards: the next action commits.
    QVERIFY(Db::run([&] { Db::transaction([&] { Diary::save(day, u"later"_s); }); }));
    QCOMPARE(run.scalar(u"SELECT content FROM fangfa WHERE addtime = '2011-03-04'"_s).toString(), u"later"_s);
}

void SafetyTest::lockedDatabaseGivesOneMessage()
{
    ProgramRun run;
    QVERIFY(run.login());
    run.messages.clear();

    // Another program holds the file exclusively while the today view loads.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
        other.setDatabaseName(run.file(u"mylive.dc"_s));
        QVERIFY(other.open());
        Db::exec(other, u"BEGIN EXCLUSIVE"_s);
        Db::exec(other, u"UPDATE juese SET name = name"_s);
        QElapsedTimer waited;
        waited.start();
        // Two actions in one turn of the event loop: one message, one wait.
        find<MDIfrm>(u"MDIfrm"_s)->showView(u"Frmmain"_s);
        Db::run([] { Db::execute(u"INSERT INTO juese (name) VALUES ('locked out')"_s); });
        QVERIFY2(waited.elapsed() < 7000, qPrintable(QString::number(waited.elapsed())));
        settle();
        QCOMPARE(run.messages.size(), 1);
        QCOMPARE(run.messages.first(), Db::busyText());
        // The next action waits again and is told again.
        Db::run([] { Db::execute(u"INSERT INTO juese (name) VALUES ('locked out')"_s); });
        QCOMPARE(run.messages.size(), 2);
        Db::exec(other, u"ROLLBACK"_s);
        other.close();
    }
    QSqlDatabase::removeDatabase(u"other"_s);
}

void SafetyTest::olderDatabaseIsMigrated()
{
    ProgramRun run;
    const QString path = run.file(u"mylive.dc"_s);
    QVERIFY(QFile::copy(QFINDTESTDATA("data/mylive_v0.dc"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

    QVERIFY(run.start());
    QVERIFY(run.messages.isEmpty());
    QCOMPARE(run.scalar(u"PRAGMA user_version"_s).toInt(), Schema::mainVersion());
    QCOMPARE(run.scalar(u"SELECT count(*) FROM sqlite_master WHERE name = 'renwu_open_day'"_s).toInt(), 1);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu"_s).toInt(), 34); // the data is all there
    QSqlQuery plan = run.query(u"EXPLAIN QUERY PLAN SELECT count(*) FROM renwu WHERE zhuangtai = 0 AND today < ?"_s,
                               {u"2009-01-31"_s});
    QVERIFY(plan.next());
    // The overdue count reads an index that covers it (the planner may pick either of the two
    // that start with the state and the day), never the whole table.
    QVERIFY2(plan.value(3).toString().contains(QStringLiteral("COVERING INDEX renwu_")),
             qPrintable(plan.value(3).toString()));
    plan.finish();

    // A second start finds nothing left to do.
    closeEverything();
    QVERIFY(run.start());
    QVERIFY(run.messages.isEmpty());
}

void SafetyTest::copyDatedAheadIsNotOffered()
{
    // A copy made once while the clock was a year ahead is "newest" by its name; the damaged
    // file is offered the copy of a day that has really passed.
    ProgramRun run(QDateTime(QDate(2009, 1, 31), QTime(8, 0)));
    const QString path = run.file(u"mylive.dc"_s);
    Store::ensureMainDatabase(path);
    const QString folder = Backup::folderFor(path);
    Backup::makeCopy(path, folder, QDateTime(QDate(2009, 1, 30), QTime(20, 0)));
    Backup::makeCopy(path, folder, QDateTime(QDate(2010, 1, 31), QTime(20, 0)));
    Db::closeAll();
    damageTable(path, u"zhanghaotype"_s);

    run.answerNext(QMessageBox::No);
    QVERIFY(!run.start());
    QCOMPARE(run.messages.size(), 1);
    QVERIFY2(run.messages.first().contains(u"2009-1-30 20:00:00"_s), qPrintable(run.messages.first()));
}

void SafetyTest::refusedFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("dangling link") << "dangling"
                                   << "链接";
    QTest::newRow("link to a database") << "link"
                                        << "链接";
    QTest::newRow("folder") << "folder"
                            << "不是普通文件";
    QTest::newRow("damaged page") << "damaged"
                                  << "已损坏";
    QTest::newRow("not a database") << "junk"
                                    << "不是本程序的数据库";
    QTest::newRow("newer build") << "newer"
                                 << "更新版本";
}

void SafetyTest::refusedFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    ProgramRun run;
    const QString path = run.file(u"mylive.dc"_s);
    const QString real = run.file(u"real.dc"_s);
    if (kind == "dangling"_L1) {
        QVERIFY(QFile::link(run.file(u"gone.dc"_s), path));
    } else if (kind == "link"_L1) {
        Store::ensureMainDatabase(real);
        Db::closeAll();
        QVERIFY(QFile::link(real, path));
    } else if (kind == "folder"_L1) {
        QVERIFY(QDir(run.folder()).mkdir(u"mylive.dc"_s));
    } else if (kind == "junk"_L1) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("this is not a database, but it is the user's file\n");
    } else {
        Store::ensureMainDatabase(path);
        if (kind == "damaged"_L1)
            damageTable(path, u"zhanghaotype"_s);
        else
            Db::exec(Db::open(path), u"PRAGMA user_version = 99"_s);
        Db::closeAll();
    }
    const QByteArray before = contents(QFileInfo(path).isFile() ? path : real);
    const QString target = QFileInfo(path).symLinkTarget();

    QVERIFY(!run.start());
    QCOMPARE(run.messages.size(), 1);
    QVERIFY2(run.messages.first().contains(message), qPrintable(run.messages.first()));
    QVERIFY(run.messages.first().contains(run.folder()));
    QVERIFY(!shown(u"frmlogin"_s));

    // Nothing was written, replaced or removed.
    closeEverything();
    QCOMPARE(QFileInfo(path).symLinkTarget(), target);
    QCOMPARE(QFileInfo(path).isDir(), kind == "folder"_L1);
    QCOMPARE(QFileInfo::exists(run.file(u"gone.dc"_s)), false);
    QCOMPARE(contents(QFileInfo(path).isFile() ? path : real), before);
    QCOMPARE(QDir(run.folder()).entryList(QDir::Files | QDir::Hidden | QDir::System).filter(u".new"_s), QStringList());
}

void SafetyTest::databaseFileIsPrivate()
{
    {
        ProgramRun run;
        QVERIFY(run.start());
        QCOMPARE(modeOf(run.file(u"mylive.dc"_s)), 0600);
    }
    // A file the user made readable for others keeps its mode.
    ProgramRun run;
    const QString path = run.file(u"mylive.dc"_s);
    QVERIFY(QFile::copy(QFINDTESTDATA("data/mylive_v0.dc"), path));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);
    QVERIFY(run.login());
    QCOMPARE(modeOf(path), 0644);
}

void SafetyTest::twoStartsRaceForOneFolder()
{
    QTemporaryDir folder;
    for (int round = 0; round < 10; ++round) {
        QProcess first, second;
        first.start(QStringLiteral(LOCKPROBE_EXE), {folder.path(), u"400"_s});
        second.start(QStringLiteral(LOCKPROBE_EXE), {folder.path(), u"400"_s});
        QVERIFY(first.waitForFinished(10000));
        QVERIFY(second.waitForFinished(10000));
        const QStringList answers{QString::fromUtf8(first.readAllStandardOutput()).trimmed(),
                                  QString::fromUtf8(second.readAllStandardOutput()).trimmed()};
        QCOMPARE(answers.count(u"acquired"_s), 1);
        QCOMPARE(answers.count(u"refused"_s), 1);
    }
}

void SafetyTest::staleLockIsTakenOver()
{
    QTemporaryDir folder;
    // A program that died left its lock: the process it names does not run.
    QFile lock(SingleInstance::lockFile(folder.path()));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("2147483000\nvantorel\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    QProcess probe;
    probe.start(QStringLiteral(LOCKPROBE_EXE), {folder.path(), u"0"_s});
    QVERIFY(probe.waitForFinished(10000));
    QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()).trimmed(), u"acquired"_s);
}

void SafetyTest::reminderJustBeforeMidnight()
{
    ProgramRun run(QDateTime(QDate(2009, 1, 31), QTime(23, 59, 40)));
    QVERIFY(run.login());
    run.exec(u"INSERT INTO renwu (title, today, intime) VALUES ('last call', '2009-01-31', '23:59:50')"_s);
    find<MDIfrm>(u"MDIfrm"_s)->ModRenwu();
    QVERIFY(tick(frameTimer()));
    QVERIFY(run.playedSounds.isEmpty());

    // The computer was busy: the next tick comes after midnight.
    run.setNow(QDateTime(QDate(2009, 2, 1), QTime(0, 0, 10)));
    QVERIFY(tick(frameTimer()));
    QCOMPARE(run.playedSounds.size(), 1);
    QCOMPARE(find<MDIfrm>(u"MDIfrm"_s)->reminderClock().day(), QDate(2009, 2, 1));
}

void SafetyTest::calendarClickLoadsTheDayOnce()
{
    ProgramRun run;
    QVERIFY(run.login());
    auto* calendar = control<QCalendarWidget>(u"Frmmain"_s, u"MonthView1"_s);
    auto* tasks = control<QTreeWidget>(u"Frmmain"_s, u"ListView1"_s);
    auto* days = calendar->findChild<QTableView*>();
    QVERIFY(days);
    int loads = 0;
    connect(tasks->model(), &QAbstractItemModel::modelReset, this, [&] { ++loads; });

    auto clickDay = [&](int day) {
        for (int r = 0; r < days->model()->rowCount(); ++r) {
            for (int c = 0; c < days->model()->columnCount(); ++c) {
                const QModelIndex i = days->model()->index(r, c);
                if (r > 0 && i.data().toString() == QString::number(day)) {
                    QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(i).center());
                    return;
                }
            }
        }
        QFAIL("day not shown");
    };
    clickDay(15);
    QCOMPARE(calendar->selectedDate(), QDate(2009, 1, 15));
    QCOMPARE(loads, 1);
    // A click on the day already selected loads it again, once.
    run.exec(u"INSERT INTO renwu (title, today) VALUES ('added elsewhere', '2009-01-15')"_s);
    clickDay(15);
    QCOMPARE(loads, 2);
    QVERIFY(!tasks->findItems(u"added elsewhere"_s, Qt::MatchExactly, 1).isEmpty());
}

void SafetyTest::unusableDataFolder_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("a file") << "file"
                            << "不是文件夹";
    QTest::newRow("missing") << "missing"
                             << "不存在";
    QTest::newRow("read-only") << "readonly"
                               << "无法写入数据文件夹";
}

void SafetyTest::unusableDataFolder()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    if (kind == "readonly"_L1 && ::geteuid() == 0)
        QSKIP("the superuser writes into read-only folders");
    ProgramRun run;
    const QString folder = run.file(u"data"_s);
    if (kind == "file"_L1) {
        QFile f(folder);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (kind == "readonly"_L1) {
        QVERIFY(QDir(run.folder()).mkdir(u"data"_s));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    }
    QVERIFY(!Module1::Main(folder));
    QCOMPARE(run.messages.size(), 1);
    QVERIFY2(run.messages.first().contains(message), qPrintable(run.messages.first()));
    QVERIFY(run.messages.first().contains(folder));
    QVERIFY(!run.messages.first().contains(QStringLiteral("已经在运行")));
    if (kind == "readonly"_L1)
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The same folder once usable starts.
    QFile::remove(folder);
    QVERIFY(QDir().mkpath(folder));
    run.messages.clear();
    QVERIFY(Module1::Main(folder));
    QVERIFY(run.messages.isEmpty());
}

void SafetyTest::relativeXdgDataHomeIsIgnored()
{
    QTemporaryDir home;
    // An installed program: bin/ beside share/ with its menu entry.
    QVERIFY(QDir(home.path()).mkpath(u"usr/bin"_s) && QDir(home.path()).mkpath(u"usr/share/applications"_s));
    QFile entry(home.filePath(u"usr/share/applications/vantorel.desktop"_s));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.close();
    const QByteArray savedHome = qgetenv("HOME"), savedXdg = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", QFile::encodeName(home.filePath(u"me"_s)));
    for (const QByteArray& xdg : {QByteArray("relative/data"), QByteArray("./x"), QByteArray()}) {
        qputenv("XDG_DATA_HOME", xdg);
        QCOMPARE(DataFolder::choose(home.filePath(u"usr/bin"_s), {}), home.filePath(u"me/.local/share/vantorel"_s));
    }
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(u"xdg"_s)));
    QCOMPARE(DataFolder::choose(home.filePath(u"usr/bin"_s), {}), home.filePath(u"xdg/vantorel"_s));
    qputenv("HOME", savedHome);
    if (savedXdg.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", savedXdg);
}

void SafetyTest::startChecksFullyUnlessUnchanged()
{
    ProgramRun run;
    const QString db = run.file(u"mylive.dc"_s);
    QVERIFY(run.start());
    QVERIFY(!Store::fullCheckSkipped()); // made just now
    closeEverything();
    QVERIFY(run.start());
    QVERIFY(Store::fullCheckSkipped()); // unchanged since a clean end
    QVERIFY(run.login());
    run.exec(u"INSERT INTO juese (name) VALUES ('changed')"_s);
    closeEverything();
    QVERIFY(run.start());
    QVERIFY(Store::fullCheckSkipped()); // our own change, recorded at the clean end

    // A run that did not end cleanly (its record is still the one of its start).
    const QString record = FileState::recordFile(db);
    const QByteArray running = contents(record);
    QVERIFY(running.startsWith("vantorel-state 0 "));
    closeEverything();
    QFile f(record);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(running);
    f.close();
    QVERIFY(run.start());
    QVERIFY(!Store::fullCheckSkipped());
    closeEverything();

    // Damage behind the program's back is found before anything is written. (Later than the
    // file system's clock tick of the clean end, as any later change is.)
    QTest::qSleep(20);
    damageTable(db, u"zhanghaotype"_s);
    const QByteArray damaged = contents(db);
    run.messages.clear();
    run.answerNext(QMessageBox::No); // the day's backup is offered; not taken here
    QVERIFY(!run.start());
    QVERIFY(run.messages.first().contains(QStringLiteral("已损坏")));
    QCOMPARE(contents(db), damaged);
}

void SafetyTest::strayJournalIsMovedAside()
{
    ProgramRun run;
    const QString db = run.file(u"mylive.dc"_s);
    QVERIFY(run.login());
    closeEverything();
    run.messages.clear();
    // A hot journal of another database: a transaction of another file, interrupted while its
    // pages were being written (the journal copied before it ended).
    const int tasks = run.scalar(u"SELECT count(*) FROM renwu"_s).toInt();
    closeEverything();
    const QString otherFile = run.file(u"other.dc"_s);
    QVERIFY(QFile::copy(db, otherFile));
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"stray"_s);
        other.setDatabaseName(otherFile);
        QVERIFY(other.open());
        Db::exec(other, u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
                        " INSERT INTO renwu (title, content) SELECT 'other ' || i, hex(randomblob(200)) FROM n"_s);
        Db::exec(other, u"PRAGMA cache_size = 1"_s);
        Db::exec(other, u"BEGIN IMMEDIATE"_s);
        Db::exec(other, u"DELETE FROM renwu"_s);
        Db::exec(other, u"DELETE FROM fangfa"_s);
        QVERIFY(QFile::copy(otherFile + u"-journal"_s, run.file(u"journal.saved"_s)));
        Db::exec(other, u"ROLLBACK"_s);
        other.close();
    }
    QSqlDatabase::removeDatabase(u"stray"_s);
    // The user puts a copy of the data in place by hand; the journal is still there.
    const QString copy = run.file(u"copy.dc"_s);
    QVERIFY(QFile::copy(db, copy));
    QVERIFY(::rename(QFile::encodeName(copy).constData(), QFile::encodeName(db).constData()) == 0);
    QVERIFY(QFile::rename(run.file(u"journal.saved"_s), db + u"-journal"_s));

    QVERIFY(run.start());
    QVERIFY2(run.messages.isEmpty(), qPrintable(run.messages.join(u'|')));
    QVERIFY(!QFileInfo::exists(db + u"-journal"_s));
    QCOMPARE(QDir(run.folder()).entryList({u"mylive.dc-journal.stray-*"_s}, QDir::Files | QDir::Hidden).size(), 1);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu"_s).toInt(), tasks);
    QCOMPARE(run.scalar(u"PRAGMA quick_check"_s).toString(), u"ok"_s);
}

QTEST_MAIN(SafetyTest)
#include "test_safety.moc"
