#include "data/backup.h"
#include "data/db.h"
#include "data/store.h"
#include "shell/frmlogin.h"
#include "shell/module1.h"
#include "testsupport.h"
#include "views/backup/backuprunner.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
const QDate kReference(2009, 1, 31);
const QString kWrongPassword = QStringLiteral("密码错误，请重新填写！");

// The four shifted columns of every row, keyed "table id".
QMap<QString, QVariant> datesOf(const std::function<QSqlQuery(const QString&)>& run)
{
    QMap<QString, QVariant> dates;
    const QList<QPair<QString, QString>> columns = {
        {u"shouzhi"_s, u"addtime"_s}, {u"rjxx"_s, u"addtime"_s}, {u"renwu"_s, u"today"_s}, {u"mubiao"_s, u"jsdate"_s}};
    for (const auto& [table, column] : columns) {
        QSqlQuery q = run(QStringLiteral("SELECT id, %1 FROM %2").arg(column, table));
        while (q.next())
            dates.insert(table + QLatin1Char(' ') + q.value(0).toString(), q.value(1));
    }
    return dates;
}

// The dates of the sample data as delivered, before any shift.
QMap<QString, QVariant> deliveredDates(const QString& folder)
{
    const QString path = folder + QStringLiteral("/delivered.dc");
    if (!QFile::exists(path))
        Store::ensureMainDatabase(path);
    return datesOf([&](const QString& sql) { return Db::exec(Db::open(path), sql); });
}

// Whether the file's bytes hold the text anywhere (as SQLite stores text: UTF-8).
bool fileHolds(const QString& path, const QString& text)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.readAll().contains(text.toUtf8());
}

// Waits for the day's automatic copy written after a login.
bool backupsDone()
{
    for (int i = 0; i < 2000 && BackupRunner::instance().busy(); ++i)
        QTest::qWait(5);
    settle();
    return !BackupRunner::instance().busy();
}

QLabel* waitLabel()
{
    return control<QLabel>(u"frmlogin"_s, u"lblWait"_s);
}

QString waitText(int seconds)
{
    return QStringLiteral("密码错误次数过多，请 %1 秒后再试").arg(seconds);
}
} // namespace

class LoginTest : public QObject
{
    Q_OBJECT

private slots:
    void firstStartShiftsSampleDates_data();
    void firstStartShiftsSampleDates();
    void markerAlreadySetStopsTheShift();
    void failedShiftMovesNothingAndRunsLater();
    void password_data();
    void password();
    void passwordWithQuote();
    void loginWindowLooksRight();
    void damagedDatabaseIsReportedAndKept();
    void newDatabaseHoldsOnlyAHash();
    void plainPasswordIsHashedAtLogin_data();
    void plainPasswordIsHashedAtLogin();
    void wrongGuessesAreSlowed();
    void slowingSurvivesARestart();

private:
    QTemporaryDir scratch_;
};

void LoginTest::firstStartShiftsSampleDates_data()
{
    QTest::addColumn<QDate>("firstDay");
    QTest::newRow("ten days later") << QDate(2009, 2, 10);
    QTest::newRow("clock before the sample day") << QDate(2009, 1, 21);
    QTest::newRow("the sample day itself") << kReference;
    QTest::newRow("years later") << QDate(2026, 12, 8);
}

void LoginTest::firstStartShiftsSampleDates()
{
    QFETCH(QDate, firstDay);
    const qint64 n = kReference.daysTo(firstDay);
    const QMap<QString, QVariant> delivered = deliveredDates(scratch_.path());

    ProgramRun run(QDateTime(firstDay, QTime(9, 0)));
    QVERIFY(run.start());
    QVERIFY(run.messages.isEmpty());
    QCOMPARE(run.scalar(uR"(SELECT password FROM "user" WHERE id = 2)"_s).toString(), QStringLiteral("2"));

    auto now = datesOf([&](const QString& sql) { return run.query(sql); });
    QCOMPARE(now.keys(), delivered.keys());
    int unscheduled = 0;
    for (auto it = delivered.cbegin(); it != delivered.cend(); ++it) {
        if (it.value().isNull()) {
            QVERIFY2(now[it.key()].isNull(), qPrintable(it.key())); // a task without a day keeps none
            ++unscheduled;
            continue;
        }
        const QDate was = Db::dayFrom(it.value());
        QCOMPARE(Db::dayFrom(now[it.key()]), was.addDays(n));
    }
    QVERIFY(unscheduled > 0);

    // A second start, days later, changes nothing.
    closeEverything();
    run.setNow(QDateTime(firstDay.addDays(5), QTime(9, 0)));
    QVERIFY(run.start());
    QCOMPARE(datesOf([&](const QString& sql) { return run.query(sql); }), now);
}

void LoginTest::markerAlreadySetStopsTheShift()
{
    ProgramRun run(QDateTime(QDate(2009, 2, 10), QTime(9, 0)));
    Store::ensureMainDatabase(run.file(u"mylive.dc"_s));
    run.exec(uR"(UPDATE "user" SET password = '2' WHERE id = 2)"_s);
    const auto before = datesOf([&](const QString& sql) { return run.query(sql); });
    Db::closeAll();

    QVERIFY(run.start());
    QCOMPARE(datesOf([&](const QString& sql) { return run.query(sql); }), before);
}

void LoginTest::failedShiftMovesNothingAndRunsLater()
{
    ProgramRun run(QDateTime(QDate(2009, 2, 10), QTime(9, 0)));
    Store::ensureMainDatabase(run.file(u"mylive.dc"_s));
    // The last of the four updates fails.
    run.exec(u"CREATE TRIGGER refuse BEFORE UPDATE ON mubiao BEGIN SELECT RAISE(ABORT, 'disk trouble'); END"_s);
    const auto before = datesOf([&](const QString& sql) { return run.query(sql); });
    Db::closeAll();

    QVERIFY(run.start());
    QCOMPARE(run.messages.size(), 1);
    QVERIFY(run.messages.first().contains(QLatin1String("disk trouble")));
    QCOMPARE(run.scalar(uR"(SELECT password FROM "user" WHERE id = 2)"_s).toString(), QStringLiteral("1"));
    QCOMPARE(datesOf([&](const QString& sql) { return run.query(sql); }), before);

    closeEverything();
    run.exec(u"DROP TRIGGER refuse"_s);
    Db::closeAll();
    QVERIFY(run.start());
    QCOMPARE(run.scalar(uR"(SELECT password FROM "user" WHERE id = 2)"_s).toString(), QStringLiteral("2"));
    QCOMPARE(Db::dayFrom(run.scalar(u"SELECT addtime FROM shouzhi WHERE id = 1"_s)),
             Db::dayFrom(before.value(u"shouzhi 1"_s)).addDays(10));
}

void LoginTest::password_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("right") << kSamplePassword << true;
    QTest::newRow("blanks around") << u"  "_s + kSamplePassword + u"\t "_s << true;
    QTest::newRow("wrong") << "654321" << false;
    QTest::newRow("inner blank") << "123 456" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("marker after the shift") << "2" << false;
    QTest::newRow("marker before the shift") << "1" << false;
    QTest::newRow("quote") << "' OR '1'='1" << false;
}

void LoginTest::password()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);

    ProgramRun run;
    QVERIFY(run.start());
    QCOMPARE(run.login(typed), accepted);
    if (accepted) {
        QVERIFY(!run.messages.contains(kWrongPassword));
        QVERIFY(!find<QWidget>(u"frmlogin"_s)); // the frame unloads the login window
        return;
    }
    QCOMPARE(run.messages, QStringList{kWrongPassword});
    QVERIFY(shown(u"frmlogin"_s));
    QCOMPARE(control<QLineEdit>(u"frmlogin"_s, u"txtPassword"_s)->text(), typed);
    QVERIFY(!find<QWidget>(u"MDIfrm"_s));
}

void LoginTest::passwordWithQuote()
{
    ProgramRun run;
    Store::ensureMainDatabase(run.file(u"mylive.dc"_s));
    run.exec(uR"(UPDATE "user" SET password = ? WHERE id = 1)"_s, {QStringLiteral("it's 王")});
    Db::closeAll();
    QVERIFY(!run.login(kSamplePassword));
    QVERIFY(run.login(QStringLiteral("it's 王")));
}

void LoginTest::loginWindowLooksRight()
{
    ProgramRun run;
    QVERIFY(run.start());
    auto* login = find<QWidget>(u"frmlogin"_s);
    QVERIFY(login);
    QCOMPARE(login->windowTitle(), QStringLiteral("Vantorel时间管理软件 V3.8"));
    auto* button = control<QPushButton>(u"frmlogin"_s, u"Command1"_s);
    QCOMPARE(button->text(), QStringLiteral("登录"));
    QVERIFY(button->isDefault());
    QCOMPARE(control<QLineEdit>(u"frmlogin"_s, u"txtPassword"_s)->echoMode(), QLineEdit::Password);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(std::abs(login->frameGeometry().center().x() - screen.center().x()) <= 2);
    QVERIFY(std::abs(login->frameGeometry().center().y() - screen.center().y()) <= 2);

    // Enter in the password box logs in.
    auto* box = control<QLineEdit>(u"frmlogin"_s, u"txtPassword"_s);
    box->setText(kSamplePassword);
    QTest::keyClick(box, Qt::Key_Return);
    settle();
    QVERIFY(shown(u"MDIfrm"_s));
}

void LoginTest::damagedDatabaseIsReportedAndKept()
{
    ProgramRun run;
    const QByteArray junk("this is not a database, but it is the user's file\n");
    QFile f(run.file(u"mylive.dc"_s));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(junk);
    f.close();

    // One clear message, and the program ends before the login window.
    QVERIFY(!run.start());
    QCOMPARE(run.messages.size(), 1);
    QVERIFY(!run.messages.contains(kWrongPassword));
    QVERIFY(!shown(u"frmlogin"_s));

    closeEverything();
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), junk); // never overwritten
}

void LoginTest::newDatabaseHoldsOnlyAHash()
{
    ProgramRun run;
    QVERIFY(run.login());
    QVERIFY(backupsDone());
    QVERIFY(run.scalar(uR"(SELECT password FROM "user" WHERE id = 1)"_s).toString().startsWith(u"$argon2id$"_s));
    const QList<Backup::Copy> copies = Backup::list(run.file(u"backup"_s));
    QCOMPARE(copies.size(), 1);
    closeEverything();
    QVERIFY(!fileHolds(run.file(u"mylive.dc"_s), kSamplePassword));
    QVERIFY(!fileHolds(copies.first().path, kSamplePassword));
}

void LoginTest::plainPasswordIsHashedAtLogin_data()
{
    QTest::addColumn<bool>("restored");
    QTest::newRow("file of an older build") << false;
    QTest::newRow("backup of an older build, restored") << true;
}

void LoginTest::plainPasswordIsHashedAtLogin()
{
    QFETCH(bool, restored);
    ProgramRun run;
    const QString plain = QStringLiteral("Plain-旧密码-7731");
    const QString database = run.file(u"mylive.dc"_s);
    const QString older = restored ? run.file(u"older.dc"_s) : database;
    Store::ensureMainDatabase(older);
    {
        // As an older build left it: the password as typed.
        const QSqlDatabase db = Db::open(older);
        Db::exec(db, uR"(UPDATE "user" SET password = ? WHERE id = 1)"_s, {plain});
    }
    Db::closeAll();
    if (restored) {
        Store::ensureMainDatabase(database);
        Db::closeAll();
        Backup::completeRestore(
            Backup::prepareRestore(older, database, run.file(u"safety"_s), QDateTime::currentDateTime()), database);
    }

    QVERIFY(!run.login(kSamplePassword));
    QVERIFY(run.login(plain));
    QVERIFY(backupsDone());
    QVERIFY(run.scalar(uR"(SELECT password FROM "user" WHERE id = 1)"_s).toString().startsWith(u"$argon2id$"_s));
    QCOMPARE(run.scalar(uR"(SELECT password FROM "user" WHERE id = 2)"_s).toString(), QStringLiteral("2"));

    // The hash admits at the next start; the plain text is nowhere in the file or a fresh copy.
    closeEverything();
    QVERIFY(run.login(u"  "_s + plain));
    QVERIFY(backupsDone());
    closeEverything();
    const QString copy = Backup::makeCopy(database, run.file(u"fresh"_s), QDateTime::currentDateTime());
    QVERIFY(!fileHolds(database, plain));
    QVERIFY(!fileHolds(copy, plain));
}

void LoginTest::wrongGuessesAreSlowed()
{
    frmlogin::setSecondForTests(20);
    ProgramRun run;
    for (int i = 0; i < 2; ++i)
        QVERIFY(!run.login(u"wrong"_s));
    QVERIFY(!waitLabel()->isVisible());
    // The third wrong password in a row: the next answer waits 1 s, then 2 s, then 4 s.
    for (int seconds : {1, 2, 4}) {
        QVERIFY(!run.login(u"wrong"_s));
        QVERIFY(waitLabel()->isVisible());
        QCOMPARE(waitLabel()->text(), waitText(seconds));
        QTRY_VERIFY(!waitLabel()->isVisible());
    }
    QCOMPARE(run.messages.count(kWrongPassword), 5);

    // During the wait the window stays usable; a password entered then is answered once it ends.
    QVERIFY(!run.login(u"wrong"_s));
    QCOMPARE(waitLabel()->text(), waitText(8));
    QVERIFY(control<QLineEdit>(u"frmlogin"_s, u"txtPassword"_s)->isEnabled());
    QVERIFY(!run.login(kSamplePassword));
    QCOMPARE(run.messages.count(kWrongPassword), 6);
    QTRY_VERIFY(shown(u"MDIfrm"_s));
    QCOMPARE(run.messages.count(kWrongPassword), 6);

    // A right password starts the count afresh.
    closeEverything();
    QCOMPARE(run.scalar(u"SELECT count(*) FROM login_wait"_s).toInt(), 0);
    for (int i = 0; i < 2; ++i)
        QVERIFY(!run.login(u"wrong"_s));
    QVERIFY(!waitLabel()->isVisible());
    frmlogin::setSecondForTests(1000);
}

void LoginTest::slowingSurvivesARestart()
{
    frmlogin::setSecondForTests(20);
    ProgramRun run;
    for (int i = 0; i < 3; ++i) {
        QTRY_VERIFY(!waitLabel() || !waitLabel()->isVisible());
        QVERIFY(!run.login(u"wrong"_s));
    }
    QTRY_VERIFY(!waitLabel()->isVisible());
    QVERIFY(!run.login(u"wrong"_s));
    QCOMPARE(waitLabel()->text(), waitText(2));

    // Closed during the wait: the next start still waits, and the count goes on.
    closeEverything();
    QVERIFY(run.start());
    QVERIFY(waitLabel()->isVisible());
    QCOMPARE(waitLabel()->text(), waitText(2));
    QTRY_VERIFY(!waitLabel()->isVisible());
    QVERIFY(!run.login(u"wrong"_s));
    QCOMPARE(waitLabel()->text(), waitText(4));

    // A start after the wait is over goes straight to the answer.
    closeEverything();
    run.setNow(QDateTime(QDate(2009, 1, 31), QTime(8, 1, 0)));
    QVERIFY(run.start());
    QVERIFY(!waitLabel()->isVisible());
    QVERIFY(run.login());
    frmlogin::setSecondForTests(1000);
}

QTEST_MAIN(LoginTest)
#include "test_login.moc"
