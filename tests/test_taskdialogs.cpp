#include "gui/forms.h"
#include "gui/gui.h"
#include "shell/mdifrm.h"
#include "testsupport.h"
#include "views/tasks/dlogaddrw.h"
#include "views/tasks/dlogmodrw.h"
#include "views/tasks/timeslider.h"
#include "views/today/frmmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSqlRecord>
#include <QTreeWidget>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
const QDate kToday(2009, 1, 31);

bool logIn(ProgramRun& run)
{
    run.answerNext(QMessageBox::No); // leave the overdue tasks on their days
    const bool in = run.login();
    run.messages.clear();
    return in;
}

// The add dialog, or the edit dialog; with no view open the edit dialog works on task 1.
QWidget* open(const QString& dialog, bool keepTodayView = false)
{
    if (dialog == "add"_L1)
        return dlogaddrw::showShared();
    if (!keepTodayView) {
        Forms::unload(QStringLiteral("Frmmain"));
        settle();
    }
    return Dlogmodrw::showShared();
}

template <class T>
T* field(QWidget* dialog, const char* name)
{
    T* w = dialog ? dialog->findChild<T*>(QLatin1String(name)) : nullptr;
    if (w)
        return w;
    // Recorded as the test's failure; the rest of the test works on a stand-in, and the
    // other tests still run.
    QTest::qFail(qPrintable(QStringLiteral("no control %1").arg(QLatin1String(name))), __FILE__, __LINE__);
    static T* standIn = new T();
    return standIn;
}

QLineEdit* box(QWidget* dialog, const char* name)
{
    return field<QLineEdit>(dialog, name);
}
QComboBox* list(QWidget* dialog, const char* name)
{
    return field<QComboBox>(dialog, name);
}

QPushButton* saveButton(QWidget* dialog)
{
    return field<QPushButton>(dialog, dialog->objectName() == "dlogaddrw"_L1 ? "OKButton" : "Command3");
}

// A user's pick in a drop-down list.
void pick(QComboBox* combo, const QString& text)
{
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

QStringList entries(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

// The columns of one task joined by '|', NULL for null; "missing" when there is no such task.
QString taskRow(const ProgramRun& run, qint64 id, const QString& columns)
{
    QSqlQuery q = run.query(QStringLiteral("SELECT %1 FROM renwu WHERE id = ?").arg(columns), {id});
    if (!q.next())
        return QStringLiteral("missing");
    QStringList values;
    for (int i = 0; i < q.record().count(); ++i)
        values << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
    return values.join(u'|');
}

qint64 newestTask(const ProgramRun& run)
{
    return run.scalar(u"SELECT max(id) FROM renwu"_s).toLongLong();
}

bool reminded(const QTime& time)
{
    return find<MDIfrm>(u"MDIfrm"_s)->reminderClock().times().contains(time);
}
} // namespace

class TaskdialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void timeSlider_data();
    void timeSlider();
    void sliderAndTimeBox_data();
    void sliderAndTimeBox();
    void editLoadsTheTask_data();
    void editLoadsTheTask();
    void addSaves_data();
    void addSaves();
    void editSaves_data();
    void editKeepsWhatMovedMeanwhile();
    void editSaves();
    void validation_data();
    void validation();
    void themeAndGoalChoice_data();
    void themeAndGoalChoice();
    void editOfAMissingTask_data();
    void editOfAMissingTask();
    void windows_data();
    void windows();
    void addTakesTheTimeAndTheTodayViewsDay();
    void editWorksOnTheTaskSelectedToday();
};

void TaskdialogsTest::timeSlider_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number"); // a position, or the minutes to shift
    QTest::addColumn<QString>("expected");

    QTest::newRow("14:30 loads at 86") << "positionOf"
                                       << "14:30:00" << 0 << "86";
    QTest::newRow("23:00 loads at 138") << "positionOf"
                                        << "23:00:00" << 0 << "138";
    QTest::newRow("last second at 144") << "positionOf"
                                        << "23:59:59" << 0 << "144";
    QTest::newRow("86 reads 14:20") << "textAt"
                                    << "" << 86 << "14:20:00";
    QTest::newRow("144 reads 24:00") << "textAt"
                                     << "" << 144 << "24:00:00";
    QTest::newRow("short form") << "parse"
                                << "8:30" << 0 << "08:30:00";
    QTest::newRow("end of day") << "parse"
                                << "24:00:00" << 0 << "23:59:59";
    QTest::newRow("past the day") << "parse"
                                  << "25:61:00" << 0 << "";
    QTest::newRow("letters") << "parse"
                             << "abc" << 0 << "";
    QTest::newRow("up") << "shifted"
                        << "8:30:00" << 1 << "8:31:00";
    QTest::newRow("down") << "shifted"
                          << "8:30:00" << -1 << "8:29:00";
    QTest::newRow("up past midnight") << "shifted"
                                      << "23:59:00" << 1 << "0:00:00";
    QTest::newRow("down past midnight") << "shifted"
                                        << "0:00:00" << -1 << "23:59:00";
    QTest::newRow("up from the end") << "shifted"
                                     << "24:00:00" << 1 << "0:01:00";
}

void TaskdialogsTest::timeSlider()
{
    QFETCH(QString, function);
    QFETCH(QString, text);
    QFETCH(int, number);
    QFETCH(QString, expected);

    QString result;
    if (function == "positionOf"_L1)
        result = QString::number(TimeSlider::positionOf(QTime::fromString(text, u"H:mm:ss"_s)));
    else if (function == "textAt"_L1)
        result = TimeSlider::textAt(number);
    else if (function == "parse"_L1)
        result = TimeSlider::parse(text).value_or(QTime()).toString(u"HH:mm:ss"_s);
    else
        result = TimeSlider::shifted(text, number);
    QCOMPARE(result, expected);
}

void TaskdialogsTest::sliderAndTimeBox_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("whileDragging"); // the box before the button is released
    QTest::addColumn<QString>("shown");

    QTest::newRow("add follows the drag") << "add"
                                          << "drag 144"
                                          << "24:00:00"
                                          << "24:00:00";
    QTest::newRow("edit waits for the release") << "edit"
                                                << "drag 86"
                                                << "8:30:00"
                                                << "14:20:00";
    QTest::newRow("edit follows a key") << "edit"
                                        << "key End"
                                        << ""
                                        << "24:00:00";
    QTest::newRow("add up") << "add"
                            << "Command1"
                            << ""
                            << "8:31:00";
    QTest::newRow("edit down") << "edit"
                               << "Command2"
                               << ""
                               << "8:29:00";
}

void TaskdialogsTest::sliderAndTimeBox()
{
    QFETCH(QString, dialog);
    QFETCH(QString, action);
    QFETCH(QString, whileDragging);
    QFETCH(QString, shown);

    ProgramRun run;
    QVERIFY(logIn(run));
    QWidget* d = open(dialog);
    auto* slider = field<QSlider>(d, "Slider1");
    box(d, "Text2")->setText(u"8:30:00"_s);
    const int before = slider->value();

    if (action.startsWith(u"drag"_s)) {
        slider->setSliderDown(true);
        slider->setValue(action.mid(5).toInt());
        QCOMPARE(box(d, "Text2")->text(), whileDragging);
        slider->setSliderDown(false);
    } else if (action == "key End"_L1) {
        QTest::keyClick(slider, Qt::Key_End);
    } else {
        QVERIFY(click(field<QPushButton>(d, qPrintable(action))));
        QCOMPARE(slider->value(), before); // the minute buttons leave the slider alone
    }
    QCOMPARE(box(d, "Text2")->text(), shown);
    if (!action.startsWith(u"Command"_s))
        QCOMPARE(slider->toolTip(), shown);
}

void TaskdialogsTest::editLoadsTheTask_data()
{
    QTest::addColumn<QVariant>("today");
    QTest::addColumn<QVariant>("intime");
    QTest::addColumn<int>("type1");
    QTest::addColumn<QString>("shown"); // Check2 Check1 | day | time box | slider | kinds

    QTest::newRow("timed") << QVariant(u"2009-02-02"_s) << QVariant(u"14:30:00"_s) << 1
                           << "00|2009-02-02|14:30:00|86|一次性 经常性 一次性";
    QTest::newRow("day without time") << QVariant(u"2009-02-02"_s) << QVariant() << 0
                                      << "01|2009-02-02|23:00:00|138|经常性 经常性 一次性";
    QTest::newRow("no day") << QVariant() << QVariant() << 1 << "11|2009-01-31|23:00:00|138|一次性 经常性 一次性";
}

void TaskdialogsTest::editLoadsTheTask()
{
    QFETCH(QVariant, today);
    QFETCH(QVariant, intime);
    QFETCH(int, type1);
    QFETCH(QString, shown);

    ProgramRun run;
    QVERIFY(logIn(run));
    run.exec(u"UPDATE renwu SET today = ?, intime = ?, type1 = ?, xuhao = 2.5 WHERE id = 1"_s, {today, intime, type1});
    auto* d = qobject_cast<Dlogmodrw*>(open(u"edit"_s));
    QCOMPARE(d->taskId(), 1);

    const QString checks = QString(field<QCheckBox>(d, "Check2")->isChecked() ? u"1"_s : u"0"_s)
                           + (field<QCheckBox>(d, "Check1")->isChecked() ? u"1"_s : u"0"_s);
    QCOMPARE(
        QStringList({checks, field<QDateEdit>(d, "DTPicker1")->date().toString(Qt::ISODate), box(d, "Text2")->text(),
                     QString::number(field<QSlider>(d, "Slider1")->value()), entries(list(d, "Combo3")).join(u' ')})
            .join(u'|'),
        shown);
    QCOMPARE(list(d, "Combo3")->currentIndex(), 0);
    QCOMPARE(box(d, "Text1")->text(), QStringLiteral("收集去年各区域的销售数据"));
    QCOMPARE(box(d, "Text3")->text(), QStringLiteral("2.5"));
    QCOMPARE(list(d, "Combo1")->currentText() + list(d, "Combo2")->currentText(), QStringLiteral("重要紧迫"));
    QCOMPARE(list(d, "Combo5")->currentText(), QStringLiteral("事业发展"));
    QCOMPARE(entries(list(d, "Combo4")), (QStringList{u"无"_s, u"完成年度销售方案"_s}));
    QCOMPARE(list(d, "Combo4")->currentIndex(), 1);
}

void TaskdialogsTest::addSaves_data()
{
    QTest::addColumn<bool>("unscheduled"); // Check2
    QTest::addColumn<bool>("noReminder");  // Check1
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("stored"); // today|intime|type1

    QTest::newRow("no day, no time") << true << true << "9:00:00"
                                     << "一次性"
                                     << "NULL|NULL|1";
    QTest::newRow("day, no reminder") << false << true << "9:00:00"
                                      << "经常性"
                                      << "2009-01-31|NULL|0";
    QTest::newRow("timed today") << false << false << "14:20:00"
                                 << "经常性"
                                 << "2009-01-31|14:20:00|0";
    QTest::newRow("end of the day") << false << false << "24:00:00"
                                    << "一次性"
                                    << "2009-01-31|23:59:59|1";
}

void TaskdialogsTest::addSaves()
{
    QFETCH(bool, unscheduled);
    QFETCH(bool, noReminder);
    QFETCH(QString, time);
    QFETCH(QString, kind);
    QFETCH(QString, stored);

    ProgramRun run;
    QVERIFY(logIn(run));
    QWidget* d = open(u"add"_s);
    const QString title = u"Tom's 'quoted' 任务"_s;
    const QString content = u"别忘了 O'Brien 的 \"资料\"\n第二行"_s;
    box(d, "Text1")->setText(title);
    field<QPlainTextEdit>(d, "RichTextBox1")->setPlainText(content);
    field<QCheckBox>(d, "Check2")->setChecked(unscheduled);
    field<QCheckBox>(d, "Check1")->setChecked(noReminder);
    box(d, "Text2")->setText(time);
    pick(list(d, "Combo3"), kind);
    pick(list(d, "Combo1"), u"重要"_s);
    pick(list(d, "Combo5"), u"身心健康"_s);
    pick(list(d, "Combo4"), u"养成早睡早起的习惯"_s);
    QVERIFY(click(saveButton(d)));
    settle();

    QVERIFY(run.messages.isEmpty());
    QVERIFY(!shown(u"dlogaddrw"_s));
    const qint64 id = newestTask(run);
    QCOMPARE(taskRow(run, id, u"today, intime, type1"_s), stored);
    QCOMPARE(taskRow(run, id, u"title, content, mubiao, juese, zhongyao, jinpo, xuhao, zhuangtai"_s),
             QStringList({title, content, u"4"_s, u"2"_s, u"1"_s, u"0"_s, u"2"_s, u"0"_s}).join(u'|'));
    const QTime storedTime = QTime::fromString(stored.section(u'|', 1, 1), u"HH:mm:ss"_s);
    QCOMPARE(reminded(storedTime), storedTime.isValid());
}

void TaskdialogsTest::editSaves_data()
{
    QTest::addColumn<int>("juese"); // task 1's theme before editing
    QTest::addColumn<bool>("unscheduled");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("stored"); // juese|mubiao|type1|today|intime|zhuangtai

    QTest::newRow("theme 无 keeps the goal") << 0 << false << "经常性"
                                             << "0|1|0|2009-01-31|14:20:00|1";
    QTest::newRow("taken off its day") << 1 << true << "一次性"
                                       << "1|1|1|NULL|NULL|1";
}

void TaskdialogsTest::editSaves()
{
    QFETCH(int, juese);
    QFETCH(bool, unscheduled);
    QFETCH(QString, kind);
    QFETCH(QString, stored);

    ProgramRun run;
    QVERIFY(logIn(run));
    run.exec(u"UPDATE renwu SET juese = ?, type1 = 1 WHERE id = 1"_s, {juese});
    QWidget* d = open(u"edit"_s);
    QCOMPARE(list(d, "Combo5")->currentText(), juese ? QStringLiteral("事业发展") : QStringLiteral("无"));
    box(d, "Text1")->setText(u"it's O'Brien's"_s);
    field<QPlainTextEdit>(d, "RichTextBox1")->setPlainText(u"a 'b' \"c\""_s);
    field<QCheckBox>(d, "Check2")->setChecked(unscheduled);
    field<QCheckBox>(d, "Check1")->setChecked(false);
    field<QDateEdit>(d, "DTPicker1")->setDate(kToday);
    box(d, "Text2")->setText(u"14:20:00"_s);
    pick(list(d, "Combo3"), kind);
    QVERIFY(click(saveButton(d)));
    settle();

    QVERIFY(run.messages.isEmpty());
    QVERIFY(!shown(u"Dlogmodrw"_s));
    QCOMPARE(taskRow(run, 1, u"juese, mubiao, type1, today, intime, zhuangtai"_s), stored);
    QCOMPARE(taskRow(run, 1, u"title, content"_s), QStringLiteral("it's O'Brien's|a 'b' \"c\""));
    QCOMPARE(reminded(QTime(14, 20)), !unscheduled);
}

// The task is moved to another day and given a time by another window while the dialog is
// open; a save that changes only the title keeps the new day and time.
void TaskdialogsTest::editKeepsWhatMovedMeanwhile()
{
    ProgramRun run;
    QVERIFY(logIn(run));
    run.exec(u"UPDATE renwu SET type1 = 1, today = '2009-01-31', intime = NULL WHERE id = 1"_s);
    QWidget* d = open(u"edit"_s);
    run.exec(u"UPDATE renwu SET today = '2009-02-03', intime = '09:15:00', xuhao = 7 WHERE id = 1"_s);
    box(d, "Text1")->setText(u"改过的名称"_s);
    QVERIFY(click(saveButton(d)));
    settle();
    QCOMPARE(taskRow(run, 1, u"title, today, intime, xuhao"_s), QStringLiteral("改过的名称|2009-02-03|09:15:00|7"));
}

void TaskdialogsTest::validation_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("message"); // empty: saved
    QTest::addColumn<QString>("focus");

    for (const QString& dialog : {u"add"_s, u"edit"_s}) {
        const bool add = dialog == "add"_L1;
        const QString bad = add ? u"任务排序只能输入数字！"_s : u"任务排序号码一定要是整数！"_s;
        auto row = [&](const QString& tag) -> QTestData& { return QTest::newRow(qPrintable(dialog + u": "_s + tag)); };
        row(u"empty name"_s) << dialog << ""
                             << "1"
                             << "9:00:00"
                             << "请输入任务名称！"
                             << "Text1";
        row(u"blank name"_s) << dialog << "  "
                             << "1"
                             << "9:00:00"
                             << "请输入任务名称！"
                             << "Text1";
        row(u"empty order"_s) << dialog << "n"
                              << ""
                              << "9:00:00" << (add ? "请输入任务排序！" : "请输入任务排序号码！") << "Text3";
        for (const QString& order : {u"-1"_s, u"1e3"_s, u"a"_s, u"."_s, u"1.2.3"_s, u" 1"_s})
            row(order) << dialog << "n" << order << "9:00:00" << bad << "Text3";
        row(u"time past the day"_s) << dialog << "n"
                                    << "1"
                                    << "25:61:00"
                                    << "请输入正确的时间！"
                                    << "Text2";
        row(u"time of letters"_s) << dialog << "n"
                                  << "1"
                                  << "abc"
                                  << "请输入正确的时间！"
                                  << "Text2";
        row(u"decimal order"_s) << dialog << "n"
                                << "2.5"
                                << "9:00:00"
                                << ""
                                << "";
    }
}

void TaskdialogsTest::validation()
{
    QFETCH(QString, dialog);
    QFETCH(QString, name);
    QFETCH(QString, order);
    QFETCH(QString, time);
    QFETCH(QString, message);
    QFETCH(QString, focus);

    ProgramRun run;
    QVERIFY(logIn(run));
    const QString before = taskRow(run, 1, u"*"_s);
    const qint64 newest = newestTask(run);
    QWidget* d = open(dialog);
    box(d, "Text1")->setText(name);
    box(d, "Text3")->setText(order);
    box(d, "Text2")->setText(time);
    field<QCheckBox>(d, "Check2")->setChecked(false);
    field<QCheckBox>(d, "Check1")->setChecked(false);
    QVERIFY(click(saveButton(d)));
    settle();

    if (message.isEmpty()) {
        QVERIFY(run.messages.isEmpty());
        QCOMPARE(taskRow(run, dialog == "add"_L1 ? newestTask(run) : 1, u"xuhao, intime"_s),
                 QStringLiteral("2.5|09:00:00"));
        return;
    }
    QCOMPARE(run.messages, QStringList{message});
    QVERIFY(d->isVisible());
    QCOMPARE(d->focusWidget()->objectName(), focus);
    QCOMPARE(newestTask(run), newest);
    QCOMPARE(taskRow(run, 1, u"*"_s), before);
}

void TaskdialogsTest::themeAndGoalChoice_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QStringList>("goals");
    QTest::addColumn<int>("goalId"); // the last goal offered; -1 none

    QTest::newRow("add, work") << "add"
                               << "事业发展" << QStringList{u"无"_s, u"完成年度销售方案"_s, u"争取项目主管岗位"_s} << 2;
    QTest::newRow("add, 无 offers unthemed goals") << "add"
                                                   << "无" << QStringList{u"无"_s, u"无主题的目标"_s} << 11;
    QTest::newRow("edit, family") << "edit"
                                  << "家庭生活" << QStringList{u"无"_s, u"接父母来家里过春节"_s, u"整理家庭相册"_s}
                                  << 6;
    QTest::newRow("edit, 无 offers none") << "edit"
                                          << "无" << QStringList{u"无"_s} << -1;
}

void TaskdialogsTest::themeAndGoalChoice()
{
    QFETCH(QString, dialog);
    QFETCH(QString, theme);
    QFETCH(QStringList, goals);
    QFETCH(int, goalId);

    ProgramRun run;
    QVERIFY(logIn(run));
    run.exec(u"INSERT INTO mubiao (id, title, juese) VALUES (11, '无主题的目标', 0)"_s);
    run.exec(u"INSERT INTO renwu (title, mubiao) VALUES ('a', 0), ('b', 0), ('c', 11)"_s);
    const auto count = [&](int goal) {
        return run.scalar(u"SELECT count(*) FROM renwu WHERE mubiao = ?"_s, {goal}).toString();
    };
    QWidget* d = open(dialog);
    const QString orderBefore = box(d, "Text3")->text();

    pick(list(d, "Combo5"), theme);
    QCOMPARE(entries(list(d, "Combo4")), goals);
    QCOMPARE(list(d, "Combo4")->currentText(), QStringLiteral("无"));
    QCOMPARE(box(d, "Text3")->text(), dialog == "add"_L1 ? count(0) : orderBefore);
    pick(list(d, "Combo4"), goals.last());
    // Only the add dialog numbers the task after the goal's others.
    const QString order = box(d, "Text3")->text();
    QCOMPARE(order, dialog == "add"_L1 ? count(goalId) : orderBefore);

    box(d, "Text1")->setText(u"n"_s);
    QVERIFY(click(saveButton(d)));
    settle();
    QCOMPARE(taskRow(run, dialog == "add"_L1 ? newestTask(run) : 1, u"mubiao, xuhao"_s),
             QString::number(std::max(goalId, 0)) + u'|' + order);
}

void TaskdialogsTest::editOfAMissingTask_data()
{
    QTest::addColumn<bool>("deletedWhileOpen");
    QTest::newRow("gone before opening") << false;
    QTest::newRow("deleted while open") << true;
}

void TaskdialogsTest::editOfAMissingTask()
{
    QFETCH(bool, deletedWhileOpen);

    ProgramRun run;
    QVERIFY(logIn(run));
    if (!deletedWhileOpen)
        run.exec(u"DELETE FROM renwu WHERE id = 1"_s);
    auto* d = qobject_cast<Dlogmodrw*>(open(u"edit"_s));
    QCOMPARE(d->taskId(), deletedWhileOpen ? 1 : 0);
    if (deletedWhileOpen) {
        run.exec(u"DELETE FROM renwu WHERE id = 1"_s);
    } else {
        QCOMPARE(list(d, "Combo4")->count(), 0); // nothing loaded
        box(d, "Text1")->setText(u"n"_s);
        box(d, "Text3")->setText(u"1"_s);
    }
    const QVariant rows = run.scalar(u"SELECT count(*) FROM renwu"_s);
    QVERIFY(click(saveButton(d)));
    settle();
    QCOMPARE(run.messages, QStringList{u"该任务已不存在！"_s});
    QVERIFY(d->isVisible());
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu"_s), rows);
    QCOMPARE(taskRow(run, 1, u"id"_s), QStringLiteral("missing"));
}

void TaskdialogsTest::windows_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("unscheduled");
    QTest::addColumn<bool>("escape"); // else the close button
    QTest::newRow("add, Escape") << "add"
                                 << "添加任务"
                                 << "暂不安排" << true;
    QTest::newRow("add, close button") << "add"
                                       << "添加任务"
                                       << "暂不安排" << false;
    QTest::newRow("edit, Escape") << "edit"
                                  << "修改任务"
                                  << "暂时不安排" << true;
    QTest::newRow("edit, close button") << "edit"
                                        << "修改任务"
                                        << "暂时不安排" << false;
}

void TaskdialogsTest::windows()
{
    QFETCH(QString, dialog);
    QFETCH(QString, caption);
    QFETCH(QString, unscheduled);
    QFETCH(bool, escape);

    ProgramRun run;
    QVERIFY(logIn(run));
    QWidget* d = open(dialog);
    QVERIFY(d->isVisible());
    QCOMPARE(d->windowTitle(), caption);
    QCOMPARE(saveButton(d)->text(), caption);
    QVERIFY(saveButton(d)->isDefault());
    QCOMPARE(field<QCheckBox>(d, "Check2")->text(), unscheduled);
    QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // A fifth into the frame, moved back when that would reach past the screen.
    const QRect f = find<MDIfrm>(u"MDIfrm"_s)->frameGeometry();
    QVERIFY(d->frameGeometry().left() <= f.left() + f.width() / 5);
    QVERIFY(d->frameGeometry().top() <= f.top() + f.height() / 5);
    QCOMPARE(open(dialog, true), d); // asked again, the same dialog comes forward

    const QString before = taskRow(run, 1, u"*"_s);
    const qint64 newest = newestTask(run);
    box(d, "Text1")->setText(u"changed"_s);
    const QPointer<QWidget> closing(d);
    if (escape)
        QTest::keyClick(d, Qt::Key_Escape);
    else
        d->close();
    settle();
    QVERIFY(!closing);
    QCOMPARE(newestTask(run), newest);
    QCOMPARE(taskRow(run, 1, u"*"_s), before);
}

void TaskdialogsTest::addTakesTheTimeAndTheTodayViewsDay()
{
    ProgramRun run(QDateTime(kToday, QTime(14, 30)));
    QVERIFY(logIn(run));
    QWidget* d = open(u"add"_s);
    QVERIFY(!field<QCheckBox>(d, "Check2")->isChecked());
    QVERIFY(field<QCheckBox>(d, "Check1")->isChecked());
    QCOMPARE(field<QDateEdit>(d, "DTPicker1")->date(), find<Frmmain>(u"Frmmain"_s)->calendarDate());
    // The box keeps the exact time while the slider takes its nearest step (14:20).
    QCOMPARE(box(d, "Text2")->text(), QStringLiteral("14:30:00"));
    QCOMPARE(field<QSlider>(d, "Slider1")->value(), 86);

    // Without the today view the task has no day until the user picks one.
    Forms::unload(d);
    Forms::unload(QStringLiteral("Frmmain"));
    settle();
    d = open(u"add"_s);
    auto* unscheduledBox = field<QCheckBox>(d, "Check2");
    QVERIFY(unscheduledBox->isChecked());
    field<QDateEdit>(d, "DTPicker1")->setDate(kToday.addDays(3));
    QVERIFY(!unscheduledBox->isChecked());
}

void TaskdialogsTest::editWorksOnTheTaskSelectedToday()
{
    ProgramRun run;
    QVERIFY(logIn(run));
    auto* tasks = control<QTreeWidget>(u"Frmmain"_s, u"ListView1"_s);
    QVERIFY(tasks && tasks->topLevelItemCount() >= 2);
    QVERIFY(clickRow(tasks, 1));
    const qint64 chosen = Gui::rowId(tasks->topLevelItem(1));
    auto* d = qobject_cast<Dlogmodrw*>(open(u"edit"_s, true));
    QCOMPARE(d->taskId(), chosen);

    // Another row picked meanwhile does not redirect the save.
    QVERIFY(clickRow(tasks, 0));
    const qint64 other = Gui::rowId(tasks->topLevelItem(0));
    const QString otherTitle = taskRow(run, other, u"title"_s);
    box(d, "Text1")->setText(u"改过的任务"_s);
    QVERIFY(click(saveButton(d)));
    settle();
    QCOMPARE(taskRow(run, chosen, u"title"_s), QStringLiteral("改过的任务"));
    QCOMPARE(taskRow(run, other, u"title"_s), otherTitle);
    QVERIFY(!tasks->findItems(u"改过的任务"_s, Qt::MatchExactly, 1).isEmpty()); // the list was refilled
}

QTEST_MAIN(TaskdialogsTest)
#include "test_taskdialogs.moc"
