#include "testsupport.h"

#include "gui/prompt.h"
#include "shell/mdifrm.h"
#include "views/desktop/frmts.h"
#include "views/tasks/dlogmodrw.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>

using namespace TestSupport;
using namespace Qt::StringLiterals;

// What a new user met in the first hour with the today view, the task dialogs and the popup.
class NewUserTest : public QObject
{
    Q_OBJECT

private slots:
    void unsavedDiary_data();
    void unsavedDiary();
    void editDialogFollowsTheSelection();
    void popupsDoNotCoverEachOther();
    void overdueQuestionComesOverTheFrame();
    void frameFitsASmallScreen();
};

namespace {
const QString kDiaryQuestion = QStringLiteral("日志内容已修改，是否保存？");

template <class T = QTreeWidget>
T* ctl(const QString& name)
{
    return control<T>(u"Frmmain"_s, name);
}

QString diaryOf(const ProgramRun& run, const QString& day)
{
    return run.scalar(u"SELECT content FROM fangfa WHERE ltype = '日志' AND addtime = ?"_s, {day}).toString();
}

int rowOf(qint64 id)
{
    auto* list = ctl(u"ListView1"_s);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0).toLongLong() == id)
            return i;
    }
    return -1;
}
} // namespace

void NewUserTest::unsavedDiary_data()
{
    QTest::addColumn<QString>("leave"); // how the typed diary is left
    QTest::addColumn<bool>("typed");
    QTest::addColumn<bool>("yes");
    QTest::newRow("another day, kept") << "day" << true << true;
    QTest::newRow("another day, dropped") << "day" << true << false;
    QTest::newRow("another view, kept") << "view" << true << true;
    QTest::newRow("frame closed, kept") << "close" << true << true;
    QTest::newRow("frame closed, dropped") << "close" << true << false;
    QTest::newRow("nothing typed, no question") << "day" << false << true;
}

void NewUserTest::unsavedDiary()
{
    QFETCH(QString, leave);
    QFETCH(bool, typed);
    QFETCH(bool, yes);
    ProgramRun run;
    QVERIFY(run.login());
    run.messages.clear();
    const QString stored = diaryOf(run, u"2009-01-31"_s); // the sample has today's diary
    if (typed)
        ctl<QPlainTextEdit>(u"RichTextBox2"_s)->setPlainText(u"it's the evening's note"_s);
    if (leave == "close"_L1)
        run.answerNext(QMessageBox::Ok); // the program's end, said before the diary question
    run.answerNext(yes ? QMessageBox::Yes : QMessageBox::No);

    if (leave == "day"_L1) {
        auto* calendar = ctl<QCalendarWidget>(u"MonthView1"_s);
        calendar->setSelectedDate(QDate(2009, 2, 3));
        emit calendar->clicked(QDate(2009, 2, 3));
    } else if (leave == "view"_L1) {
        find<MDIfrm>(u"MDIfrm"_s)->showView(u"Frmmain"_s); // the bar loads a view afresh
    } else {
        find<MDIfrm>(u"MDIfrm"_s)->close();
    }
    settle();

    QStringList expected = typed ? QStringList{kDiaryQuestion} : QStringList{};
    if (leave == "close"_L1) // offscreen there is no notification area: the program says it ends
        expected.prepend(QStringLiteral("桌面没有通知区域，无法在后台提醒，程序将退出。"));
    QCOMPARE(run.messages, expected);
    // Stored under the day it was written for, never under the day clicked.
    QCOMPARE(diaryOf(run, u"2009-01-31"_s), typed && yes ? u"it's the evening's note"_s : stored);
    QCOMPARE(diaryOf(run, u"2009-02-03"_s), QString());
}

void NewUserTest::editDialogFollowsTheSelection()
{
    ProgramRun run;
    QVERIFY(run.login());
    run.messages.clear();
    auto* list = ctl(u"ListView1"_s);
    const QString first = run.scalar(u"SELECT title FROM renwu WHERE id = 19"_s).toString();
    const QString second = run.scalar(u"SELECT title FROM renwu WHERE id = 20"_s).toString();
    const QString third = run.scalar(u"SELECT title FROM renwu WHERE id = 11"_s).toString();
    auto title = [] { return control<QLineEdit>(u"Dlogmodrw"_s, u"Text1"_s)->text(); };

    QVERIFY(clickRow(list, rowOf(19)));
    QVERIFY(click(ctl<QPushButton>(u"Command4"_s)));
    QCOMPARE(title(), first);

    // Untouched: the dialog simply shows the newly chosen task.
    QVERIFY(clickRow(list, rowOf(20)));
    QVERIFY(click(ctl<QPushButton>(u"Command4"_s)));
    QCOMPARE(title(), second);
    QVERIFY2(run.messages.isEmpty(), qPrintable(run.messages.join(u"|"_s)));

    // Edited: the user is asked first; No keeps the edits, Yes shows the chosen task.
    control<QLineEdit>(u"Dlogmodrw"_s, u"Text1"_s)->setText(u"edited"_s);
    QVERIFY(clickRow(list, rowOf(11)));
    run.answerNext(QMessageBox::No);
    QVERIFY(click(ctl<QPushButton>(u"Command4"_s)));
    QCOMPARE(title(), u"edited"_s);
    run.answerNext(QMessageBox::Yes);
    QVERIFY(click(ctl<QPushButton>(u"Command4"_s)));
    QCOMPARE(title(), third);
    QCOMPARE(run.messages, (QStringList{u"是否放弃对当前任务的修改？"_s, u"是否放弃对当前任务的修改？"_s}));

    // The save goes to the task shown.
    QVERIFY(click(control<QPushButton>(u"Dlogmodrw"_s, u"Command3"_s)));
    QCOMPARE(run.scalar(u"SELECT title FROM renwu WHERE id = 20"_s).toString(), second);
    QCOMPARE(run.scalar(u"SELECT title FROM renwu WHERE id = 11"_s).toString(), third);
}

void NewUserTest::popupsDoNotCoverEachOther()
{
    ProgramRun run(QDateTime(QDate(2009, 1, 31), QTime(10, 30, 0)));
    QVERIFY(run.login());
    QList<Frmts*> popups{Frmts::openNew(), Frmts::openNew(), Frmts::openNew()};
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (Frmts* p : popups) {
        QTRY_VERIFY(!p->findChild<QTimer*>(u"Timer1"_s)->isActive()); // the slide is over
        QVERIFY(screen.contains(p->geometry()));
    }
    for (int i = 0; i < popups.size(); ++i) {
        for (int j = i + 1; j < popups.size(); ++j)
            QVERIFY(!popups[i]->geometry().intersects(popups[j]->geometry()));
    }
    // The newest rests above the older ones.
    QVERIFY(popups[1]->y() < popups[0]->y());
}

void NewUserTest::overdueQuestionComesOverTheFrame()
{
    ProgramRun run;
    QVERIFY(run.start());
    run.exec(u"INSERT INTO renwu (title, today, zhuangtai) VALUES ('left over', '2009-01-20', 0)"_s);
    run.exec(u"DELETE FROM overdue_asked"_s); // a later day than the first run's
    bool frameShownWhenAsked = false;
    setMsgBoxResponder([&](const QString& text, QMessageBox::StandardButtons) {
        run.messages.append(text);
        frameShownWhenAsked = shown(u"MDIfrm"_s) && !shown(u"frmlogin"_s);
        return QMessageBox::No;
    });
    QVERIFY(run.login());
    QCOMPARE(run.messages.size(), 1);
    QVERIFY(run.messages.first().startsWith(QStringLiteral("您以前有 ")));
    QVERIFY(frameShownWhenAsked);
}

void NewUserTest::frameFitsASmallScreen()
{
    ProgramRun run;
    QVERIFY(run.login());
    auto* frame = find<MDIfrm>(u"MDIfrm"_s);
    // 1024×768 less a title bar and a panel of the desktop.
    frame->resize(1024, 768 - 60);
    settle();
    auto* area = frame->findChild<QMdiArea*>(u"MdiArea"_s);
    QVERIFY(!area->horizontalScrollBar()->isVisible());
    QVERIFY(!area->verticalScrollBar()->isVisible());
    QWidget* view = find<QWidget>(u"Frmmain"_s);
    QVERIFY(view->minimumSizeHint().width() <= area->viewport()->width());
    QVERIFY(view->minimumSizeHint().height() <= area->viewport()->height());
    // Nothing cut off: the planning buttons lie inside the view.
    auto* last = ctl<QPushButton>(u"Command8"_s);
    QVERIFY(view->rect().contains(QRect(last->mapTo(view, QPoint()), last->size())));
}

QTEST_MAIN(NewUserTest)
#include "test_newuser.moc"
