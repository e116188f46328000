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

namespace {
const QDate kDay(2009, 1, 31);

QDateTime at(const QString& time, const QDate& day = kDay)
{
    return QDateTime(day, QTime::fromString(time, "H:mm:ss"));
}

MDIfrm* frame()
{
    return find<MDIfrm>("MDIfrm");
}

// Replaces the tasks of the day with ones at the given times ("" for a task without a time).
void setTasks(ProgramRun& run, const QDate& day, const QStringList& times)
{
    run.exec("DELETE FROM renwu WHERE today = ?", {day.toString(Qt::ISODate)});
    for (const QString& t : times) {
        run.exec("INSERT INTO renwu (title, today, intime) VALUES ('t', ?, ?)",
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

    QTest::newRow("on the second") << QStringList{"14:30:00"} << "14:29:58"
                                   << QStringList{"14:29:59", "14:30:00", "14:30:01"} << "010";
    QTest::newRow("9:05 is not 19:05") << QStringList{"19:05:00"} << "9:04:59" << QStringList{"9:05:00", "9:05:01"}
                                       << "00";
    QTest::newRow("19:05 is not 9:05") << QStringList{"9:05:00"} << "19:04:59" << QStringList{"19:05:00"} << "0";
    QTest::newRow("skipped second") << QStringList{"14:30:00"} << "14:29:58"
                                    << QStringList{"14:29:59", "14:30:01", "14:30:02"} << "010";
    QTest::newRow("two tasks, one second")
        << QStringList{"14:30:00", "14:30:00"} << "14:29:59" << QStringList{"14:30:00", "14:30:01"} << "10";
    QTest::newRow("woke after several") << QStringList{"9:00:00", "10:00:00", "11:00:00"} << "8:59:00"
                                        << QStringList{"8:59:01", "11:30:00", "11:30:01"} << "010";
    QTest::newRow("time of loading") << QStringList{"8:00:00"} << "8:00:00" << QStringList{"8:00:00"} << "1";
    QTest::newRow("passed before loading") << QStringList{"7:59:59"} << "8:00:00" << QStringList{"8:00:01"} << "0";
    QTest::newRow("same second twice") << QStringList{"8:00:05"} << "8:00:00" << QStringList{"8:00:05", "8:00:05"}
                                       << "10";
    QTest::newRow("clock set back") << QStringList{"14:30:00"} << "14:29:00"
                                    << QStringList{"14:31:00", "14:29:59", "14:30:00"} << "101";
    QTest::newRow("no times") << QStringList{} << "0:00:00" << QStringList{"0:00:00", "23:59:59"} << "00";
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
    ProgramRun run(at("8:00:00"));
    QVERIFY(run.start());
    setTasks(run, kDay, {"14:30:00", "", "09:00:00"});
    setTasks(run, kDay.addDays(1), {"10:00:00"});
    QVERIFY(run.login());

    QCOMPARE(frame()->reminderClock().times(), (QList<QTime>{QTime(9, 0), QTime(14, 30)}));
    QString fired;
    for (const char* t : {"8:59:59", "9:00:00", "9:00:01", "10:00:00", "14:30:00", "14:30:01"})
        fired += tickAt(run, at(t)) ? '1' : '0';
    QCOMPARE(fired, QStringLiteral("010010"));
}

void FrameTest::reminderPlaysTheSoundOfTheFolder()
{
    ProgramRun run(at("8:00:00"));
    QVERIFY(run.start());
    setTasks(run, kDay, {"08:00:02"});
    QVERIFY(run.login());
    QVERIFY(tickAt(run, at("8:00:02")));
    QCOMPARE(run.playedSounds, QStringList{QDir(run.folder()).filePath("5.wav")});
}

void FrameTest::savedTaskIsRemindedAfterRebuild()
{
    ProgramRun run(at("8:00:00"));
    QVERIFY(run.start());
    setTasks(run, kDay, {});
    QVERIFY(run.login());
    run.exec("INSERT INTO renwu (title, today, intime) VALUES ('new', '2009-01-31', '08:10:00')");
    QVERIFY(!tickAt(run, at("8:05:00")));
    frame()->ModRenwu();
    QVERIFY(tickAt(run, at("8:10:00")));
}

void FrameTest::midnightRebuildsTheTimes()
{
    ProgramRun run(at("23:59:00"));
    QVERIFY(run.start());
    setTasks(run, kDay, {"09:30:00"});
    setTasks(run, kDay.addDays(1), {"10:00:00"});
    QVERIFY(run.login());

    QVERIFY(!tickAt(run, at("0:00:01", kDay.addDays(1))));
    QCOMPARE(frame()->reminderClock().day(), kDay.addDays(1));
    QVERIFY(!tickAt(run, at("9:30:00", kDay.addDays(1)))); // yesterday's time
    QVERIFY(tickAt(run, at("10:00:00", kDay.addDays(1))));
}

void FrameTest::missingSoundFileIsQuiet()
{
    ProgramRun run(at("8:00:00"));
    QVERIFY(run.start());
    QVERIFY(QFile::remove(run.file("5.wav")));
    Shell::setPlaySoundHook({});
    Shell::playSound(run.file("5.wav")); // returns without a sound and without waiting
    Shell::playSound(QString());
    QVERIFY(run.messages.isEmpty());
}

void FrameTest::frameLayout()
{
    ProgramRun run;
    QVERIFY(run.login());
    MDIfrm* f = frame();
    QCOMPARE(f->windowTitle(), QStringLiteral("Vantorel时间管理软件"));
    const QStringList captions = {"今日安排", "行动主题", "我的目标", "我的任务", "我的财务",
                                  "人际关系", "知识管理", "商业杂志", "四象限"};
    auto* bar = control<QToolBar>("MDIfrm", "Toolbar1");
    QVERIFY(bar);
    QStringList shownCaptions;
    for (QAction* a : bar->actions()) {
        if (!a->text().isEmpty() && !a->isSeparator() && !qobject_cast<QWidgetAction*>(a)) {
            shownCaptions << a->text();
            QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
        }
    }
    QCOMPARE(shownCaptions, captions);
    auto* tutorial = control<QToolButton>("MDIfrm", "Command1");
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
    auto* area = control<QMdiArea>("MDIfrm", "MdiArea");
    QVERIFY(area);
    QPointer<QWidget> first = find<QWidget>("Frmmain");
    QVERIFY(first);
    QCOMPARE(area->subWindowList().size(), 1);
    QCOMPARE(area->subWindowList().first()->geometry().topLeft(), QPoint(0, 0));
    QVERIFY(area->subWindowList().first()->width() >= area->viewport()->width());

    // Only the views that are part of the program can be chosen.
    auto* bar = control<QToolBar>("MDIfrm", "Toolbar1");
    QList<bool> enabled;
    for (int i = 1; i <= 9; ++i)
        enabled << bar->findChild<QAction*>(QStringLiteral("Button%1").arg(i))->isEnabled();
    QCOMPARE(enabled, (QList<bool>{true, true, true, true, true, true, true, true, true}));

    run.answerNext(QMessageBox::No);
    bar->findChild<QAction*>("Button1")->trigger();
    settle();
    QVERIFY(!first); // the old view is gone
    QVERIFY(shown("Frmmain"));
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
    QVERIFY(click(control<QToolButton>("MDIfrm", "Command1")));
    QCOMPARE(run.openedUrls.size(), 1);
    QCOMPARE(run.openedUrls.first().path(), QStringLiteral("/jiaocheng/class-1.asp"));
    QVERIFY(run.openedUrls.first().scheme().startsWith(QLatin1String("http")));
    QVERIFY(!run.openedUrls.first().host().isEmpty());
}

void FrameTest::secondStartInTheSameProcessIsRefused()
{
    ProgramRun run;
    QVERIFY(run.login());
    QVERIFY(QFile::remove(run.file("magazine.mdb")));
    const QByteArray before = [&] {
        QFile f(run.file("mylive.dc"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    run.messages.clear();
    QVERIFY(!Module1::Main(run.folder()));
    QCOMPARE(run.messages, QStringList{QStringLiteral("程序已经在运行")});
    QVERIFY(!QFile::exists(run.file("magazine.mdb"))); // nothing in the folder was touched
    QFile f(run.file("mylive.dc"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    QVERIFY(shown("MDIfrm")); // the running program carries on
    QVERIFY(!find<QWidget>("frmlogin"));
}

void FrameTest::secondProcessIsRefused()
{
    ProgramRun run;
    const QString exe = run.file("vantorel");
    QVERIFY(QFile::copy(QStringLiteral(VANTOREL_EXE), exe));
    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    first.setProcessEnvironment(env);
    first.start(exe, {});
    QVERIFY(first.waitForStarted());
    // The database appears once the program holds its folder.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(run.file("mylive.dc")), 20000);
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
    QVERIFY(!find<QWidget>("MDIfrm"));
}

QTEST_MAIN(FrameTest)
#include "test_frame.moc"
