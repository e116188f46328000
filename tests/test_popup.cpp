#include "gui/gui.h"
#include "shell/mdifrm.h"
#include "shell/module1.h"
#include "testsupport.h"
#include "views/desktop/frmts.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSqlRecord>
#include <QTimer>
#include <QTreeWidget>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
const QDate kDay(2009, 1, 31);

QDateTime at(const QString& time, const QDate& day = kDay)
{
    return QDateTime(day, QTime::fromString(time, u"H:mm:ss"_s));
}

// Logs in at the given time, leaving earlier open tasks on their days.
bool loginAt(ProgramRun& run, const QString& time)
{
    run.setNow(at(time));
    run.answerNext(QMessageBox::No);
    const bool ok = run.login();
    run.messages.clear();
    return ok;
}

// Replaces today's tasks. Each entry is "time|title|state", with an empty time for a task
// without a reminder and an optional fourth field moving the task that many days.
void setTasks(ProgramRun& run, const QStringList& tasks)
{
    run.exec(u"DELETE FROM renwu WHERE today = ?"_s, {kDay.toString(Qt::ISODate)});
    for (const QString& entry : tasks) {
        const QStringList f = entry.split(u'|');
        const QDate day = kDay.addDays(f.value(3).toInt());
        run.exec(u"INSERT INTO renwu (title, content, today, intime, zhuangtai) VALUES (?, ?, ?, ?, ?)"_s,
                 {f[1], f[1] + u"的说明"_s, day.toString(Qt::ISODate), f[0].isEmpty() ? QVariant() : QVariant(f[0]),
                  f[2].toInt()});
    }
}

qint64 idOf(ProgramRun& run, const QString& title)
{
    return run.scalar(u"SELECT id FROM renwu WHERE title = ?"_s, {title}).toLongLong();
}

QList<Frmts*> popups()
{
    QList<Frmts*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "Frmts"_L1 && w->isVisible())
            found << qobject_cast<Frmts*>(w);
    }
    return found;
}

template <class T>
T* part(QWidget* popup, const char* name)
{
    return popup->findChild<T*>(QLatin1StringView(name));
}

[[nodiscard]] bool clickImage(QWidget* popup, const char* name)
{
    auto* image = part<QWidget>(popup, name);
    if (!QTest::qVerify(image != nullptr, "image", name, __FILE__, __LINE__))
        return false;
    QTest::mouseClick(image, Qt::LeftButton);
    settle();
    return true;
}

// Every column of every task, to show that an action wrote nothing.
QString allTasks(ProgramRun& run)
{
    QString text;
    QSqlQuery q = run.query(u"SELECT * FROM renwu ORDER BY id"_s);
    while (q.next()) {
        for (int c = 0; c < q.record().count(); ++c)
            text += q.value(c).toString() + u'|';
        text += u'\n';
    }
    return text;
}

QTimer* frameTimer()
{
    return find<MDIfrm>(u"MDIfrm"_s) ? reminderTimer() : nullptr;
}

QTreeWidgetItem* todayRow(qint64 id)
{
    auto* list = control<QTreeWidget>(u"Frmmain"_s, u"ListView1"_s);
    for (int i = 0; list && i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == QString::number(id))
            return list->topLevelItem(i);
    }
    return nullptr;
}
} // namespace

class PopupTest : public QObject
{
    Q_OBJECT

private slots:
    void choosesTheTaskDueLast_data();
    void choosesTheTaskDueLast();
    void reminderClockOpensOnePopupPerDueTime();
    void showsTheTodayViewsSelectedTaskOnce();
    void saveStoresTheEdits_data();
    void saveStoresTheEdits();
    void doneCompletesAndCloses();
    void actionsNeedAnExistingTask_data();
    void actionsNeedAnExistingTask();
    void closeKeepsTheData();
    void slidesUpIntoTheWorkArea();
    void dragsByItsBackground();
};

void PopupTest::choosesTheTaskDueLast_data()
{
    QTest::addColumn<QStringList>("tasks");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("shown"); // title, empty for none

    const QStringList two = {u"14:30:00|回信|0"_s, u"15:00:00|开会|0"_s};
    QTest::newRow("latest not after now") << two << "15:00:10"
                                          << "开会";
    QTest::newRow("between the two") << two << "14:59:59"
                                     << "回信";
    QTest::newRow("exactly at the time, already done")
        << QStringList{u"14:30:00|回信|1"_s, u"15:00:00|开会|0"_s} << "14:30:00"
        << "回信";
    QTest::newRow("before every time") << two << "06:00:00"
                                       << "";
    QTest::newRow("same time: the newest") << QStringList{u"09:00:00|早|0"_s, u"09:00:00|晚|0"_s} << "09:30:00"
                                           << "晚";
    QTest::newRow("untimed tasks never") << QStringList{u"|无时|0"_s} << "23:59:59"
                                         << "";
    QTest::newRow("not another day's") << QStringList{u"07:00:00|昨天|0|-1"_s, u"07:00:00|明天|0|1"_s} << "08:00:00"
                                       << "";
}

void PopupTest::choosesTheTaskDueLast()
{
    QFETCH(QStringList, tasks);
    QFETCH(QString, now);
    QFETCH(QString, shown);

    ProgramRun run;
    QVERIFY(loginAt(run, now));
    setTasks(run, tasks);
    Frmts* popup = Frmts::openNew();

    QCOMPARE(part<QLineEdit>(popup, "Text1")->text(), shown);
    QCOMPARE(part<QPlainTextEdit>(popup, "RichTextBox1")->toPlainText(), shown.isEmpty() ? u""_s : shown + u"的说明"_s);
    QCOMPARE(popup->taskId(), shown.isEmpty() ? 0 : idOf(run, shown));
    QCOMPARE(part<QLineEdit>(popup, "Text2")->text(), shown.isEmpty() ? u""_s : QString::number(idOf(run, shown)));
}

void PopupTest::reminderClockOpensOnePopupPerDueTime()
{
    ProgramRun run;
    QVERIFY(loginAt(run, u"14:00:00"_s));
    setTasks(run, {u"14:30:00|回信|0"_s, u"15:00:00|开会|0"_s});
    find<MDIfrm>(u"MDIfrm"_s)->ModRenwu();

    const QStringList ticks = {u"14:29:59"_s, u"14:30:00"_s, u"14:30:01"_s, u"15:00:00"_s};
    const QList<int> expected = {0, 1, 1, 2};
    for (int i = 0; i < ticks.size(); ++i) {
        run.setNow(at(ticks[i]));
        QVERIFY(tick(frameTimer()));
        QCOMPARE(popups().size(), expected[i]);
    }
    QStringList titles;
    for (Frmts* p : popups())
        titles << part<QLineEdit>(p, "Text1")->text();
    titles.sort();
    QCOMPARE(titles, (QStringList{u"回信"_s, u"开会"_s}));
}

void PopupTest::showsTheTodayViewsSelectedTaskOnce()
{
    ProgramRun run;
    QVERIFY(loginAt(run, u"08:00:00"_s)); // the time rule gives 晨跑三公里 (7:00)
    auto* list = control<QTreeWidget>(u"Frmmain"_s, u"ListView1"_s);
    QVERIFY2(list, "the today view's list");
    QTreeWidgetItem* row = todayRow(19); // 送父母去火车站
    QVERIFY(row);
    QVERIFY(clickRow(list, list->indexOfTopLevelItem(row)));
    QVERIFY(chooseRowMenuItem(list, list->indexOfTopLevelItem(row), u"zuomian"_s));

    QCOMPARE(popups().size(), 1);
    QCOMPARE(popups().first()->taskId(), 19);
    QVERIFY(!Module1::ShowSelectedTask);
    QCOMPARE(Frmts::openNew()->taskId(), 11);
}

void PopupTest::saveStoresTheEdits_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("content");
    QTest::newRow("plain") << "回复表妹：能去"
                           << "二月十四日，提前一天到。";
    QTest::newRow("apostrophes") << "Tom's 'plan'"
                                 << "don't'); DELETE FROM renwu; --";
    QTest::newRow("lines") << "回复"
                           << "第一行\n第二行\n";
    // A name of blanks is refused as the task dialogs refuse it; nothing is written.
    QTest::newRow("empty title") << "  "
                                 << "第一行";
}

void PopupTest::saveStoresTheEdits()
{
    QFETCH(QString, title);
    QFETCH(QString, content);

    ProgramRun run;
    QVERIFY(loginAt(run, u"14:30:00"_s)); // 回复表妹的婚礼请柬, id 20
    const int tasks = run.scalar(u"SELECT count(*) FROM renwu"_s).toInt();
    Frmts* popup = Frmts::openNew();
    QCOMPARE(popup->taskId(), 20);
    part<QLineEdit>(popup, "Text1")->setText(title);
    part<QPlainTextEdit>(popup, "RichTextBox1")->setPlainText(content);
    const QString before = run.scalar(u"SELECT title || '/' || content FROM renwu WHERE id = 20"_s).toString();
    QVERIFY(clickImage(popup, "Image1"));

    if (title.trimmed().isEmpty()) {
        QCOMPARE(run.messages, QStringList{u"请输入任务名称！"_s});
        QCOMPARE(run.scalar(u"SELECT title || '/' || content FROM renwu WHERE id = 20"_s).toString(), before);
        return;
    }
    QCOMPARE(run.messages, QStringList{u"修改完成！"_s});
    QCOMPARE(run.scalar(u"SELECT title FROM renwu WHERE id = 20"_s).toString(), title);
    QCOMPARE(run.scalar(u"SELECT content FROM renwu WHERE id = 20"_s).toString(), content);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu"_s).toInt(), tasks);
    QCOMPARE(run.scalar(u"SELECT zhuangtai FROM renwu WHERE id = 20"_s).toInt(), 0);
    QCOMPARE(popups().size(), 1);
}

void PopupTest::doneCompletesAndCloses()
{
    ProgramRun run;
    QVERIFY(loginAt(run, u"14:30:00"_s));
    Frmts* popup = Frmts::openNew();
    QCOMPARE(popup->taskId(), 20);
    QVERIFY(clickImage(popup, "Image2"));

    QCOMPARE(run.messages, QStringList{u"恭喜，继续努力！"_s});
    QCOMPARE(run.scalar(u"SELECT zhuangtai FROM renwu WHERE id = 20"_s).toInt(), 1);
    QVERIFY(popups().isEmpty());
    QTreeWidgetItem* row = todayRow(20);
    QVERIFY2(row, "the today view's row of the task");
    QCOMPARE(row->text(3), QStringLiteral("已经完成"));
}

void PopupTest::actionsNeedAnExistingTask_data()
{
    QTest::addColumn<QString>("now");
    QTest::addColumn<bool>("deleteTask");
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("message");

    QTest::newRow("save, no task") << "06:00:00" << false << "Image1"
                                   << "没有可供操作的任务！";
    QTest::newRow("done, no task") << "06:00:00" << false << "Image2"
                                   << "没有可供操作的任务！";
    QTest::newRow("save, deleted task") << "14:30:00" << true << "Image1"
                                        << "该任务已不存在！";
    QTest::newRow("done, deleted task") << "14:30:00" << true << "Image2"
                                        << "该任务已不存在！";
}

void PopupTest::actionsNeedAnExistingTask()
{
    QFETCH(QString, now);
    QFETCH(bool, deleteTask);
    QFETCH(QString, image);
    QFETCH(QString, message);

    ProgramRun run;
    QVERIFY(loginAt(run, now));
    Frmts* popup = Frmts::openNew();
    if (deleteTask)
        run.exec(u"DELETE FROM renwu WHERE id = ?"_s, {popup->taskId()});
    part<QLineEdit>(popup, "Text1")->setText(u"新的名称"_s);
    const QString before = allTasks(run);
    QVERIFY(clickImage(popup, qPrintable(image)));

    QCOMPARE(run.messages, QStringList{message});
    QCOMPARE(allTasks(run), before);
    QCOMPARE(popups().size(), 1);
}

void PopupTest::closeKeepsTheData()
{
    ProgramRun run;
    QVERIFY(loginAt(run, u"14:30:00"_s));
    const QString before = allTasks(run);
    Frmts* popup = Frmts::openNew();
    part<QLineEdit>(popup, "Text1")->setText(u"改过的名称"_s);
    part<QPlainTextEdit>(popup, "RichTextBox1")->setPlainText(u"改过的说明"_s);
    QVERIFY(clickImage(popup, "Image3"));

    QVERIFY(popups().isEmpty());
    QVERIFY(run.messages.isEmpty());
    QCOMPARE(allTasks(run), before);
}

void PopupTest::slidesUpIntoTheWorkArea()
{
    ProgramRun run;
    QVERIFY(loginAt(run, u"14:30:00"_s));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    Frmts* popup = Frmts::openNew();
    QVERIFY(popup->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(popup->windowTitle(), QStringLiteral("任务提示"));
    QCOMPARE(popup->y(), area.y() + area.height());
    QCOMPARE(popup->x() + popup->width(), area.x() + area.width());

    auto* timer = part<QTimer>(popup, "Timer1");
    QCOMPARE(timer->interval(), 5);
    for (int i = 0; i < 5000 && timer->isActive(); ++i)
        QVERIFY(tick(timer));
    QVERIFY(!timer->isActive());
    QCOMPARE(popup->y() + popup->height(), area.y() + area.height() - Gui::twips(350));
    QVERIFY(area.contains(popup->geometry()));
    const QPoint resting = popup->pos();
    QVERIFY(tick(timer));
    QCOMPARE(popup->pos(), resting);
}

void PopupTest::dragsByItsBackground()
{
    ProgramRun run;
    QVERIFY(loginAt(run, u"14:30:00"_s));
    Frmts* popup = Frmts::openNew();
    auto* caption = part<QWidget>(popup, "CaptionText");
    QVERIFY(caption);
    const QPoint start = popup->pos();
    QTest::mousePress(caption, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(caption, QPoint(-55, -35));
    QTest::mouseRelease(caption, Qt::LeftButton, {}, QPoint(-55, -35));
    settle();

    QCOMPARE(popup->pos(), start - QPoint(60, 40));
    QVERIFY(!part<QTimer>(popup, "Timer1")->isActive()); // the slide no longer pulls it back
}

QTEST_MAIN(PopupTest)
#include "test_popup.moc"
