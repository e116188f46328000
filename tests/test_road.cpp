#include "shell/mdifrm.h"
#include "testsupport.h"

#include "gui/helpers.h"
#include "views/desktop/frmts.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

using namespace TestSupport;
using namespace Qt::StringLiterals;

// A task from its creation to its reminder, as a person goes through it.
class RoadTest : public QObject
{
    Q_OBJECT

private slots:
    void taskFromCreationToDone();
};

namespace {
QTreeWidgetItem* rowTitled(QTreeWidget* list, const QString& title)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(1) == title)
            return list->topLevelItem(i);
    }
    return nullptr;
}

QList<Frmts*> openPopups()
{
    QList<Frmts*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* popup = qobject_cast<Frmts*>(w); popup && popup->isVisible())
            found << popup;
    }
    return found;
}
} // namespace

void RoadTest::taskFromCreationToDone()
{
    const QString title = QStringLiteral("给王经理's 回电话");
    ProgramRun run(QDateTime(QDate(2009, 1, 31), QTime(8, 0)));
    run.answerNext(QMessageBox::No); // earlier open tasks stay where they are
    QVERIFY(run.login());
    auto* list = control<QTreeWidget>(u"Frmmain"_s, u"ListView1"_s);
    QVERIFY(list);
    QVERIFY(!rowTitled(list, title));

    // 1. "增加任务" opens the dialog above the frame.
    QVERIFY(click(control<QPushButton>(u"Frmmain"_s, u"Command1"_s)));
    QVERIFY(shown(u"dlogaddrw"_s));
    QVERIFY(find<QWidget>(u"dlogaddrw"_s)->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    // 2. Name, description and a time today; save.
    control<QLineEdit>(u"dlogaddrw"_s, u"Text1"_s)->setText(title);
    control<QPlainTextEdit>(u"dlogaddrw"_s, u"RichTextBox1"_s)->setPlainText(QStringLiteral("问清楚报价"));
    QVERIFY(!control<QCheckBox>(u"dlogaddrw"_s, u"Check2"_s)->isChecked()); // the day of the calendar
    control<QCheckBox>(u"dlogaddrw"_s, u"Check1"_s)->setChecked(false);
    control<QLineEdit>(u"dlogaddrw"_s, u"Text2"_s)->setText(QStringLiteral("9:15:00"));
    run.messages.clear();
    QVERIFY(click(control<QPushButton>(u"dlogaddrw"_s, u"OKButton"_s)));
    settle();
    QCOMPARE(run.messages, QStringList());
    QVERIFY(!shown(u"dlogaddrw"_s));

    QTreeWidgetItem* row = rowTitled(list, title);
    QVERIFY(row);
    QCOMPARE(row->text(2), QStringLiteral("9:15:00"));
    QCOMPARE(row->text(3), QStringLiteral("正在进行"));
    QVERIFY(find<MDIfrm>(u"MDIfrm"_s)->reminderClock().times().contains(QTime(9, 15)));

    // 3. The clock reaches the time: one popup with the task, and the sound.
    QTimer* clock = reminderTimer();
    run.setNow(QDateTime(QDate(2009, 1, 31), QTime(9, 14, 59)));
    QVERIFY(tick(clock)); // the sample's 9:00 reminder, caught up
    const QList<Frmts*> before = openPopups();
    run.setNow(QDateTime(QDate(2009, 1, 31), QTime(9, 15, 0)));
    QVERIFY(tick(clock));
    QCOMPARE(openPopups().size(), before.size() + 1);
    Frmts* popup = nullptr;
    for (Frmts* p : openPopups()) {
        if (!before.contains(p))
            popup = p;
    }
    QVERIFY(popup);
    QCOMPARE(popup->findChild<QLineEdit*>(u"Text1"_s)->text(), title);
    QCOMPARE(popup->findChild<QPlainTextEdit*>(u"RichTextBox1"_s)->toPlainText(), QStringLiteral("问清楚报价"));
    QVERIFY(run.playedSounds.size() >= 1);

    // 4. Done in the popup: the list is refilled and the row reads done, in green.
    QWidget* done = popup->findChild<QWidget*>(u"Image2"_s);
    QVERIFY(done);
    QTest::mouseClick(done, Qt::LeftButton);
    settle();
    QVERIFY(run.messages.contains(QStringLiteral("恭喜，继续努力！")));
    QVERIFY(!openPopups().contains(popup));
    row = rowTitled(list, title);
    QVERIFY(row);
    QCOMPARE(row->text(3), QStringLiteral("已经完成"));
    QCOMPARE(row->foreground(1).color(), StateColour::kDone);
    QCOMPARE(run.scalar(u"SELECT zhuangtai FROM renwu WHERE title = ?"_s, {title}).toInt(), 1);
}

QTEST_MAIN(RoadTest)
#include "test_road.moc"
