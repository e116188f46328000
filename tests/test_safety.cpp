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
    QSqlQuery q = Db::exec(db, "SELECT rootpage FROM sqlite_master WHERE name = ?", {table});
    QVERIFY(q.next());
    const int root = q.value(0).toInt();
    q.finish();
    QSqlQuery size = Db::exec(db, "PRAGMA page_size");
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
        "CREATE TRIGGER refuse BEFORE DELETE ON renwu WHEN old.title = 'keep' BEGIN SELECT RAISE(ABORT, 'kept'); END");
    run.exec("INSERT INTO renwu (title) VALUES ('keep')");
    const qint64 kept = run.scalar("SELECT max(id) FROM renwu").toLongLong();
    const int themes = run.scalar("SELECT count(*) FROM juese").toInt();
    const QDate day(2011, 3, 4);

    // An action of several steps, with a transaction of its own (the diary) inside, whose
    // last step fails.
    const bool done = Db::run([&] {
        Db::transaction([&] {
            Db::execute("INSERT INTO juese (name) VALUES ('half')");
            Diary::save(day, "written inside");
            Tasks::remove(kept);
        });
    });
    QVERIFY(!done);
    QCOMPARE(run.messages.size(), 1);
    QVERIFY(run.messages.first().contains("kept"));
    QCOMPARE(run.scalar("SELECT count(*) FROM juese").toInt(), themes);
    QCOMPARE(run.scalar("SELECT count(*) FROM fangfa WHERE addtime = '2011-03-04'").toInt(), 0);
    QVERIFY(Tasks::exists(kept));

    // The connection is usable afterwards: the next action commits.
    QVERIFY(Db::run([&] { Db::transaction([&] { Diary::save(day, "later"); }); }));
    QCOMPARE(run.scalar("SELECT content FROM fangfa WHERE addtime = '2011-03-04'").toString(), QString("later"));
}

void SafetyTest::lockedDatabaseGivesOneMessage()
{
    ProgramRun run;
    QVERIFY(run.login());
    run.messages.clear();

    // Another program holds the file exclusively while the today view loads.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(run.file("mylive.dc"));
        QVERIFY(other.open());
        Db::exec(other, "BEGIN EXCLUSIVE");
        Db::exec(other, "UPDATE juese SET name = name");
        QElapsedTimer waited;
        waited.start();
        // Two actions in one turn of the event loop: one message, one wait.
        find<MDIfrm>("MDIfrm")->showView("Frmmain");
        Db::run([] { Db::execute("INSERT INTO juese (name) VALUES ('locked out')"); });
        QVERIFY2(waited.elapsed() < 7000, qPrintable(QString::number(waited.elapsed())));
        settle();
        QCOMPARE(run.messages.size(), 1);
        QCOMPARE(run.messages.first(), Db::busyText());
        // The next action waits again and is told again.
        Db::run([] { Db::execute("INSERT INTO juese (name) VALUES ('locked out')"); });
        QCOMPARE(run.messages.size(), 2);
        Db::exec(other, "ROLLBACK");
        other.close();
    }
    QSqlDatabase::removeDatabase("other");
}

void SafetyTest::olderDatabaseIsMigrated()
{
    ProgramRun run;
    const QString path = run.file("mylive.dc");
    QVERIFY(QFile::copy(QFINDTESTDATA("data/mylive_v0.dc"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

    QVERIFY(run.start());
    QVERIFY(run.messages.isEmpty());
    QCOMPARE(run.scalar("PRAGMA user_version").toInt(), Schema::mainVersion());
    QCOMPARE(run.scalar("SELECT count(*) FROM sqlite_master WHERE name = 'renwu_open_day'").toInt(), 1);
    QCOMPARE(run.scalar("SELECT count(*) FROM renwu").toInt(), 34); // the data is all there
    QSqlQuery plan =
        run.query("EXPLAIN QUERY PLAN SELECT count(*) FROM renwu WHERE zhuangtai = 0 AND today < ?", {"2009-01-31"});
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
    const QString path = run.file("mylive.dc");
    Store::ensureMainDatabase(path);
    const QString folder = Backup::folderFor(path);
    Backup::makeCopy(path, folder, QDateTime(QDate(2009, 1, 30), QTime(20, 0)));
    Backup::makeCopy(path, folder, QDateTime(QDate(2010, 1, 31), QTime(20, 0)));
    Db::closeAll();
    damageTable(path, "zhanghaotype");

    run.answerNext(QMessageBox::No);
    QVERIFY(!run.start());
    QCOMPARE(run.messages.size(), 1);
    QVERIFY2(run.messages.first().contains("2009-1-30 20:00:00"), qPrintable(run.messages.first()));
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
    const QString path = run.file("mylive.dc");
    const QString real = run.file("real.dc");
    if (kind == "dangling") {
        QVERIFY(QFile::link(run.file("gone.dc"), path));
    } else if (kind == "link") {
        Store::ensureMainDatabase(real);
        Db::closeAll();
        QVERIFY(QFile::link(real, path));
    } else if (kind == "folder") {
        QVERIFY(QDir(run.folder()).mkdir("mylive.dc"));
    } else if (kind == "junk") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("this is not a database, but it is the user's file\n");
    } else {
        Store::ensureMainDatabase(path);
        if (kind == "damaged")
            damageTable(path, "zhanghaotype");
        else
            Db::exec(Db::open(path), "PRAGMA user_version = 99");
        Db::closeAll();
    }
    const QByteArray before = contents(QFileInfo(path).isFile() ? path : real);
    const QString target = QFileInfo(path).symLinkTarget();

    QVERIFY(!run.start());
    QCOMPARE(run.messages.size(), 1);
    QVERIFY2(run.messages.first().contains(message), qPrintable(run.messages.first()));
    QVERIFY(run.messages.first().contains(run.folder()));
    QVERIFY(!shown("frmlogin"));

    // Nothing was written, replaced or removed.
    closeEverything();
    QCOMPARE(QFileInfo(path).symLinkTarget(), target);
    QCOMPARE(QFileInfo(path).isDir(), kind == "folder");
    QCOMPARE(QFileInfo::exists(run.file("gone.dc")), false);
    QCOMPARE(contents(QFileInfo(path).isFile() ? path : real), before);
    QCOMPARE(QDir(run.folder()).entryList(QDir::Files | QDir::Hidden | QDir::System).filter(".new"), QStringList());
}

void SafetyTest::databaseFileIsPrivate()
{
    {
        ProgramRun run;
        QVERIFY(run.start());
        QCOMPARE(modeOf(run.file("mylive.dc")), 0600);
    }
    // A file the user made readable for others keeps its mode.
    ProgramRun run;
    const QString path = run.file("mylive.dc");
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
        first.start(LOCKPROBE_EXE, {folder.path(), "400"});
        second.start(LOCKPROBE_EXE, {folder.path(), "400"});
        QVERIFY(first.waitForFinished(10000));
        QVERIFY(second.waitForFinished(10000));
        const QStringList answers{QString(first.readAllStandardOutput()).trimmed(),
                                  QString(second.readAllStandardOutput()).trimmed()};
        QCOMPARE(answers.count("acquired"), 1);
        QCOMPARE(answers.count("refused"), 1);
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
    probe.start(LOCKPROBE_EXE, {folder.path(), "0"});
    QVERIFY(probe.waitForFinished(10000));
    QCOMPARE(QString(probe.readAllStandardOutput()).trimmed(), QString("acquired"));
}

void SafetyTest::reminderJustBeforeMidnight()
{
    ProgramRun run(QDateTime(QDate(2009, 1, 31), QTime(23, 59, 40)));
    QVERIFY(run.login());
    run.exec("INSERT INTO renwu (title, today, intime) VALUES ('last call', '2009-01-31', '23:59:50')");
    find<MDIfrm>("MDIfrm")->ModRenwu();
    QVERIFY(tick(frameTimer()));
    QVERIFY(run.playedSounds.isEmpty());

    // The computer was busy: the next tick comes after midnight.
    run.setNow(QDateTime(QDate(2009, 2, 1), QTime(0, 0, 10)));
    QVERIFY(tick(frameTimer()));
    QCOMPARE(run.playedSounds.size(), 1);
    QCOMPARE(find<MDIfrm>("MDIfrm")->reminderClock().day(), QDate(2009, 2, 1));
}

void SafetyTest::calendarClickLoadsTheDayOnce()
{
    ProgramRun run;
    QVERIFY(run.login());
    auto* calendar = control<QCalendarWidget>("Frmmain", "MonthView1");
    auto* tasks = control<QTreeWidget>("Frmmain", "ListView1");
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
    run.exec("INSERT INTO renwu (title, today) VALUES ('added elsewhere', '2009-01-15')");
    clickDay(15);
    QCOMPARE(loads, 2);
    QVERIFY(!tasks->findItems("added elsewhere", Qt::MatchExactly, 1).isEmpty());
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
    if (kind == "readonly" && ::geteuid() == 0)
        QSKIP("the superuser writes into read-only folders");
    ProgramRun run;
    const QString folder = run.file("data");
    if (kind == "file") {
        QFile f(folder);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (kind == "readonly") {
        QVERIFY(QDir(run.folder()).mkdir("data"));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    }
    QVERIFY(!Module1::Main(folder));
    QCOMPARE(run.messages.size(), 1);
    QVERIFY2(run.messages.first().contains(message), qPrintable(run.messages.first()));
    QVERIFY(run.messages.first().contains(folder));
    QVERIFY(!run.messages.first().contains(QStringLiteral("已经在运行")));
    if (kind == "readonly")
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
    QVERIFY(QDir(home.path()).mkpath("usr/bin") && QDir(home.path()).mkpath("usr/share/applications"));
    QFile entry(home.filePath("usr/share/applications/vantorel.desktop"));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.close();
    const QByteArray savedHome = qgetenv("HOME"), savedXdg = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", QFile::encodeName(home.filePath("me")));
    for (const QByteArray& xdg : {QByteArray("relative/data"), QByteArray("./x"), QByteArray()}) {
        qputenv("XDG_DATA_HOME", xdg);
        QCOMPARE(DataFolder::choose(home.filePath("usr/bin"), {}), home.filePath("me/.local/share/vantorel"));
    }
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath("xdg")));
    QCOMPARE(DataFolder::choose(home.filePath("usr/bin"), {}), home.filePath("xdg/vantorel"));
    qputenv("HOME", savedHome);
    if (savedXdg.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", savedXdg);
}

void SafetyTest::startChecksFullyUnlessUnchanged()
{
    ProgramRun run;
    const QString db = run.file("mylive.dc");
    QVERIFY(run.start());
    QVERIFY(!Store::fullCheckSkipped()); // made just now
    closeEverything();
    QVERIFY(run.start());
    QVERIFY(Store::fullCheckSkipped()); // unchanged since a clean end
    QVERIFY(run.login());
    run.exec("INSERT INTO juese (name) VALUES ('changed')");
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
    damageTable(db, "zhanghaotype");
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
    const QString db = run.file("mylive.dc");
    QVERIFY(run.login());
    closeEverything();
    run.messages.clear();
    // A hot journal of another database: a transaction of another file, interrupted while its
    // pages were being written (the journal copied before it ended).
    const int tasks = run.scalar("SELECT count(*) FROM renwu").toInt();
    closeEverything();
    const QString otherFile = run.file("other.dc");
    QVERIFY(QFile::copy(db, otherFile));
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "stray");
        other.setDatabaseName(otherFile);
        QVERIFY(other.open());
        Db::exec(other, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
                        " INSERT INTO renwu (title, content) SELECT 'other ' || i, hex(randomblob(200)) FROM n");
        Db::exec(other, "PRAGMA cache_size = 1");
        Db::exec(other, "BEGIN IMMEDIATE");
        Db::exec(other, "DELETE FROM renwu");
        Db::exec(other, "DELETE FROM fangfa");
        QVERIFY(QFile::copy(otherFile + "-journal", run.file("journal.saved")));
        Db::exec(other, "ROLLBACK");
        other.close();
    }
    QSqlDatabase::removeDatabase("stray");
    // The user puts a copy of the data in place by hand; the journal is still there.
    const QString copy = run.file("copy.dc");
    QVERIFY(QFile::copy(db, copy));
    QVERIFY(::rename(QFile::encodeName(copy).constData(), QFile::encodeName(db).constData()) == 0);
    QVERIFY(QFile::rename(run.file("journal.saved"), db + "-journal"));

    QVERIFY(run.start());
    QVERIFY2(run.messages.isEmpty(), qPrintable(run.messages.join('|')));
    QVERIFY(!QFileInfo::exists(db + "-journal"));
    QCOMPARE(QDir(run.folder()).entryList({"mylive.dc-journal.stray-*"}, QDir::Files | QDir::Hidden).size(), 1);
    QCOMPARE(run.scalar("SELECT count(*) FROM renwu").toInt(), tasks);
    QCOMPARE(run.scalar("PRAGMA quick_check").toString(), QString("ok"));
}

QTEST_MAIN(SafetyTest)
#include "test_safety.moc"
