#include "gui/clock.h"
#include "gui/shell.h"
#include "shell/mdifrm.h"
#include "shell/module1.h"
#include "shell/reminderclock.h"
#include "testsupport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
const QDate kDay(2009, 1, 31);

QDateTime at(const QString& time, const QDate& day = kDay)
{
    return QDateTime(day, QTime::fromString(time, u"H:mm:ss"_s));
}

MDIfrm* frame()
{
    return find<MDIfrm>(u"MDIfrm"_s);
}

// Replaces the tasks of the day with ones at the given times ("" for a task without a time).
void setTasks(ProgramRun& run, const QDate& day, const QStringList& times)
{
    run.exec(u"DELETE FROM renwu WHERE today = ?"_s, {day.toString(Qt::ISODate)});
    for (const QString& t : times) {
        run.exec(u"INSERT INTO renwu (title, today, intime) VALUES ('t', ?, ?)"_s,
                 {day.toString(Qt::ISODate), t.isEmpty() ? QVariant() : QVariant(t)});
    }
}

// Ticks the frame's timer at the given moment; true when a reminder went off.
bool tickAt(ProgramRun& run, const QDateTime& when)
{
    const qsizetype before = run.playedSounds.size();
    run.setNow(when);
    if (!tick(reminderTimer()))
        return false;
    return run.playedSounds.size() > before;
}
} // namespace

class FrameTest : public QObject
{
    Q_OBJECT

private slots:
    void reminderChecks_data();
    void reminderChecks();
    void todaysTimesAreBuiltAtLoad();
    void reminderPlaysTheSoundOfTheFolder();
    void savedTaskIsRemindedAfterRebuild();
    void midnightRebuildsTheTimes();
    void missingSoundFileIsQuiet();
    void frameLayout();
    void frameCannotBeMaximised();
    void viewButtonReloadsTheView();
    void tutorialOpensTheSitePage();
    void secondStartInTheSameProcessIsRefused();
    void secondProcessIsRefused();
    void closingTheFrameEndsTheProgram();
};

void FrameTest::reminderChecks_data()
{
    QTest::addColumn<QStringList>("times"); // today's reminder times
    QTest::addColumn<QString>("loaded");    // when the times were built
    QTest::addColumn<QStringList>("ticks"); // the moments the timer ticked
    QTest::addColumn<QString>("fired");     // one character a tick: 1 a reminder, 0 none

    QTest::newRow("on the second") << QStringList{u"14:30:00"_s} << "14:29:58"
                                   << QStringList{u"14:29:59"_s, u"14:30:00"_s, u"14:30:01"_s} << "010";
    QTest::newRow("9:05 is not 19:05") << QStringList{u"19:05:00"_s} << "9:04:59"
                                       << QStringList{u"9:05:00"_s, u"9:05:01"_s} << "00";
    QTest::newRow("19:05 is not 9:05") << QStringList{u"9:05:00"_s} << "19:04:59" << QStringList{u"19:05:00"_s} << "0";
    QTest::newRow("skipped second") << QStringList{u"14:30:00"_s} << "14:29:58"
                                    << QStringList{u"14:29:59"_s, u"14:30:01"_s, u"14:30:02"_s} << "010";
    QTest::newRow("two tasks, one second")
        << QStringList{u"14:30:00"_s, u"14:30:00"_s} << "14:29:59" << QStringList{u"14:30:00"_s, u"14:30:01"_s} << "10";
    QTest::newRow("woke after several") << QStringList{u"9:00:00"_s, u"10:00:00"_s, u"11:00:00"_s} << "8:59:00"
                                        << QStringList{u"8:59:01"_s, u"11:30:00"_s, u"11:30:01"_s} << "010";
    QTest::newRow("time of loading") << QStringList{u"8:00:00"_s} << "8:00:00" << QStringList{u"8:00:00"_s} << "1";
    QTest::newRow("passed before loading")
        << QStringList{u"7:59:59"_s} << "8:00:00" << QStringList{u"8:00:01"_s} << "0";
    QTest::newRow("same second twice") << QStringList{u"8:00:05"_s} << "8:00:00"
                                       << QStringList{u"8:00:05"_s, u"8:00:05"_s} << "10";
    QTest::newRow("clock set back") << QStringList{u"14:30:00"_s} << "14:29:00"
                                    << QStringList{u"14:31:00"_s, u"14:29:59"_s, u"14:30:00"_s} << "101";
    QTest::newRow("no times") << QStringList{} << "0:00:00" << QStringList{u"0:00:00"_s, u"23:59:59"_s} << "00";
}

void FrameTest::reminderChecks()
{
    QFETCH(QStringList, times);
    QFETCH(QString, loaded);
    QFETCH(QStringList, ticks);
    QFETCH(QString, fired);

    QList<Reminders::Due> list;
    for (const QString& t : times)
        list << Reminders::Due{at(t), 0, false, true};
    ReminderClock clock;
    clock.setReminders(kDay, list, at(loaded));
    QString result;
    for (const QString& t : ticks)
        result += clock.check(at(t)) ? QLatin1Char('1') : QLatin1Char('0');
    QCOMPARE(result, fired);
}

void FrameTest::todaysTimesAreBuiltAtLoad()
{
    ProgramRun run(at(u"8:00:00"_s));
    QVERIFY(run.start());
    setTasks(run, kDay, {u"14:30:00"_s, u""_s, u"09:00:00"_s});
    setTasks(run, kDay.addDays(1), {u"10:00:00"_s});
    QVERIFY(run.login());

    QCOMPARE(frame()->reminderClock().times(), (QList<QTime>{QTime(9, 0), QTime(14, 30)}));
    QString fired;
    for (const QString& t : {u"8:59:59"_s, u"9:00:00"_s, u"9:00:01"_s, u"10:00:00"_s, u"14:30:00"_s, u"14:30:01"_s})
        fired += tickAt(run, at(t)) ? u'1' : u'0';
    QCOMPARE(fired, QStringLiteral("010010"));
}

void FrameTest::reminderPlaysTheSoundOfTheFolder()
{
    ProgramRun run(at(u"8:00:00"_s));
    QVERIFY(run.start());
    setTasks(run, kDay, {u"08:00:02"_s});
    QVERIFY(run.login());
    QVERIFY(tickAt(run, at(u"8:00:02"_s)));
    QCOMPARE(run.playedSounds, QStringList{QDir(run.folder()).filePath(u"5.wav"_s)});
}

void FrameTest::savedTaskIsRemindedAfterRebuild()
{
    ProgramRun run(at(u"8:00:00"_s));
    QVERIFY(run.start());
    setTasks(run, kDay, {});
    QVERIFY(run.login());
    run.exec(u"INSERT INTO renwu (title, today, intime) VALUES ('new', '2009-01-31', '08:10:00')"_s);
    QVERIFY(!tickAt(run, at(u"8:05:00"_s)));
    frame()->ModRenwu();
    QVERIFY(tickAt(run, at(u"8:10:00"_s)));
}

void FrameTest::midnightRebuildsTheTimes()
{
    ProgramRun run(at(u"23:59:00"_s));
    QVERIFY(run.start());
    setTasks(run, kDay, {u"09:30:00"_s});
    setTasks(run, kDay.addDays(1), {u"10:00:00"_s});
    QVERIFY(run.login());

    QVERIFY(!tickAt(run, at(u"0:00:01"_s, kDay.addDays(1))));
    QCOMPARE(frame()->reminderClock().day(), kDay.addDays(1));
    QVERIFY(!tickAt(run, at(u"9:30:00"_s, kDay.addDays(1)))); // yesterday's time
    QVERIFY(tickAt(run, at(u"10:00:00"_s, kDay.addDays(1))));
}

void FrameTest::missingSoundFileIsQuiet()
{
    ProgramRun run(at(u"8:00:00"_s));
    QVERIFY(run.start());
    QVERIFY(QFile::remove(run.file(u"5.wav"_s)));
    Shell::setPlaySoundHook({});
    Shell::playSound(run.file(u"5.wav"_s)); // returns without a sound and without waiting
    Shell::playSound(QString());
    QVERIFY(run.messages.isEmpty());
}

void FrameTest::frameLayout()
{
    ProgramRun run;
    QVERIFY(run.login());
    MDIfrm* f = frame();
    QCOMPARE(f->windowTitle(), QStringLiteral("Vantorel时间管理软件"));
    const QStringList captions = {u"今日安排"_s, u"行动主题"_s, u"我的目标"_s, u"我的任务"_s, u"我的财务"_s,
                                  u"人际关系"_s, u"知识管理"_s, u"商业杂志"_s, u"四象限"_s};
    auto* bar = control<QToolBar>(u"MDIfrm"_s, u"Toolbar1"_s);
    QVERIFY(bar);
    QStringList shownCaptions;
    for (QAction* a : bar->actions()) {
        if (!a->text().isEmpty() && !a->isSeparator() && !qobject_cast<QWidgetAction*>(a)) {
            shownCaptions << a->text();
            QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
        }
    }
    QCOMPARE(shownCaptions, captions);
    auto* tutorial = control<QToolButton>(u"MDIfrm"_s, u"Command1"_s);
    QCOMPARE(tutorial->text(), QStringLiteral("软件使用视频演示"));

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.contains(f->geometry()));
    QVERIFY(std::abs(f->frameGeometry().center().x() - QGuiApplication::primaryScreen()->geometry().center().x()) <= 2);
}

void FrameTest::viewButtonReloadsTheView()
{
    ProgramRun run;
    run.answerNext(QMessageBox::No);
    QVERIFY(run.login());
    auto* area = control<QMdiArea>(u"MDIfrm"_s, u"MdiArea"_s);
    QVERIFY(area);
    QPointer<QWidget> first = find<QWidget>(u"Frmmain"_s);
    QVERIFY(first);
    QCOMPARE(area->subWindowList().size(), 1);
    QCOMPARE(area->subWindowList().first()->geometry().topLeft(), QPoint(0, 0));
    QVERIFY(area->subWindowList().first()->width() >= area->viewport()->width());

    // Only the views that are part of the program can be chosen.
    auto* bar = control<QToolBar>(u"MDIfrm"_s, u"Toolbar1"_s);
    QList<bool> enabled;
    for (int i = 1; i <= 9; ++i)
        enabled << bar->findChild<QAction*>(QStringLiteral("Button%1").arg(i))->isEnabled();
    QCOMPARE(enabled, (QList<bool>{true, true, true, true, true, true, true, true, true}));

    run.answerNext(QMessageBox::No);
    bar->findChild<QAction*>(u"Button1"_s)->trigger();
    settle();
    QVERIFY(!first); // the old view is gone
    QVERIFY(shown(u"Frmmain"_s));
    QCOMPARE(area->subWindowList().size(), 1);
}

void FrameTest::frameCannotBeMaximised()
{
    ProgramRun run;
    QVERIFY(run.login());
    MDIfrm* f = frame();
    QVERIFY(!f->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    const QSize size = f->size();
    f->showMaximized();
    settle();
    QVERIFY(!f->isMaximized());
    f->setWindowState(Qt::WindowMaximized);
    settle();
    QVERIFY(!f->isMaximized());
    QCOMPARE(f->size(), size);
}

void FrameTest::tutorialOpensTheSitePage()
{
    ProgramRun run;
    QVERIFY(run.login());
    QVERIFY(click(control<QToolButton>(u"MDIfrm"_s, u"Command1"_s)));
    QCOMPARE(run.openedUrls.size(), 1);
    QCOMPARE(run.openedUrls.first().path(), QStringLiteral("/jiaocheng/class-1.asp"));
    QVERIFY(run.openedUrls.first().scheme().startsWith(QLatin1String("http")));
    QVERIFY(!run.openedUrls.first().host().isEmpty());
}

void FrameTest::secondStartInTheSameProcessIsRefused()
{
    ProgramRun run;
    QVERIFY(run.login());
    QVERIFY(QFile::remove(run.file(u"magazine.mdb"_s)));
    const QByteArray before = [&] {
        QFile f(run.file(u"mylive.dc"_s));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    run.messages.clear();
    QVERIFY(!Module1::Main(run.folder()));
    QCOMPARE(run.messages, QStringList{QStringLiteral("程序已经在运行")});
    QVERIFY(!QFile::exists(run.file(u"magazine.mdb"_s))); // nothing in the folder was touched
    QFile f(run.file(u"mylive.dc"_s));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    QVERIFY(shown(u"MDIfrm"_s)); // the running program carries on
    QVERIFY(!find<QWidget>(u"frmlogin"_s));
}

void FrameTest::secondProcessIsRefused()
{
    ProgramRun run;
    const QString exe = run.file(u"vantorel"_s);
    QVERIFY(QFile::copy(QStringLiteral(VANTOREL_EXE), exe));
    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    first.setProcessEnvironment(env);
    first.start(exe, {});
    QVERIFY(first.waitForStarted());
    // The database appears once the program holds its folder.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(run.file(u"mylive.dc"_s)), 20000);
    QTest::qWait(200);

    QVERIFY(!Module1::Main(run.folder()));
    QCOMPARE(run.messages, QStringList{QStringLiteral("程序已经在运行")});
    QCOMPARE(first.state(), QProcess::Running); // the first instance is unaffected
    first.kill();
    first.waitForFinished();

    // Once it has ended, the folder can be started again.
    run.messages.clear();
    QVERIFY(run.start());
    QVERIFY(run.messages.isEmpty());
}

void FrameTest::closingTheFrameEndsTheProgram()
{
    ProgramRun run;
    QVERIFY(run.login());
    // The event loop of the program ends when the frame closes; a guard ends it otherwise.
    QTimer::singleShot(0, frame(), [] { frame()->close(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
    settle();
    QVERIFY(!find<QWidget>(u"MDIfrm"_s));
}

QTEST_MAIN(FrameTest)
#include "test_frame.moc"
