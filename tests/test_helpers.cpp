#include "gui/afterpaint.h"
#include "gui/formdialog.h"
#include "gui/forms.h"
#include "gui/helpers.h"

#include <QPointer>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>

using namespace Qt::StringLiterals;

// A shared dialog of the registry, for the tests below.
class ProbeDialog : public FormDialog
{
    Q_OBJECT
};

class HelpersTest : public QObject
{
    Q_OBJECT

private slots:
    void isNumberText_data();
    void isNumberText();
    void statusWordsAndColours_data();
    void statusWordsAndColours();
    void statusRendererTwiceChangesNothing();
    void statusRendererLeavesColumnZero();
    void keepOnTopKeepsPlaceAndVisibility();
    void dialogClosesAndUnloads_data();
    void dialogClosesAndUnloads();
    void closedDialogLoadsAfresh();
    void workAfterFirstPaint_data();
    void workAfterFirstPaint();
};

void HelpersTest::isNumberText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("integer") << "42" << true;
    QTest::newRow("decimal") << "12.5" << true;
    QTest::newRow("two points") << "1.2.3" << true;
    QTest::newRow("lone point") << "." << true;
    QTest::newRow("minus") << "-1" << false;
    QTest::newRow("plus") << "+1" << false;
    QTest::newRow("thousands comma") << "1,000" << false;
    QTest::newRow("leading blank") << " 1" << false;
    QTest::newRow("trailing blank") << "1 " << false;
    QTest::newRow("exponent") << "1e5" << false;
    QTest::newRow("full-width digit") << QStringLiteral("１２") << false;
    QTest::newRow("arabic-indic digit") << QStringLiteral("\u0661") << false;
}

void HelpersTest::isNumberText()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(IsNumberText(text), accepted);
}

void HelpersTest::statusWordsAndColours_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QColor>("colour"); // invalid: the default colour stays
    QTest::newRow("open") << "0" << QStringLiteral("正在进行") << QColor();
    QTest::newRow("done") << "1" << QStringLiteral("已经完成") << StateColour::kDone;
    QTest::newRow("abandoned") << "2" << QStringLiteral("已经放弃") << QColor(0, 0, 255);
    QTest::newRow("delayed") << "3" << QStringLiteral("时间拖延") << StateColour::kRed;
    QTest::newRow("code 4") << "4"
                            << "4" << QColor();
    QTest::newRow("negative") << "-1"
                              << "-1" << QColor();
    QTest::newRow("two digits") << "10"
                                << "10" << QColor();
    QTest::newRow("empty") << ""
                           << "" << QColor();
}

void HelpersTest::statusWordsAndColours()
{
    QFETCH(QString, code);
    QFETCH(QString, word);
    QFETCH(QColor, colour);

    QTreeWidget list;
    list.setColumnCount(4);
    auto* row = new QTreeWidgetItem(&list, {u"7"_s, u"8:30:00"_s, u"task"_s, code});
    const QBrush before = row->foreground(1);

    ShowStatusText(&list, 3);

    QCOMPARE(row->text(3), word);
    for (int c = 1; c < 4; ++c) {
        if (colour.isValid())
            QCOMPARE(row->foreground(c).color(), colour);
        else
            QCOMPARE(row->foreground(c), before);
    }
}

void HelpersTest::statusRendererTwiceChangesNothing()
{
    QTreeWidget list;
    list.setColumnCount(4);
    const QStringList codes = {u"1"_s, u"0"_s, u"2"_s, u"3"_s, u"9"_s};
    for (const QString& code : codes)
        new QTreeWidgetItem(&list, {u"1"_s, u""_s, u"t"_s, code});

    ShowStatusText(&list, 3);
    QStringList once;
    QList<QColor> coloursOnce;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        once << list.topLevelItem(i)->text(3);
        coloursOnce << list.topLevelItem(i)->foreground(2).color();
    }
    ShowStatusText(&list, 3);
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        QCOMPARE(list.topLevelItem(i)->text(3), once[i]);
        QCOMPARE(list.topLevelItem(i)->foreground(2).color(), coloursOnce[i]);
    }
    QCOMPARE(once, (QStringList{QStringLiteral("已经完成"), QStringLiteral("正在进行"), QStringLiteral("已经放弃"),
                                QStringLiteral("时间拖延"), u"9"_s}));
}

void HelpersTest::statusRendererLeavesColumnZero()
{
    QTreeWidget list;
    list.setColumnCount(3);
    auto* row = new QTreeWidgetItem(&list, {u"5"_s, u"1"_s, u"x"_s});
    const QBrush before = row->foreground(0);
    ShowStatusText(&list, 1);
    QCOMPARE(row->text(1), QStringLiteral("已经完成"));
    QCOMPARE(row->foreground(0), before);
    QCOMPARE(row->foreground(2).color(), StateColour::kDone);
    // A column outside the list is ignored rather than read out of range.
    ShowStatusText(&list, 7);
    ShowStatusText(nullptr, 1);
}

void HelpersTest::keepOnTopKeepsPlaceAndVisibility()
{
    QWidget shownWindow;
    shownWindow.setGeometry(120, 140, 300, 200);
    shownWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shownWindow));
    const QRect before = shownWindow.geometry();
    Class1::zhiqian(&shownWindow);
    QVERIFY(shownWindow.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(shownWindow.isVisible());
    QCOMPARE(shownWindow.geometry(), before);

    QWidget hiddenWindow;
    hiddenWindow.resize(200, 100);
    Class1::zhiqian(&hiddenWindow);
    QVERIFY(hiddenWindow.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!hiddenWindow.isVisible());
    QCOMPARE(hiddenWindow.size(), QSize(200, 100));
}

void HelpersTest::dialogClosesAndUnloads_data()
{
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("close button") << false;
    QTest::newRow("escape") << true;
}

void HelpersTest::dialogClosesAndUnloads()
{
    QFETCH(bool, byEscape);
    QPointer<FormDialog> dialog = new FormDialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    if (byEscape)
        QTest::keyClick(dialog, Qt::Key_Escape);
    else
        QVERIFY(dialog->close());
    QTRY_VERIFY(!dialog);
}

void HelpersTest::closedDialogLoadsAfresh()
{
    QPointer<ProbeDialog> first = Forms::show<ProbeDialog>();
    QCOMPARE(first->objectName(), QStringLiteral("ProbeDialog"));
    QVERIFY(Forms::isOpen(u"ProbeDialog"_s));
    QCOMPARE(Forms::show<ProbeDialog>(), first.data()); // shown already: brought forward

    QVERIFY(first->close());
    QVERIFY(!Forms::isOpen(u"ProbeDialog"_s));
    QVERIFY(!Forms::find(u"ProbeDialog"_s));
    // Even before the closed one is deleted, the next use loads a new dialog.
    ProbeDialog* second = Forms::instance<ProbeDialog>();
    QVERIFY(second != first.data());
    QTRY_VERIFY(!first);
    Forms::unload(second);
    QVERIFY(!Forms::find(u"ProbeDialog"_s));
}

// Start-up work waits for a window's first picture, yet never for ever: a window that is never
// painted (hidden, on another desktop) gets its work after the wait, and a window that is gone
// gets none.
void HelpersTest::workAfterFirstPaint_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("runs");
    QTest::newRow("shown") << u"shown"_s << 1;
    QTest::newRow("never painted") << u"hidden"_s << 1;
    QTest::newRow("closed before") << u"deleted"_s << 0;
}

void HelpersTest::workAfterFirstPaint()
{
    QFETCH(QString, window);
    QFETCH(int, runs);
    auto* widget = new QWidget;
    int ran = 0;
    // A shown window's work comes with its paint, long before the latest time.
    Gui::afterFirstPaint(
        widget, [&] { ++ran; }, window == "shown"_L1 ? 5000 : 100);
    if (window == "shown"_L1) {
        widget->show();
        QVERIFY(QTest::qWaitFor([&] { return ran > 0; }, 3000));
    } else if (window == "deleted"_L1) {
        delete widget;
        widget = nullptr;
    }
    QTest::qWait(300);
    QCOMPARE(ran, runs);
    delete widget;
}

QTEST_MAIN(HelpersTest)
#include "test_helpers.moc"
