#include "testsupport.h"

#include "data/finance.h"
#include "data/money.h"
#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/views.h"
#include "shell/mdifrm.h"
#include "views/finance/dlogszlb.h"
#include "views/finance/frmcw.h"
#include "views/finance/piechart.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QTabWidget>
#include <QTreeWidget>
#include <QXmlStreamReader>
#include <minizip/unzip.h>

using namespace TestSupport;

namespace {

const QString kNotNumber = QStringLiteral("金额一栏必须输入数字或小数点！");

template <class T = QTreeWidget>
T* ctl(const QString& name)
{
    return control<T>(QStringLiteral("Frmcw"), name);
}

template <class T = QTreeWidget>
T* dlg(const QString& window, const QString& name)
{
    return control<T>(window, name);
}

[[nodiscard]] bool press(const QString& name)
{
    return click(ctl<QPushButton>(name));
}

// Logs in and shows the finance view; the messages of the login are forgotten.
void openFinance(ProgramRun& run)
{
    QVERIFY(run.login());
    Forms::find<MDIfrm>()->showView(Views::kFinance);
    settle();
    QVERIFY(ctl<QTabWidget>(QStringLiteral("SSTab1")));
    run.messages.clear();
}

qint64 balance(const ProgramRun& run, const QString& account)
{
    return run.scalar(QStringLiteral("SELECT moneys FROM zhanghao WHERE zhname = ?"), {account}).toLongLong();
}

int rowOf(QTreeWidget* list, qint64 id)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0).toLongLong() == id)
            return i;
    }
    return -1;
}

// Clicks a row of one of the view's lists, showing its tab first as a user would.
void pickRow(QTreeWidget* list, int row)
{
    auto* tabs = ctl<QTabWidget>(QStringLiteral("SSTab1"));
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->widget(i)->isAncestorOf(list))
            tabs->setCurrentIndex(i);
    }
    QVERIFY(clickRow(list, row));
}

void choose(QComboBox* combo, const QString& text)
{
    const int i = combo->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    combo->setCurrentIndex(i);
}

// Fills the income (2) or expense (3) tab's fields.
void fillRecord(int tab, const QString& name, const QString& amount, const QString& account,
                const QString& category = QString(), const QDate& day = QDate(2009, 1, 31))
{
    const bool income = tab == 2;
    ctl<QLineEdit>(income ? "Text5" : "Text7")->setText(name);
    ctl<QLineEdit>(income ? "Text6" : "Text8")->setText(amount);
    choose(ctl<QComboBox>(income ? "Combo2" : "Combo4"), account);
    if (!category.isEmpty())
        choose(ctl<QComboBox>(income ? "Combo3" : "Combo5"), category);
    ctl<QDateEdit>(income ? "DTPicker2" : "DTPicker3")->setDate(day);
}

// Sum of the balances and of what the records did to each account, for the balance checks.
qint64 recordEffect(const ProgramRun& run, const QString& account)
{
    return run
        .scalar(QStringLiteral("SELECT coalesce(sum(CASE shouzhi WHEN 1 THEN -moneys ELSE moneys END), 0)"
                               " FROM shouzhi WHERE zhanghao = ?"),
                {account})
        .toLongLong();
}

// The texts of the cells of the first sheet of an .xlsx file, by cell reference ("A1").
QMap<QString, QString> sheetCells(const QString& path, QSet<QString>* textCells = nullptr)
{
    QMap<QString, QString> cells;
    unzFile zip = unzOpen(QFile::encodeName(path).constData());
    if (!zip)
        return cells;
    auto read = [&](const char* name) {
        QByteArray data;
        if (unzLocateFile(zip, name, 0) != UNZ_OK || unzOpenCurrentFile(zip) != UNZ_OK)
            return data;
        char buffer[8192];
        int n = 0;
        while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0)
            data.append(buffer, n);
        unzCloseCurrentFile(zip);
        return data;
    };
    QStringList shared;
    QXmlStreamReader strings(read("xl/sharedStrings.xml"));
    while (strings.readNextStartElement() || !strings.atEnd()) {
        if (strings.isStartElement() && strings.name() == QLatin1String("t"))
            shared << strings.readElementText();
        else
            strings.readNext();
    }
    QXmlStreamReader sheet(read("xl/worksheets/sheet1.xml"));
    QString ref;
    bool isShared = false;
    while (!sheet.atEnd()) {
        sheet.readNext();
        if (!sheet.isStartElement())
            continue;
        if (sheet.name() == QLatin1String("c")) {
            ref = sheet.attributes().value(QLatin1String("r")).toString();
            isShared = sheet.attributes().value(QLatin1String("t")) == QLatin1String("s");
        } else if (sheet.name() == QLatin1String("v")) {
            const QString v = sheet.readElementText();
            cells.insert(ref, isShared ? shared.value(v.toInt()) : v);
            if (isShared && textCells)
                textCells->insert(ref);
        }
    }
    unzClose(zip);
    return cells;
}

} // namespace

class FinanceTest : public QObject
{
    Q_OBJECT

private slots:
    void moneyParse_data();
    void moneyParse();
    void moneyFormat_data();
    void moneyFormat();
    void tabsAndLoad();
    void changeIncomeMovesBothAccounts();
    void deleteGivesBackTheStoredAmount_data();
    void deleteGivesBackTheStoredAmount();
    void thirtyDayWindow();
    void amountChecks_data();
    void amountChecks();
    void noSelectionSaysWhy_data();
    void noSelectionSaysWhy();
    void recordAndBalancesCommitWhole();
    void accounts();
    void report_data();
    void report();
    void renamedCategoryKeepsItsRecords();
    void categoryDialogKeepsItsKind();
    void accountTypes();
    void transfer_data();
    void transfer();
    void transferLegsCommitWhole();
    void transferListIsThisMonth();
    void exportReadBack();
    void exportFiles_data();
    void exportFiles();
    void fieldsNeverWriteBackStaleValues_data();
    void fieldsNeverWriteBackStaleValues();
    void helpLink();
    void randomOperationsKeepBalances();
};

void FinanceTest::moneyParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("signAllowed");
    QTest::addColumn<qint64>("expected"); // -1: refused
    QTest::newRow("whole") << "100" << false << qint64(1000000);
    QTest::newRow("fraction") << "0.8" << false << qint64(8000);
    QTest::newRow("four places") << "100.0001" << false << qint64(1000001);
    QTest::newRow("trailing zeros") << "1.50000" << false << qint64(15000);
    QTest::newRow("point first") << ".5" << false << qint64(5000);
    QTest::newRow("point last") << "7." << false << qint64(70000);
    QTest::newRow("leading zeros") << "007" << false << qint64(70000);
    QTest::newRow("empty") << "" << false << qint64(-1);
    QTest::newRow("point alone") << "." << false << qint64(-1);
    QTest::newRow("two points") << "1.2.3" << false << qint64(-1);
    QTest::newRow("separator") << "1,000" << false << qint64(-1);
    QTest::newRow("five places") << "0.12345" << false << qint64(-1);
    QTest::newRow("minus refused") << "-5" << false << qint64(-1);
    QTest::newRow("minus allowed") << "-5" << true << qint64(-50000);
    QTest::newRow("minus alone") << "-" << true << qint64(-1);
    QTest::newRow("too large") << "1000000000000" << false << qint64(-1);
    QTest::newRow("largest") << "999999999999.9999" << false << Money::kMaximum;
    QTest::newRow("full width digit") << "１" << false << qint64(-1);
}

void FinanceTest::moneyParse()
{
    QFETCH(QString, text);
    QFETCH(bool, signAllowed);
    QFETCH(qint64, expected);
    const auto parsed = Money::parse(text, signAllowed ? Money::Sign::Any : Money::Sign::Positive);
    if (expected == -1)
        QVERIFY(!parsed);
    else
        QCOMPARE(parsed.value_or(-1), expected);
}

void FinanceTest::moneyFormat_data()
{
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0";
    QTest::newRow("fraction") << qint64(8000) << "0.8";
    QTest::newRow("small") << qint64(1) << "0.0001";
    QTest::newRow("whole") << qint64(1000000) << "100";
    QTest::newRow("negative") << qint64(-1000000) << "-100";
    QTest::newRow("negative fraction") << qint64(-500) << "-0.05";
    QTest::newRow("lowest") << std::numeric_limits<qint64>::min() << "-922337203685477.5808";
}

void FinanceTest::moneyFormat()
{
    QFETCH(qint64, amount);
    QFETCH(QString, text);
    QCOMPARE(Money::format(amount), text);
    if (amount != std::numeric_limits<qint64>::min())
        QCOMPARE(Money::parse(text, Money::Sign::Any).value_or(-1), amount);
}

void FinanceTest::tabsAndLoad()
{
    ProgramRun run;
    openFinance(run);
    auto* tabs = ctl<QTabWidget>("SSTab1");
    QCOMPARE(tabs->count(), 4);
    const QStringList captions{"报表查询", "帐户管理", "收入管理", "支出管理"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(tabs->tabText(i), captions[i]);
    // Accounts with balances shown as plain decimals; account types and both account choices.
    QTreeWidget* accounts = ctl("ListView1");
    QCOMPARE(accounts->topLevelItemCount(), 3);
    QCOMPARE(accounts->topLevelItem(0)->text(1), QStringLiteral("现金钱包"));
    QCOMPARE(accounts->topLevelItem(0)->text(3), QStringLiteral("226.7"));
    QCOMPARE(accounts->topLevelItem(1)->text(3), QStringLiteral("6603.07"));
    QCOMPARE(ctl<QComboBox>("Combo1")->count(), 4);
    QCOMPARE(ctl<QComboBox>("Combo2")->count(), 3);
    QCOMPARE(ctl<QComboBox>("Combo4")->count(), 3);
    QCOMPARE(ctl<QComboBox>("Combo3")->count(), 5);
    QCOMPARE(ctl<QComboBox>("Combo5")->count(), 9);
    // The report of this month with every category ticked.
    QCOMPARE(ctl<QDateEdit>("DTPicker4")->date(), QDate(2009, 1, 1));
    QCOMPARE(ctl<QDateEdit>("DTPicker5")->date(), QDate(2009, 1, 31));
    QCOMPARE(ctl("ListView6")->topLevelItemCount(), 5);
    QCOMPARE(ctl("ListView7")->topLevelItemCount(), 9);
    const qint64 income = run.scalar("SELECT sum(moneys) FROM shouzhi WHERE shouzhi = 0 AND addtime >= '2009-01-01'"
                                     " AND addtime <= '2009-01-31'")
                              .toLongLong();
    QCOMPARE(ctl<QGroupBox>("Frame4")->title(), QStringLiteral("收入合计：%1元").arg(Money::format(income)));
    // Selecting an account shows its fields.
    pickRow(accounts, 1);
    QCOMPARE(ctl<QLineEdit>("Text1")->text(), QStringLiteral("工资卡"));
    QCOMPARE(ctl<QLineEdit>("Text4")->text(), QStringLiteral("6603.07"));
    QCOMPARE(ctl<QComboBox>("Combo1")->currentText(), QStringLiteral("储蓄卡"));
    QCOMPARE(ctl<QLineEdit>("Text2")->text(), QStringLiteral("6222 0000 1234 5678"));
    QVERIFY(run.messages.isEmpty());
}

void FinanceTest::changeIncomeMovesBothAccounts()
{
    ProgramRun run;
    openFinance(run);
    const qint64 a0 = balance(run, "现金钱包");
    const qint64 b0 = balance(run, "工资卡");
    QTreeWidget* list = ctl("ListView2");
    const int before = list->topLevelItemCount();
    fillRecord(2, "稿费", "100", "现金钱包", "兼职收入", QDate(2009, 1, 20));
    QVERIFY(press("Command4"));
    QCOMPARE(list->topLevelItemCount(), before + 1);
    QCOMPARE(balance(run, "现金钱包"), a0 + 1000000);
    const qint64 id = run.scalar("SELECT max(id) FROM shouzhi").toLongLong();
    // The new row stands among the rows by its day.
    const int row = rowOf(list, id);
    QVERIFY(row >= 0);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QDate d = QDate::fromString(list->topLevelItem(i)->text(5), "yyyy-M-d");
        QVERIFY(i < row ? d >= QDate(2009, 1, 20) : i == row || d <= QDate(2009, 1, 20));
    }
    // Selected, its amount and account changed: the old account loses 100, the new gains 80.
    pickRow(list, row);
    ctl<QLineEdit>("Text6")->setText("80");
    choose(ctl<QComboBox>("Combo2"), "工资卡");
    QVERIFY(press("Command5"));
    QCOMPARE(balance(run, "现金钱包"), a0);
    QCOMPARE(balance(run, "工资卡"), b0 + 800000);
    QCOMPARE(list->topLevelItem(row)->text(2), QStringLiteral("工资卡"));
    QCOMPARE(list->topLevelItem(row)->text(4), QStringLiteral("80"));
    QCOMPARE(run.scalar("SELECT moneys FROM shouzhi WHERE id = ?", {id}).toLongLong(), 800000);
    // The account list shows the stored balances at once.
    QCOMPARE(ctl("ListView1")->topLevelItem(1)->text(3), Money::format(b0 + 800000));
    QVERIFY(run.messages.isEmpty());
}

void FinanceTest::deleteGivesBackTheStoredAmount_data()
{
    QTest::addColumn<int>("tab");
    QTest::newRow("expense") << 3;
    QTest::newRow("income") << 2;
}

void FinanceTest::deleteGivesBackTheStoredAmount()
{
    QFETCH(int, tab);
    ProgramRun run;
    openFinance(run);
    const bool income = tab == 2;
    const qint64 a0 = balance(run, "工资卡");
    fillRecord(tab, "测试", "50", "工资卡");
    QVERIFY(press(income ? "Command4" : "Command11"));
    QCOMPARE(balance(run, "工资卡"), a0 + (income ? 500000 : -500000));
    QTreeWidget* list = ctl(income ? "ListView2" : "ListView3");
    const qint64 id = run.scalar("SELECT max(id) FROM shouzhi").toLongLong();
    pickRow(list, rowOf(list, id));
    // Whatever the amount field holds now, the stored 50 goes back.
    ctl<QLineEdit>(income ? "Text6" : "Text8")->setText("7");
    QVERIFY(press(income ? "Command6" : "Command13"));
    QCOMPARE(balance(run, "工资卡"), a0);
    QCOMPARE(rowOf(list, id), -1);
    QCOMPARE(run.scalar("SELECT count(*) FROM shouzhi WHERE id = ?", {id}).toInt(), 0);
}

void FinanceTest::thirtyDayWindow()
{
    ProgramRun run;
    QVERIFY(run.start());
    // 30 days before 2009-01-31, and the day after.
    const QString insert = QStringLiteral("INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys, addtime)"
                                          " VALUES (?, '边界', '', '工资卡', 10000, ?)");
    run.exec(insert, {0, "2009-01-01"});
    const qint64 income30 = run.scalar("SELECT max(id) FROM shouzhi").toLongLong();
    run.exec(insert, {1, "2009-01-01"});
    const qint64 expense30 = run.scalar("SELECT max(id) FROM shouzhi").toLongLong();
    run.exec(insert, {1, "2009-01-02"});
    const qint64 expense29 = run.scalar("SELECT max(id) FROM shouzhi").toLongLong();
    run.exec(insert, {0, "2008-12-31"});
    const qint64 income31 = run.scalar("SELECT max(id) FROM shouzhi").toLongLong();
    openFinance(run);
    QVERIFY(rowOf(ctl("ListView2"), income30) >= 0);
    QCOMPARE(rowOf(ctl("ListView2"), income31), -1);
    QCOMPARE(rowOf(ctl("ListView3"), expense30), -1);
    QVERIFY(rowOf(ctl("ListView3"), expense29) >= 0);
}

void FinanceTest::amountChecks_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("message");
    for (int tab : {2, 3}) {
        for (bool modify : {false, true}) {
            const QByteArray prefix = QByteArray(tab == 2 ? "income " : "expense ") + (modify ? "modify " : "add ");
            QTest::newRow(prefix + "no name") << tab << modify << ""
                                              << "5"
                                              << "请输入收入原因！";
            QTest::newRow(prefix + "no amount") << tab << modify << "x"
                                                << ""
                                                << "请输入收入金额！";
            QTest::newRow(prefix + "minus") << tab << modify << "x"
                                            << "-5" << kNotNumber;
            QTest::newRow(prefix + "two points") << tab << modify << "x"
                                                 << "1.2.3" << kNotNumber;
            QTest::newRow(prefix + "point") << tab << modify << "x"
                                            << "." << kNotNumber;
            QTest::newRow(prefix + "separator") << tab << modify << "x"
                                                << "1,000" << kNotNumber;
        }
    }
}

void FinanceTest::amountChecks()
{
    QFETCH(int, tab);
    QFETCH(bool, modify);
    QFETCH(QString, name);
    QFETCH(QString, amount);
    QFETCH(QString, message);
    ProgramRun run;
    openFinance(run);
    const bool income = tab == 2;
    QTreeWidget* list = ctl(income ? "ListView2" : "ListView3");
    if (modify)
        pickRow(list, 0);
    const QString before = run.scalar("SELECT group_concat(moneys || zhname) FROM zhanghao").toString();
    const QString records = run.scalar("SELECT group_concat(id || yuanyin || moneys) FROM shouzhi").toString();
    fillRecord(tab, name, amount, "现金钱包");
    QVERIFY(press(income ? (modify ? "Command5" : "Command4") : (modify ? "Command12" : "Command11")));
    QCOMPARE(run.messages, QStringList{message});
    QCOMPARE(run.scalar("SELECT group_concat(moneys || zhname) FROM zhanghao").toString(), before);
    QCOMPARE(run.scalar("SELECT group_concat(id || yuanyin || moneys) FROM shouzhi").toString(), records);
}

void FinanceTest::noSelectionSaysWhy_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("modify account") << "Command2";
    QTest::newRow("delete account") << "Command1";
    QTest::newRow("modify income") << "Command5";
    QTest::newRow("delete income") << "Command6";
    QTest::newRow("modify expense") << "Command12";
    QTest::newRow("delete expense") << "Command13";
}

void FinanceTest::noSelectionSaysWhy()
{
    QFETCH(QString, button);
    ProgramRun run;
    openFinance(run);
    fillRecord(2, "x", "5", "现金钱包");
    fillRecord(3, "x", "5", "现金钱包");
    ctl<QLineEdit>("Text1")->setText("新帐户");
    ctl<QLineEdit>("Text4")->setText("5");
    const QString before = run.scalar("SELECT group_concat(moneys || zhname) FROM zhanghao").toString();
    const int records = run.scalar("SELECT count(*) FROM shouzhi").toInt();
    QVERIFY(press(button));
    QCOMPARE(run.messages.size(), 1);
    QVERIFY2(run.messages.first().contains(QStringLiteral("选择")), qPrintable(run.messages.first()));
    QCOMPARE(run.scalar("SELECT group_concat(moneys || zhname) FROM zhanghao").toString(), before);
    QCOMPARE(run.scalar("SELECT count(*) FROM shouzhi").toInt(), records);
}

void FinanceTest::recordAndBalancesCommitWhole()
{
    ProgramRun run;
    openFinance(run);
    const qint64 a0 = balance(run, "现金钱包");
    const qint64 b0 = balance(run, "工资卡");
    fillRecord(2, "稿费", "100", "现金钱包", "兼职收入");
    QVERIFY(press("Command4"));
    const qint64 id = run.scalar("SELECT max(id) FROM shouzhi").toLongLong();
    // The new account's balance cannot be written: the whole change is refused.
    run.exec("CREATE TRIGGER refuse BEFORE UPDATE ON zhanghao WHEN NEW.zhname = '工资卡'"
             " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    QTreeWidget* list = ctl("ListView2");
    pickRow(list, rowOf(list, id));
    ctl<QLineEdit>("Text6")->setText("80");
    choose(ctl<QComboBox>("Combo2"), "工资卡");
    QVERIFY(press("Command5"));
    QCOMPARE(run.messages.size(), 1);
    QCOMPARE(balance(run, "现金钱包"), a0 + 1000000);
    QCOMPARE(balance(run, "工资卡"), b0);
    QCOMPARE(run.scalar("SELECT moneys || zhanghao FROM shouzhi WHERE id = ?", {id}).toString(),
             QStringLiteral("1000000现金钱包"));
    QCOMPARE(list->topLevelItem(rowOf(list, id))->text(4), QStringLiteral("100"));
    // A deletion whose balance cannot be given back keeps the record.
    run.exec("DROP TRIGGER refuse");
    run.exec("CREATE TRIGGER refuse BEFORE UPDATE ON zhanghao BEGIN SELECT RAISE(ABORT, 'refused'); END");
    pickRow(list, rowOf(list, id));
    QVERIFY(press("Command6"));
    QCOMPARE(run.messages.size(), 2);
    QCOMPARE(run.scalar("SELECT count(*) FROM shouzhi WHERE id = ?", {id}).toInt(), 1);
    QVERIFY(rowOf(list, id) >= 0);
    QCOMPARE(balance(run, "现金钱包"), a0 + 1000000);
}

void FinanceTest::accounts()
{
    ProgramRun run;
    openFinance(run);
    QTreeWidget* list = ctl("ListView1");
    // A new account: its opening amount is its balance.
    ctl<QLineEdit>("Text1")->setText("信用卡'A");
    ctl<QLineEdit>("Text4")->setText("-12.5");
    choose(ctl<QComboBox>("Combo1"), "信用卡");
    ctl<QLineEdit>("Text2")->setText("4000");
    QVERIFY(press("Command3"));
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(list->topLevelItemCount(), 4);
    QCOMPARE(balance(run, "信用卡'A"), -125000);
    QCOMPARE(list->topLevelItem(3)->text(3), QStringLiteral("-12.5"));
    QVERIFY(ctl<QComboBox>("Combo2")->findText("信用卡'A") >= 0);
    QVERIFY(ctl<QComboBox>("Combo4")->findText("信用卡'A") >= 0);
    // A second account of a name already used is refused.
    ctl<QLineEdit>("Text1")->setText("工资卡");
    QVERIFY(press("Command3"));
    QCOMPARE(run.messages.size(), 1);
    QVERIFY(run.messages.first().contains(QStringLiteral("工资卡")));
    QCOMPARE(run.scalar("SELECT count(*) FROM zhanghao WHERE zhname = '工资卡'").toInt(), 1);
    // Renaming carries the account's records along; renaming onto another name is refused.
    const int records = run.scalar("SELECT count(*) FROM shouzhi WHERE zhanghao = '工资卡'").toInt();
    QVERIFY(records > 0);
    pickRow(list, 1);
    ctl<QLineEdit>("Text1")->setText("现金钱包");
    QVERIFY(press("Command2"));
    QCOMPARE(run.messages.size(), 2);
    ctl<QLineEdit>("Text1")->setText("招行卡");
    QVERIFY(press("Command2"));
    QCOMPARE(run.messages.size(), 2);
    QCOMPARE(run.scalar("SELECT count(*) FROM shouzhi WHERE zhanghao = '招行卡'").toInt(), records);
    QCOMPARE(run.scalar("SELECT count(*) FROM shouzhi WHERE zhanghao = '工资卡'").toInt(), 0);
    QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("招行卡"));
    QVERIFY(ctl<QComboBox>("Combo2")->findText("工资卡") < 0);
    for (int i = 0; i < ctl("ListView3")->topLevelItemCount(); ++i)
        QVERIFY(ctl("ListView3")->topLevelItem(i)->text(2) != QStringLiteral("工资卡"));
    // Deleting asks first; Cancel keeps it.
    pickRow(list, 3);
    run.answerNext(QMessageBox::Cancel);
    QVERIFY(press("Command1"));
    QCOMPARE(run.messageButtons.last(), QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(list->topLevelItemCount(), 4);
    pickRow(list, 3);
    QVERIFY(press("Command1"));
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(run.scalar("SELECT count(*) FROM zhanghao").toInt(), 3);
    QVERIFY(ctl<QComboBox>("Combo2")->findText("信用卡'A") < 0);
}

void FinanceTest::report_data()
{
    QTest::addColumn<QStringList>("income");  // amounts of income records in the range
    QTest::addColumn<QStringList>("expense"); // amounts of expense records in the range
    QTest::addColumn<bool>("untickIncome");
    QTest::addColumn<QString>("incomeTotal");
    QTest::addColumn<QString>("expenseTotal");
    QTest::addColumn<QString>("balance");
    QTest::newRow("0.4 and 0.4") << QStringList{"0.4", "0.4"} << QStringList{"0.4", "0.4"} << false << "0.8"
                                 << "0.8"
                                 << "0";
    QTest::newRow("0.1 and 0.2") << QStringList{"0.1", "0.2"} << QStringList{"0.2"} << false << "0.3"
                                 << "0.2"
                                 << "0.1";
    QTest::newRow("income unticked") << QStringList{"5"} << QStringList{"1.25", "2"} << true << "0"
                                     << "3.25"
                                     << "-3.25";
}

void FinanceTest::report()
{
    QFETCH(QStringList, income);
    QFETCH(QStringList, expense);
    QFETCH(bool, untickIncome);
    QFETCH(QString, incomeTotal);
    QFETCH(QString, expenseTotal);
    QFETCH(QString, balance);
    ProgramRun run;
    QVERIFY(run.start());
    // A range of its own, both ends included; records outside it and transfers do not count.
    const QString insert = QStringLiteral("INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys, addtime)"
                                          " VALUES (?, ?, ?, '工资卡', ?, ?)");
    const QStringList days{"2007-03-01", "2007-03-31"};
    for (int i = 0; i < income.size(); ++i)
        run.exec(insert, {0, "收" + QString::number(i), "奖金", *Money::parse(income[i]), days[i % 2]});
    for (int i = 0; i < expense.size(); ++i)
        run.exec(insert, {1, "支" + QString::number(i), "餐饮", *Money::parse(expense[i]), days[i % 2]});
    run.exec(insert, {0, "前", "奖金", 10000, "2007-02-28"});
    run.exec(insert, {1, "后", "餐饮", 10000, "2007-04-01"});
    run.exec(insert, {3, "转帐收入", "", 10000, "2007-03-15"});
    openFinance(run);
    ctl<QDateEdit>("DTPicker4")->setDate(QDate(2007, 3, 1));
    ctl<QDateEdit>("DTPicker5")->setDate(QDate(2007, 3, 31));
    if (untickIncome) {
        QTreeWidget* checks = ctl("ListView6");
        for (int i = 0; i < checks->topLevelItemCount(); ++i)
            checks->topLevelItem(i)->setCheckState(1, Qt::Unchecked);
    }
    QVERIFY(press("Command10"));
    QCOMPARE(ctl("ListView4")->topLevelItemCount(), untickIncome ? 0 : income.size());
    QCOMPARE(ctl("ListView5")->topLevelItemCount(), expense.size());
    QCOMPARE(ctl<QGroupBox>("Frame4")->title(), "收入合计：" + incomeTotal + "元");
    QCOMPARE(ctl<QGroupBox>("Frame5")->title(), "支出合计：" + expenseTotal + "元");
    QCOMPARE(ctl<QLabel>("Label19")->text(), "收支总计：" + balance + "元");
    // Newest first; the category, amount, reason and day of each row.
    QTreeWidgetItem* first = ctl("ListView5")->topLevelItem(0);
    QCOMPARE(first->text(1), QStringLiteral("餐饮"));
    QCOMPARE(first->text(4), expense.size() > 1 ? QStringLiteral("2007-3-31") : QStringLiteral("2007-3-1"));
    // The chart gives the category's exact sum.
    QCOMPARE(ctl<PieChart>("Chart2")->legend(), QStringList{"餐饮 " + expenseTotal + " (100.0%)"});
    QVERIFY(run.messages.isEmpty());
}

void FinanceTest::renamedCategoryKeepsItsRecords()
{
    ProgramRun run;
    openFinance(run);
    ctl<QDateEdit>("DTPicker4")->setDate(QDate(2008, 1, 1));
    QVERIFY(press("Command10"));
    const int bonuses = run.scalar("SELECT count(*) FROM shouzhi WHERE leixing = '奖金'").toInt();
    QVERIFY(bonuses > 0);
    const int rows = ctl("ListView4")->topLevelItemCount();
    ctl<QTabWidget>("SSTab1")->setCurrentIndex(Frmcw::IncomeTab);
    QVERIFY(press("Command8"));
    QVERIFY(shown("Dlogszlb"));
    QTreeWidget* list = dlg("Dlogszlb", "ListView1");
    QVERIFY(clickRow(list, 1));
    QCOMPARE(dlg<QLineEdit>("Dlogszlb", "Text1")->text(), QStringLiteral("奖金"));
    dlg<QLineEdit>("Dlogszlb", "Text1")->setText("年终奖金");
    QVERIFY(click(dlg<QPushButton>("Dlogszlb", "Command2")));
    QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("年终奖金"));
    QCOMPARE(run.scalar("SELECT count(*) FROM shouzhi WHERE leixing = '奖金'").toInt(), 0);
    QCOMPARE(run.scalar("SELECT count(*) FROM shouzhi WHERE leixing = '年终奖金'").toInt(), bonuses);
    // The report's check list and the category choice follow; the records go with the name.
    QCOMPARE(ctl("ListView6")->topLevelItem(1)->text(1), QStringLiteral("年终奖金"));
    QVERIFY(ctl<QComboBox>("Combo3")->findText("年终奖金") >= 0);
    ctl<QDateEdit>("DTPicker4")->setDate(QDate(2008, 1, 1));
    QVERIFY(press("Command10"));
    QCOMPARE(ctl("ListView4")->topLevelItemCount(), rows);
    QVERIFY(run.messages.isEmpty());
}

void FinanceTest::categoryDialogKeepsItsKind()
{
    ProgramRun run;
    openFinance(run);
    auto* tabs = ctl<QTabWidget>("SSTab1");
    tabs->setCurrentIndex(Frmcw::ExpenseTab);
    QVERIFY(press("Command9"));
    QWidget* dialog = find("Dlogszlb");
    QCOMPARE(dialog->windowTitle(), QStringLiteral("支出类别管理"));
    QTreeWidget* list = dlg("Dlogszlb", "ListView1");
    QCOMPARE(list->topLevelItemCount(), 9);
    // Without a row: rename and delete say so and change nothing.
    QVERIFY(click(dlg<QPushButton>("Dlogszlb", "Command2")));
    QVERIFY(click(dlg<QPushButton>("Dlogszlb", "Command3")));
    QCOMPARE(run.messages, (QStringList{"请选择要修改的类别！", "请选择要删除的类别！"}));
    QVERIFY(click(dlg<QPushButton>("Dlogszlb", "Command1")));
    QCOMPARE(run.messages.last(), QStringLiteral("请输入类别名称！"));
    // The view shows another tab meanwhile: an add is still an expense category.
    tabs->setCurrentIndex(Frmcw::ReportTab);
    ctl<QTreeWidget>("ListView7")->topLevelItem(0)->setCheckState(1, Qt::Unchecked);
    dlg<QLineEdit>("Dlogszlb", "Text1")->setText("宠物");
    QVERIFY(click(dlg<QPushButton>("Dlogszlb", "Command1")));
    QCOMPARE(run.scalar("SELECT shouzhi FROM shouzhitype WHERE typename = '宠物'").toInt(), 1);
    QCOMPARE(list->topLevelItemCount(), 10);
    QVERIFY(dlg<QLineEdit>("Dlogszlb", "Text1")->text().isEmpty());
    // Every category ticked again in the report, the new one too; the choice has it.
    QTreeWidget* checks = ctl("ListView7");
    QCOMPARE(checks->topLevelItemCount(), 10);
    for (int i = 0; i < checks->topLevelItemCount(); ++i)
        QCOMPARE(checks->topLevelItem(i)->checkState(1), Qt::Checked);
    QVERIFY(ctl<QComboBox>("Combo5")->findText("宠物") >= 0);
    // Deleting the selected row; records keep the name.
    QVERIFY(clickRow(list, 0));
    QVERIFY(click(dlg<QPushButton>("Dlogszlb", "Command3")));
    QCOMPARE(run.scalar("SELECT count(*) FROM shouzhitype WHERE typename = '餐饮'").toInt(), 0);
    QVERIFY(run.scalar("SELECT count(*) FROM shouzhi WHERE leixing = '餐饮'").toInt() > 0);
    QCOMPARE(ctl<QComboBox>("Combo5")->findText("餐饮"), -1);
    // Opened for income it is the income dialog.
    tabs->setCurrentIndex(Frmcw::IncomeTab);
    QVERIFY(press("Command8"));
    settle();
    QCOMPARE(find("Dlogszlb")->windowTitle(), QStringLiteral("收入类别管理"));
    QCOMPARE(dlg("Dlogszlb", "ListView1")->topLevelItemCount(), 5);
}

void FinanceTest::accountTypes()
{
    ProgramRun run;
    openFinance(run);
    run.exec("UPDATE zhanghao SET leixing = '储蓄卡' WHERE id = 3");
    QVERIFY(press("Command7"));
    QVERIFY(shown("Dlogzhlb"));
    QCOMPARE(find("Dlogzhlb")->windowTitle(), QStringLiteral("管理帐号类别"));
    QTreeWidget* list = dlg("Dlogzhlb", "ListView1");
    QCOMPARE(list->topLevelItemCount(), 4);
    QVERIFY(click(dlg<QPushButton>("Dlogzhlb", "Command2")));
    QVERIFY(click(dlg<QPushButton>("Dlogzhlb", "Command3")));
    QCOMPARE(run.messages, (QStringList{"请选择要修改的类别！", "请选择要删除的类别！"}));
    // Renaming a type renames it in every account of the type; the key stays.
    QVERIFY(clickRow(list, 1));
    dlg<QLineEdit>("Dlogzhlb", "Text1")->setText("活期");
    QVERIFY(click(dlg<QPushButton>("Dlogzhlb", "Command2")));
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("2"));
    QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("活期"));
    QCOMPARE(run.scalar("SELECT count(*) FROM zhanghao WHERE leixing = '活期'").toInt(), 2);
    QCOMPARE(run.scalar("SELECT count(*) FROM zhanghao WHERE leixing = '储蓄卡'").toInt(), 0);
    QCOMPARE(ctl("ListView1")->topLevelItem(1)->text(2), QStringLiteral("活期"));
    auto* types = ctl<QComboBox>("Combo1");
    QVERIFY(types->findText("活期") >= 0);
    QCOMPARE(types->findText("储蓄卡"), -1);
    // Deleting removes exactly that type from the choice; accounts keep the name.
    QVERIFY(clickRow(list, 2));
    QVERIFY(click(dlg<QPushButton>("Dlogzhlb", "Command3")));
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(types->count(), 3);
    QCOMPARE(types->findText("信用卡"), -1);
    // Adding.
    dlg<QLineEdit>("Dlogzhlb", "Text1")->clear();
    QVERIFY(click(dlg<QPushButton>("Dlogzhlb", "Command1")));
    QCOMPARE(run.messages.last(), QStringLiteral("请输入帐户类别名称！"));
    dlg<QLineEdit>("Dlogzhlb", "Text1")->setText("网银");
    QVERIFY(click(dlg<QPushButton>("Dlogzhlb", "Command1")));
    QCOMPARE(list->topLevelItemCount(), 4);
    QVERIFY(types->findText("网银") >= 0);
    QCOMPARE(run.messages.size(), 3);
}

void FinanceTest::transfer_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<bool>("sameAccount");
    QTest::addColumn<QString>("message"); // empty: done
    QTest::newRow("all of it") << "100" << false << "";
    QTest::newRow("a cent more") << "100.01" << false << "转出帐户金额没有那么多的钱！";
    QTest::newRow("same account") << "5" << true << "转出帐户和转入帐户不能是一个帐户";
    QTest::newRow("minus first") << "-5" << true << "转帐金额只能输入数字或者小数点！";
    QTest::newRow("not a number") << "1.2.3" << false << "转帐金额只能输入数字或者小数点！";
    QTest::newRow("empty") << "" << true << "请输入转帐金额！";
}

void FinanceTest::transfer()
{
    QFETCH(QString, amount);
    QFETCH(bool, sameAccount);
    QFETCH(QString, message);
    ProgramRun run;
    QVERIFY(run.start());
    run.exec("UPDATE zhanghao SET moneys = 1000000 WHERE zhname = '现金钱包'");
    openFinance(run);
    const qint64 b0 = balance(run, "定期存折");
    const int records = run.scalar("SELECT count(*) FROM shouzhi").toInt();
    QVERIFY(press("Command17"));
    QVERIFY(shown("Dlogzhuanzhang"));
    QTreeWidget* list = dlg("Dlogzhuanzhang", "ListView1");
    const int rows = list->topLevelItemCount();
    choose(dlg<QComboBox>("Dlogzhuanzhang", "Combo1"), "现金钱包");
    choose(dlg<QComboBox>("Dlogzhuanzhang", "Combo2"), sameAccount ? "现金钱包" : "定期存折");
    dlg<QLineEdit>("Dlogzhuanzhang", "Text1")->setText(amount);
    QVERIFY(click(dlg<QPushButton>("Dlogzhuanzhang", "Command1")));
    if (!message.isEmpty()) {
        QCOMPARE(run.messages, QStringList{message});
        QCOMPARE(run.scalar("SELECT count(*) FROM shouzhi").toInt(), records);
        QCOMPARE(balance(run, "现金钱包"), 1000000);
        QCOMPARE(balance(run, "定期存折"), b0);
        return;
    }
    QVERIFY(run.messages.isEmpty());
    QCOMPARE(balance(run, "现金钱包"), 0);
    QCOMPARE(balance(run, "定期存折"), b0 + 1000000);
    QCOMPARE(list->topLevelItemCount(), rows + 2);
    const QStringList out{list->topLevelItem(0)->text(1), list->topLevelItem(0)->text(2),
                          list->topLevelItem(0)->text(3), list->topLevelItem(0)->text(4)};
    const QStringList in{list->topLevelItem(1)->text(1), list->topLevelItem(1)->text(2), list->topLevelItem(1)->text(3),
                         list->topLevelItem(1)->text(4)};
    QCOMPARE(out, (QStringList{"转帐支出", "现金钱包", "-100", "2009-1-31"}));
    QCOMPARE(in, (QStringList{"转帐收入", "定期存折", "100", "2009-1-31"}));
    QCOMPARE(run.scalar("SELECT count(*) FROM shouzhi WHERE shouzhi = 3 AND addtime = '2009-01-31'").toInt(), 2);
    // The finance view shows the new balances without being asked.
    QCOMPARE(ctl("ListView1")->topLevelItem(0)->text(3), QStringLiteral("0"));
    // Transfers are neither income nor expense.
    QCOMPARE(rowOf(ctl("ListView2"), list->topLevelItem(1)->text(0).toLongLong()), -1);
}

void FinanceTest::transferLegsCommitWhole()
{
    ProgramRun run;
    openFinance(run);
    const qint64 a0 = balance(run, "工资卡");
    const qint64 b0 = balance(run, "现金钱包");
    const int records = run.scalar("SELECT count(*) FROM shouzhi").toInt();
    run.exec("CREATE TRIGGER refuse BEFORE UPDATE ON zhanghao WHEN NEW.zhname = '现金钱包'"
             " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    QVERIFY(press("Command17"));
    choose(dlg<QComboBox>("Dlogzhuanzhang", "Combo1"), "工资卡");
    choose(dlg<QComboBox>("Dlogzhuanzhang", "Combo2"), "现金钱包");
    dlg<QLineEdit>("Dlogzhuanzhang", "Text1")->setText("10");
    QVERIFY(click(dlg<QPushButton>("Dlogzhuanzhang", "Command1")));
    QCOMPARE(run.messages.size(), 1);
    QCOMPARE(run.scalar("SELECT count(*) FROM shouzhi").toInt(), records);
    QCOMPARE(balance(run, "工资卡"), a0);
    QCOMPARE(balance(run, "现金钱包"), b0);
}

void FinanceTest::transferListIsThisMonth()
{
    ProgramRun run(QDateTime(QDate(2009, 2, 1), QTime(9, 0)));
    QVERIFY(run.start());
    run.exec("INSERT INTO shouzhi (shouzhi, yuanyin, zhanghao, moneys, addtime) VALUES"
             " (3, '转帐支出', '工资卡', -10000, '2009-01-31'), (3, '转帐收入', '现金钱包', 10000, '2009-01-31')");
    openFinance(run);
    QVERIFY(press("Command17"));
    QTreeWidget* list = dlg("Dlogzhuanzhang", "ListView1");
    QCOMPARE(list->topLevelItemCount(), 0);
    // A transfer on the 1st is listed on that day.
    choose(dlg<QComboBox>("Dlogzhuanzhang", "Combo1"), "工资卡");
    choose(dlg<QComboBox>("Dlogzhuanzhang", "Combo2"), "现金钱包");
    dlg<QLineEdit>("Dlogzhuanzhang", "Text1")->setText("1");
    QVERIFY(click(dlg<QPushButton>("Dlogzhuanzhang", "Command1")));
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(4), QStringLiteral("2009-2-1"));
}

// Readable and writable by its owner alone.
bool privateFile(const QString& path)
{
    const QFile::Permissions p = QFileInfo(path).permissions();
    return p.testFlag(QFile::ReadOwner) && p.testFlag(QFile::WriteOwner)
           && !(p
                & (QFile::ExeOwner | QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                   | QFile::WriteOther | QFile::ExeOther));
}

// A day as the spreadsheet's serial number.
QString serial(const QDate& day)
{
    return QString::number(QDate(1899, 12, 30).daysTo(day));
}

void FinanceTest::exportReadBack()
{
    ProgramRun run;
    openFinance(run);
    // An amount whose nearest binary fraction prints as 9.199999999999999.
    run.exec("INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys, addtime)"
             " VALUES (0, '小额', '工资', '现金钱包', 92000, '2009-01-20')");
    ctl<QDateEdit>("DTPicker4")->setDate(QDate(2009, 1, 16));
    ctl<QDateEdit>("DTPicker5")->setDate(QDate(2009, 1, 31));
    QVERIFY(press("Command10"));
    QVERIFY(ctl("ListView4")->topLevelItemCount() > 0);
    run.savePath = run.file("报表");
    QVERIFY(press("Command14"));
    QCOMPARE(run.messages, QStringList{"导出成功！"});
    QCOMPARE(run.saveFilters.last(), QStringLiteral("Excel 工作簿 (*.xlsx);;CSV (UTF-8) (*.csv)"));
    QSet<QString> texts;
    const QMap<QString, QString> cells = sheetCells(run.file("报表.xlsx"), &texts);
    QVERIFY(!cells.isEmpty());
    // Every row of both lists: the amount a number cell holding the exact decimal, the day a
    // date cell; the rows of a side add up to its total, which is a number beside its label.
    for (const QString& list : {QStringLiteral("ListView4"), QStringLiteral("ListView5")}) {
        QTreeWidget* rows = ctl(list);
        qint64 sum = 0;
        for (int i = 0; i < rows->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* r = rows->topLevelItem(i);
            bool found = false;
            for (auto it = cells.begin(); it != cells.end() && !found; ++it) {
                if (it.key().startsWith('C') && it.value() == r->text(3)) {
                    const QString n = it.key().mid(1);
                    found = cells.value("A" + n) == r->text(1) && cells.value("B" + n) == r->text(2)
                            && !texts.contains("B" + n)
                            && cells.value("D" + n) == serial(QDate::fromString(r->text(4), "yyyy-M-d"))
                            && !texts.contains("D" + n);
                }
            }
            QVERIFY2(found, qPrintable(r->text(3)));
            sum += Money::parse(r->text(2)).value_or(0);
        }
        const QString label = list == "ListView4" ? "收入合计：" : "支出合计：";
        const QString ref = cells.key(label);
        QVERIFY2(!ref.isEmpty(), qPrintable(label));
        const QString totalRef = "B" + ref.mid(1);
        QVERIFY(!texts.contains(totalRef));
        QCOMPARE(Money::parse(cells.value(totalRef), Money::Sign::Any).value_or(-1), sum);
    }
    QVERIFY(cells.values().contains("9.2"));
    const QString balanceRef = cells.key("收支总计：");
    QVERIFY(!balanceRef.isEmpty());
    QCOMPARE(cells.value("B" + balanceRef.mid(1)) + "元", ctl<QLabel>("Label19")->text().mid(5));
    QVERIFY(privateFile(run.file("报表.xlsx")));
    // A cancelled dialog writes nothing and says nothing; a file that cannot be written is
    // reported as a failure.
    run.savePath.clear();
    QVERIFY(press("Command14"));
    QCOMPARE(run.messages.size(), 1);
    run.savePath = run.file("no such folder/报表.xlsx");
    QVERIFY(press("Command14"));
    QCOMPARE(run.messages.size(), 2);
    QVERIFY2(run.messages.last().startsWith(QStringLiteral("导出失败")), qPrintable(run.messages.last()));
}

void FinanceTest::exportFiles_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("reasonLength"); // of the record's reason
    QTest::addColumn<QString>("message");
    QTest::newRow("xls becomes xlsx") << "报表.xls"
                                      << "报表.xls.xlsx" << 10 << "导出成功！";
    QTest::newRow("csv") << "报表.csv"
                         << "报表.csv" << 10 << "导出成功！";
    QTest::newRow("cell at the limit") << "报表.xlsx"
                                       << "报表.xlsx" << 32767 << "导出成功！";
    QTest::newRow("cell over the limit") << "报表.xlsx"
                                         << "报表.xlsx" << 40000
                                         << "导出成功！有 1 个单元格的文字超过 32767 个字符，已截短并以“…”结尾。";
    QTest::newRow("csv over the limit") << "长.csv"
                                        << "长.csv" << 40000
                                        << "导出成功！有 1 个单元格的文字超过 32767 个字符，已截短并以“…”结尾。";
}

void FinanceTest::exportFiles()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(int, reasonLength);
    QFETCH(QString, message);
    ProgramRun run;
    openFinance(run);
    // A reason with a quote, a comma and a line break, made as long as the row asks.
    QString reason = QStringLiteral("年货,\"特价\"\n");
    reason += QString(reasonLength - reason.size(), QChar(0x94B1));
    run.exec("INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys, addtime)"
             " VALUES (1, ?, '服饰', '现金钱包', 1234500, '2009-01-20')",
             {reason});
    ctl<QDateEdit>("DTPicker4")->setDate(QDate(2009, 1, 20));
    ctl<QDateEdit>("DTPicker5")->setDate(QDate(2009, 1, 20));
    QVERIFY(press("Command10"));
    run.savePath = run.file(typed);
    QVERIFY(press("Command14"));
    QCOMPARE(run.messages, QStringList{message});
    const QString file = run.file(written == "报表.xls.xlsx" ? "报表.xlsx" : written);
    QVERIFY2(QFileInfo::exists(file), qPrintable(file));
    QVERIFY(privateFile(file));
    const QString shownReason = reasonLength > 32767 ? reason.left(32766) + "…" : reason;
    if (file.endsWith(".csv")) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QString text = QString::fromUtf8(bytes.mid(3));
        QString quoted = shownReason;
        quoted.replace("\"", "\"\"");
        QVERIFY2(text.contains("服饰,123.45,\"" + quoted + "\",2009-01-20\r\n"), qPrintable(text.mid(80, 120)));
        QVERIFY(text.contains("支出合计：,489.45\r\n"));
    } else {
        const QMap<QString, QString> cells = sheetCells(file);
        QCOMPARE(cells.key(shownReason).isEmpty(), false);
    }
}

// The fields of the account and record forms show what is stored after every change, and a
// save writes only what the user changed.
void FinanceTest::fieldsNeverWriteBackStaleValues_data()
{
    QTest::addColumn<QString>("change");  // what happens after the account is shown
    QTest::addColumn<QString>("amount");  // typed into the account's amount before 修改; "" keeps it
    QTest::addColumn<qint64>("expected"); // the stored balance afterwards, in tenths of a yuan
    QTest::newRow("income") << "income"
                            << "" << qint64(2767);
    QTest::newRow("transfer elsewhere") << "transfer"
                                        << "" << qint64(2167);
    QTest::newRow("record deleted") << "delete"
                                    << "" << qint64(2167);
    QTest::newRow("typed amount wins") << "income"
                                       << "500" << qint64(5000);
}

void FinanceTest::fieldsNeverWriteBackStaleValues()
{
    QFETCH(QString, change);
    QFETCH(QString, amount);
    QFETCH(qint64, expected);
    ProgramRun run;
    QVERIFY(run.start());
    run.exec("INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys, addtime)"
             " VALUES (1, '加班夜宵', '餐饮', '现金钱包', 100000, '2009-01-30')");
    run.exec("UPDATE zhanghao SET moneys = 2267000 WHERE zhname = '现金钱包'");
    openFinance(run);
    QTreeWidget* accounts = ctl("ListView1");
    pickRow(accounts, 0);
    QCOMPARE(ctl<QLineEdit>("Text4")->text(), QStringLiteral("226.7"));
    if (change == "income") {
        ctl<QTabWidget>("SSTab1")->setCurrentIndex(Frmcw::IncomeTab);
        fillRecord(2, "奖金", "50", "现金钱包", QString(), QDate(2009, 1, 31));
        QVERIFY(press("Command4"));
    } else if (change == "transfer") {
        Finance::transfer(1, 2, 100000, QDate(2009, 1, 31));
        Changes::announce(Changes::Finance, nullptr);
        settle();
    } else {
        ctl<QTabWidget>("SSTab1")->setCurrentIndex(Frmcw::ExpenseTab);
        QTreeWidget* list = ctl("ListView3");
        const qint64 id = run.scalar("SELECT id FROM shouzhi WHERE yuanyin = '加班夜宵'").toLongLong();
        pickRow(list, rowOf(list, id));
        QVERIFY(press("Command13"));
        // A record deleted: the amount comes back, then the lunch is bought with cash again.
        Finance::Record r;
        r.kind = Finance::Expense;
        r.reason = "晚饭";
        r.account = "现金钱包";
        r.amount = 200000;
        r.day = QDate(2009, 1, 31);
        Finance::addRecord(r);
        Changes::announce(Changes::Finance, nullptr);
        settle();
    }
    const qint64 stored = balance(run, "现金钱包");
    QCOMPARE(ctl<QLineEdit>("Text4")->text(), Money::format(stored));
    QCOMPARE(accounts->currentItem()->text(3), Money::format(stored));
    // Only the number is changed (or the amount as well), then 修改.
    ctl<QTabWidget>("SSTab1")->setCurrentIndex(Frmcw::AccountsTab);
    ctl<QLineEdit>("Text2")->setText("6222 0000");
    if (!amount.isEmpty())
        ctl<QLineEdit>("Text4")->setText(amount);
    QVERIFY(press("Command2"));
    QCOMPARE(balance(run, "现金钱包"), expected * 1000);
    QCOMPARE(run.scalar("SELECT haoma FROM zhanghao WHERE zhname = '现金钱包'").toString(),
             QStringLiteral("6222 0000"));
    QCOMPARE(ctl<QLineEdit>("Text4")->text(), Money::format(expected * 1000));
}

void FinanceTest::helpLink()
{
    ProgramRun run;
    openFinance(run);
    auto* link = ctl<QLabel>("Label22");
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    QCOMPARE(run.openedUrls.size(), 1);
    QVERIFY(run.openedUrls.first().toString().endsWith("/shuoming/9.asp"));
}

void FinanceTest::randomOperationsKeepBalances()
{
    ProgramRun run;
    QVERIFY(run.start());
    QStringList names;
    QMap<QString, qint64> opening;
    for (const Finance::Account& a : Finance::accounts()) {
        names << a.name;
        opening[a.name] = a.amount - recordEffect(run, a.name);
    }
    QRandomGenerator random(20090131);
    QList<QPair<qint64, Finance::Kind>> records;
    for (int step = 0; step < 600; ++step) {
        const QString account = names[random.bounded(int(names.size()))];
        const qint64 amount = random.bounded(1, 5000000);
        const int action = random.bounded(4);
        if (action == 0 || records.isEmpty()) {
            Finance::Record r;
            r.kind = random.bounded(2) ? Finance::Income : Finance::Expense;
            r.reason = QStringLiteral("随机");
            r.account = account;
            r.amount = amount;
            r.day = QDate(2009, 1, 1).addDays(random.bounded(60));
            records.append({Finance::addRecord(r), Finance::Kind(r.kind)});
        } else if (action == 1) {
            const auto [id, kind] = records[random.bounded(int(records.size()))];
            Finance::Record r = *Finance::record(id);
            r.account = account;
            r.amount = amount;
            QVERIFY(Finance::updateRecord(kind, r));
        } else if (action == 2) {
            const auto [id, kind] = records.takeAt(random.bounded(int(records.size())));
            QVERIFY(Finance::removeRecord(kind, id));
        } else {
            const qint64 from = random.bounded(1, 4);
            Finance::transfer(from, random.bounded(1, 4), amount / 10, QDate(2009, 1, 31));
        }
    }
    for (const QString& name : names)
        QCOMPARE(balance(run, name), opening[name] + recordEffect(run, name));
}

QTEST_MAIN(FinanceTest)
#include "test_finance.moc"
