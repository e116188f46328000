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
using namespace Qt::StringLiterals;

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
    ctl<QLineEdit>(income ? u"Text5"_s : u"Text7"_s)->setText(name);
    ctl<QLineEdit>(income ? u"Text6"_s : u"Text8"_s)->setText(amount);
    choose(ctl<QComboBox>(income ? u"Combo2"_s : u"Combo4"_s), account);
    if (!category.isEmpty())
        choose(ctl<QComboBox>(income ? u"Combo3"_s : u"Combo5"_s), category);
    ctl<QDateEdit>(income ? u"DTPicker2"_s : u"DTPicker3"_s)->setDate(day);
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
    auto* tabs = ctl<QTabWidget>(u"SSTab1"_s);
    QCOMPARE(tabs->count(), 4);
    const QStringList captions{u"报表查询"_s, u"帐户管理"_s, u"收入管理"_s, u"支出管理"_s};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(tabs->tabText(i), captions[i]);
    // Accounts with balances shown as plain decimals; account types and both account choices.
    QTreeWidget* accounts = ctl(u"ListView1"_s);
    QCOMPARE(accounts->topLevelItemCount(), 3);
    QCOMPARE(accounts->topLevelItem(0)->text(1), QStringLiteral("现金钱包"));
    QCOMPARE(accounts->topLevelItem(0)->text(3), QStringLiteral("226.7"));
    QCOMPARE(accounts->topLevelItem(1)->text(3), QStringLiteral("6603.07"));
    QCOMPARE(ctl<QComboBox>(u"Combo1"_s)->count(), 4);
    QCOMPARE(ctl<QComboBox>(u"Combo2"_s)->count(), 3);
    QCOMPARE(ctl<QComboBox>(u"Combo4"_s)->count(), 3);
    QCOMPARE(ctl<QComboBox>(u"Combo3"_s)->count(), 5);
    QCOMPARE(ctl<QComboBox>(u"Combo5"_s)->count(), 9);
    // The report of this month with every category ticked.
    QCOMPARE(ctl<QDateEdit>(u"DTPicker4"_s)->date(), QDate(2009, 1, 1));
    QCOMPARE(ctl<QDateEdit>(u"DTPicker5"_s)->date(), QDate(2009, 1, 31));
    QCOMPARE(ctl(u"ListView6"_s)->topLevelItemCount(), 5);
    QCOMPARE(ctl(u"ListView7"_s)->topLevelItemCount(), 9);
    const qint64 income = run.scalar(u"SELECT sum(moneys) FROM shouzhi WHERE shouzhi = 0 AND addtime >= '2009-01-01'"
                                     " AND addtime <= '2009-01-31'"_s)
                              .toLongLong();
    QCOMPARE(ctl<QGroupBox>(u"Frame4"_s)->title(), QStringLiteral("收入合计：%1元").arg(Money::format(income)));
    // Selecting an account shows its fields.
    pickRow(accounts, 1);
    QCOMPARE(ctl<QLineEdit>(u"Text1"_s)->text(), QStringLiteral("工资卡"));
    QCOMPARE(ctl<QLineEdit>(u"Text4"_s)->text(), QStringLiteral("6603.07"));
    QCOMPARE(ctl<QComboBox>(u"Combo1"_s)->currentText(), QStringLiteral("储蓄卡"));
    QCOMPARE(ctl<QLineEdit>(u"Text2"_s)->text(), QStringLiteral("6222 0000 1234 5678"));
    QVERIFY(run.messages.isEmpty());
}

void FinanceTest::changeIncomeMovesBothAccounts()
{
    ProgramRun run;
    openFinance(run);
    const qint64 a0 = balance(run, u"现金钱包"_s);
    const qint64 b0 = balance(run, u"工资卡"_s);
    QTreeWidget* list = ctl(u"ListView2"_s);
    const int before = list->topLevelItemCount();
    fillRecord(2, u"稿费"_s, u"100"_s, u"现金钱包"_s, u"兼职收入"_s, QDate(2009, 1, 20));
    QVERIFY(press(u"Command4"_s));
    QCOMPARE(list->topLevelItemCount(), before + 1);
    QCOMPARE(balance(run, u"现金钱包"_s), a0 + 1000000);
    const qint64 id = run.scalar(u"SELECT max(id) FROM shouzhi"_s).toLongLong();
    // The new row stands among the rows by its day.
    const int row = rowOf(list, id);
    QVERIFY(row >= 0);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QDate d = QDate::fromString(list->topLevelItem(i)->text(5), u"yyyy-M-d"_s);
        QVERIFY(i < row ? d >= QDate(2009, 1, 20) : i == row || d <= QDate(2009, 1, 20));
    }
    // Selected, its amount and account changed: the old account loses 100, the new gains 80.
    pickRow(list, row);
    ctl<QLineEdit>(u"Text6"_s)->setText(u"80"_s);
    choose(ctl<QComboBox>(u"Combo2"_s), u"工资卡"_s);
    QVERIFY(press(u"Command5"_s));
    QCOMPARE(balance(run, u"现金钱包"_s), a0);
    QCOMPARE(balance(run, u"工资卡"_s), b0 + 800000);
    QCOMPARE(list->topLevelItem(row)->text(2), QStringLiteral("工资卡"));
    QCOMPARE(list->topLevelItem(row)->text(4), QStringLiteral("80"));
    QCOMPARE(run.scalar(u"SELECT moneys FROM shouzhi WHERE id = ?"_s, {id}).toLongLong(), 800000);
    // The account list shows the stored balances at once.
    QCOMPARE(ctl(u"ListView1"_s)->topLevelItem(1)->text(3), Money::format(b0 + 800000));
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
    const qint64 a0 = balance(run, u"工资卡"_s);
    fillRecord(tab, u"测试"_s, u"50"_s, u"工资卡"_s);
    QVERIFY(press(income ? u"Command4"_s : u"Command11"_s));
    QCOMPARE(balance(run, u"工资卡"_s), a0 + (income ? 500000 : -500000));
    QTreeWidget* list = ctl(income ? u"ListView2"_s : u"ListView3"_s);
    const qint64 id = run.scalar(u"SELECT max(id) FROM shouzhi"_s).toLongLong();
    pickRow(list, rowOf(list, id));
    // Whatever the amount field holds now, the stored 50 goes back.
    ctl<QLineEdit>(income ? u"Text6"_s : u"Text8"_s)->setText(u"7"_s);
    QVERIFY(press(income ? u"Command6"_s : u"Command13"_s));
    QCOMPARE(balance(run, u"工资卡"_s), a0);
    QCOMPARE(rowOf(list, id), -1);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi WHERE id = ?"_s, {id}).toInt(), 0);
}

void FinanceTest::thirtyDayWindow()
{
    ProgramRun run;
    QVERIFY(run.start());
    // 30 days before 2009-01-31, and the day after.
    const QString insert = QStringLiteral("INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys, addtime)"
                                          " VALUES (?, '边界', '', '工资卡', 10000, ?)");
    run.exec(insert, {0, u"2009-01-01"_s});
    const qint64 income30 = run.scalar(u"SELECT max(id) FROM shouzhi"_s).toLongLong();
    run.exec(insert, {1, u"2009-01-01"_s});
    const qint64 expense30 = run.scalar(u"SELECT max(id) FROM shouzhi"_s).toLongLong();
    run.exec(insert, {1, u"2009-01-02"_s});
    const qint64 expense29 = run.scalar(u"SELECT max(id) FROM shouzhi"_s).toLongLong();
    run.exec(insert, {0, u"2008-12-31"_s});
    const qint64 income31 = run.scalar(u"SELECT max(id) FROM shouzhi"_s).toLongLong();
    openFinance(run);
    QVERIFY(rowOf(ctl(u"ListView2"_s), income30) >= 0);
    QCOMPARE(rowOf(ctl(u"ListView2"_s), income31), -1);
    QCOMPARE(rowOf(ctl(u"ListView3"_s), expense30), -1);
    QVERIFY(rowOf(ctl(u"ListView3"_s), expense29) >= 0);
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
    QTreeWidget* list = ctl(income ? u"ListView2"_s : u"ListView3"_s);
    if (modify)
        pickRow(list, 0);
    const QString before = run.scalar(u"SELECT group_concat(moneys || zhname) FROM zhanghao"_s).toString();
    const QString records = run.scalar(u"SELECT group_concat(id || yuanyin || moneys) FROM shouzhi"_s).toString();
    fillRecord(tab, name, amount, u"现金钱包"_s);
    QVERIFY(press(income ? (modify ? u"Command5"_s : u"Command4"_s) : (modify ? u"Command12"_s : u"Command11"_s)));
    QCOMPARE(run.messages, QStringList{message});
    QCOMPARE(run.scalar(u"SELECT group_concat(moneys || zhname) FROM zhanghao"_s).toString(), before);
    QCOMPARE(run.scalar(u"SELECT group_concat(id || yuanyin || moneys) FROM shouzhi"_s).toString(), records);
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
    fillRecord(2, u"x"_s, u"5"_s, u"现金钱包"_s);
    fillRecord(3, u"x"_s, u"5"_s, u"现金钱包"_s);
    ctl<QLineEdit>(u"Text1"_s)->setText(u"新帐户"_s);
    ctl<QLineEdit>(u"Text4"_s)->setText(u"5"_s);
    const QString before = run.scalar(u"SELECT group_concat(moneys || zhname) FROM zhanghao"_s).toString();
    const int records = run.scalar(u"SELECT count(*) FROM shouzhi"_s).toInt();
    QVERIFY(press(button));
    QCOMPARE(run.messages.size(), 1);
    QVERIFY2(run.messages.first().contains(QStringLiteral("选择")), qPrintable(run.messages.first()));
    QCOMPARE(run.scalar(u"SELECT group_concat(moneys || zhname) FROM zhanghao"_s).toString(), before);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi"_s).toInt(), records);
}

void FinanceTest::recordAndBalancesCommitWhole()
{
    ProgramRun run;
    openFinance(run);
    const qint64 a0 = balance(run, u"现金钱包"_s);
    const qint64 b0 = balance(run, u"工资卡"_s);
    fillRecord(2, u"稿费"_s, u"100"_s, u"现金钱包"_s, u"兼职收入"_s);
    QVERIFY(press(u"Command4"_s));
    const qint64 id = run.scalar(u"SELECT max(id) FROM shouzhi"_s).toLongLong();
    // The new account's balance cannot be written: the whole change is refused.
    run.exec(u"CREATE TRIGGER refuse BEFORE UPDATE ON zhanghao WHEN NEW.zhname = '工资卡'"
             " BEGIN SELECT RAISE(ABORT, 'refused'); END"_s);
    QTreeWidget* list = ctl(u"ListView2"_s);
    pickRow(list, rowOf(list, id));
    ctl<QLineEdit>(u"Text6"_s)->setText(u"80"_s);
    choose(ctl<QComboBox>(u"Combo2"_s), u"工资卡"_s);
    QVERIFY(press(u"Command5"_s));
    QCOMPARE(run.messages.size(), 1);
    QCOMPARE(balance(run, u"现金钱包"_s), a0 + 1000000);
    QCOMPARE(balance(run, u"工资卡"_s), b0);
    QCOMPARE(run.scalar(u"SELECT moneys || zhanghao FROM shouzhi WHERE id = ?"_s, {id}).toString(),
             QStringLiteral("1000000现金钱包"));
    QCOMPARE(list->topLevelItem(rowOf(list, id))->text(4), QStringLiteral("100"));
    // A deletion whose balance cannot be given back keeps the record.
    run.exec(u"DROP TRIGGER refuse"_s);
    run.exec(u"CREATE TRIGGER refuse BEFORE UPDATE ON zhanghao BEGIN SELECT RAISE(ABORT, 'refused'); END"_s);
    pickRow(list, rowOf(list, id));
    QVERIFY(press(u"Command6"_s));
    QCOMPARE(run.messages.size(), 2);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi WHERE id = ?"_s, {id}).toInt(), 1);
    QVERIFY(rowOf(list, id) >= 0);
    QCOMPARE(balance(run, u"现金钱包"_s), a0 + 1000000);
}

void FinanceTest::accounts()
{
    ProgramRun run;
    openFinance(run);
    QTreeWidget* list = ctl(u"ListView1"_s);
    // A new account: its opening amount is its balance.
    ctl<QLineEdit>(u"Text1"_s)->setText(u"信用卡'A"_s);
    ctl<QLineEdit>(u"Text4"_s)->setText(u"-12.5"_s);
    choose(ctl<QComboBox>(u"Combo1"_s), u"信用卡"_s);
    ctl<QLineEdit>(u"Text2"_s)->setText(u"4000"_s);
    QVERIFY(press(u"Command3"_s));
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(list->topLevelItemCount(), 4);
    QCOMPARE(balance(run, u"信用卡'A"_s), -125000);
    QCOMPARE(list->topLevelItem(3)->text(3), QStringLiteral("-12.5"));
    QVERIFY(ctl<QComboBox>(u"Combo2"_s)->findText(u"信用卡'A"_s) >= 0);
    QVERIFY(ctl<QComboBox>(u"Combo4"_s)->findText(u"信用卡'A"_s) >= 0);
    // A second account of a name already used is refused.
    ctl<QLineEdit>(u"Text1"_s)->setText(u"工资卡"_s);
    QVERIFY(press(u"Command3"_s));
    QCOMPARE(run.messages.size(), 1);
    QVERIFY(run.messages.first().contains(QStringLiteral("工资卡")));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM zhanghao WHERE zhname = '工资卡'"_s).toInt(), 1);
    // Renaming carries the account's records along; renaming onto another name is refused.
    const int records = run.scalar(u"SELECT count(*) FROM shouzhi WHERE zhanghao = '工资卡'"_s).toInt();
    QVERIFY(records > 0);
    pickRow(list, 1);
    ctl<QLineEdit>(u"Text1"_s)->setText(u"现金钱包"_s);
    QVERIFY(press(u"Command2"_s));
    QCOMPARE(run.messages.size(), 2);
    ctl<QLineEdit>(u"Text1"_s)->setText(u"招行卡"_s);
    QVERIFY(press(u"Command2"_s));
    QCOMPARE(run.messages.size(), 2);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi WHERE zhanghao = '招行卡'"_s).toInt(), records);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi WHERE zhanghao = '工资卡'"_s).toInt(), 0);
    QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("招行卡"));
    QVERIFY(ctl<QComboBox>(u"Combo2"_s)->findText(u"工资卡"_s) < 0);
    for (int i = 0; i < ctl(u"ListView3"_s)->topLevelItemCount(); ++i)
        QVERIFY(ctl(u"ListView3"_s)->topLevelItem(i)->text(2) != QStringLiteral("工资卡"));
    // Deleting asks first; Cancel keeps it.
    pickRow(list, 3);
    run.answerNext(QMessageBox::Cancel);
    QVERIFY(press(u"Command1"_s));
    QCOMPARE(run.messageButtons.last(), QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(list->topLevelItemCount(), 4);
    pickRow(list, 3);
    QVERIFY(press(u"Command1"_s));
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM zhanghao"_s).toInt(), 3);
    QVERIFY(ctl<QComboBox>(u"Combo2"_s)->findText(u"信用卡'A"_s) < 0);
}

void FinanceTest::report_data()
{
    QTest::addColumn<QStringList>("income");  // amounts of income records in the range
    QTest::addColumn<QStringList>("expense"); // amounts of expense records in the range
    QTest::addColumn<bool>("untickIncome");
    QTest::addColumn<QString>("incomeTotal");
    QTest::addColumn<QString>("expenseTotal");
    QTest::addColumn<QString>("balance");
    QTest::newRow("0.4 and 0.4") << QStringList{u"0.4"_s, u"0.4"_s} << QStringList{u"0.4"_s, u"0.4"_s} << false << "0.8"
                                 << "0.8"
                                 << "0";
    QTest::newRow("0.1 and 0.2") << QStringList{u"0.1"_s, u"0.2"_s} << QStringList{u"0.2"_s} << false << "0.3"
                                 << "0.2"
                                 << "0.1";
    QTest::newRow("income unticked") << QStringList{u"5"_s} << QStringList{u"1.25"_s, u"2"_s} << true << "0"
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
    const QStringList days{u"2007-03-01"_s, u"2007-03-31"_s};
    for (int i = 0; i < income.size(); ++i)
        run.exec(insert, {0, u"收"_s + QString::number(i), u"奖金"_s, *Money::parse(income[i]), days[i % 2]});
    for (int i = 0; i < expense.size(); ++i)
        run.exec(insert, {1, u"支"_s + QString::number(i), u"餐饮"_s, *Money::parse(expense[i]), days[i % 2]});
    run.exec(insert, {0, u"前"_s, u"奖金"_s, 10000, u"2007-02-28"_s});
    run.exec(insert, {1, u"后"_s, u"餐饮"_s, 10000, u"2007-04-01"_s});
    run.exec(insert, {3, u"转帐收入"_s, u""_s, 10000, u"2007-03-15"_s});
    openFinance(run);
    ctl<QDateEdit>(u"DTPicker4"_s)->setDate(QDate(2007, 3, 1));
    ctl<QDateEdit>(u"DTPicker5"_s)->setDate(QDate(2007, 3, 31));
    if (untickIncome) {
        QTreeWidget* checks = ctl(u"ListView6"_s);
        for (int i = 0; i < checks->topLevelItemCount(); ++i)
            checks->topLevelItem(i)->setCheckState(1, Qt::Unchecked);
    }
    QVERIFY(press(u"Command10"_s));
    QCOMPARE(ctl(u"ListView4"_s)->topLevelItemCount(), untickIncome ? 0 : income.size());
    QCOMPARE(ctl(u"ListView5"_s)->topLevelItemCount(), expense.size());
    QCOMPARE(ctl<QGroupBox>(u"Frame4"_s)->title(), u"收入合计："_s + incomeTotal + u"元"_s);
    QCOMPARE(ctl<QGroupBox>(u"Frame5"_s)->title(), u"支出合计："_s + expenseTotal + u"元"_s);
    QCOMPARE(ctl<QLabel>(u"Label19"_s)->text(), u"收支总计："_s + balance + u"元"_s);
    // Newest first; the category, amount, reason and day of each row.
    QTreeWidgetItem* first = ctl(u"ListView5"_s)->topLevelItem(0);
    QCOMPARE(first->text(1), QStringLiteral("餐饮"));
    QCOMPARE(first->text(4), expense.size() > 1 ? QStringLiteral("2007-3-31") : QStringLiteral("2007-3-1"));
    // The chart gives the category's exact sum.
    QCOMPARE(ctl<PieChart>(u"Chart2"_s)->legend(), QStringList{u"餐饮 "_s + expenseTotal + u" (100.0%)"_s});
    QVERIFY(run.messages.isEmpty());
}

void FinanceTest::renamedCategoryKeepsItsRecords()
{
    ProgramRun run;
    openFinance(run);
    ctl<QDateEdit>(u"DTPicker4"_s)->setDate(QDate(2008, 1, 1));
    QVERIFY(press(u"Command10"_s));
    const int bonuses = run.scalar(u"SELECT count(*) FROM shouzhi WHERE leixing = '奖金'"_s).toInt();
    QVERIFY(bonuses > 0);
    const int rows = ctl(u"ListView4"_s)->topLevelItemCount();
    ctl<QTabWidget>(u"SSTab1"_s)->setCurrentIndex(Frmcw::IncomeTab);
    QVERIFY(press(u"Command8"_s));
    QVERIFY(shown(u"Dlogszlb"_s));
    QTreeWidget* list = dlg(u"Dlogszlb"_s, u"ListView1"_s);
    QVERIFY(clickRow(list, 1));
    QCOMPARE(dlg<QLineEdit>(u"Dlogszlb"_s, u"Text1"_s)->text(), QStringLiteral("奖金"));
    dlg<QLineEdit>(u"Dlogszlb"_s, u"Text1"_s)->setText(u"年终奖金"_s);
    QVERIFY(click(dlg<QPushButton>(u"Dlogszlb"_s, u"Command2"_s)));
    QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("年终奖金"));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi WHERE leixing = '奖金'"_s).toInt(), 0);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi WHERE leixing = '年终奖金'"_s).toInt(), bonuses);
    // The report's check list and the category choice follow; the records go with the name.
    QCOMPARE(ctl(u"ListView6"_s)->topLevelItem(1)->text(1), QStringLiteral("年终奖金"));
    QVERIFY(ctl<QComboBox>(u"Combo3"_s)->findText(u"年终奖金"_s) >= 0);
    ctl<QDateEdit>(u"DTPicker4"_s)->setDate(QDate(2008, 1, 1));
    QVERIFY(press(u"Command10"_s));
    QCOMPARE(ctl(u"ListView4"_s)->topLevelItemCount(), rows);
    QVERIFY(run.messages.isEmpty());
}

void FinanceTest::categoryDialogKeepsItsKind()
{
    ProgramRun run;
    openFinance(run);
    auto* tabs = ctl<QTabWidget>(u"SSTab1"_s);
    tabs->setCurrentIndex(Frmcw::ExpenseTab);
    QVERIFY(press(u"Command9"_s));
    QWidget* dialog = find(u"Dlogszlb"_s);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("支出类别管理"));
    QTreeWidget* list = dlg(u"Dlogszlb"_s, u"ListView1"_s);
    QCOMPARE(list->topLevelItemCount(), 9);
    // Without a row: rename and delete say so and change nothing.
    QVERIFY(click(dlg<QPushButton>(u"Dlogszlb"_s, u"Command2"_s)));
    QVERIFY(click(dlg<QPushButton>(u"Dlogszlb"_s, u"Command3"_s)));
    QCOMPARE(run.messages, (QStringList{u"请选择要修改的类别！"_s, u"请选择要删除的类别！"_s}));
    QVERIFY(click(dlg<QPushButton>(u"Dlogszlb"_s, u"Command1"_s)));
    QCOMPARE(run.messages.last(), QStringLiteral("请输入类别名称！"));
    // The view shows another tab meanwhile: an add is still an expense category.
    tabs->setCurrentIndex(Frmcw::ReportTab);
    ctl<QTreeWidget>(u"ListView7"_s)->topLevelItem(0)->setCheckState(1, Qt::Unchecked);
    dlg<QLineEdit>(u"Dlogszlb"_s, u"Text1"_s)->setText(u"宠物"_s);
    QVERIFY(click(dlg<QPushButton>(u"Dlogszlb"_s, u"Command1"_s)));
    QCOMPARE(run.scalar(u"SELECT shouzhi FROM shouzhitype WHERE typename = '宠物'"_s).toInt(), 1);
    QCOMPARE(list->topLevelItemCount(), 10);
    QVERIFY(dlg<QLineEdit>(u"Dlogszlb"_s, u"Text1"_s)->text().isEmpty());
    // Every category ticked again in the report, the new one too; the choice has it.
    QTreeWidget* checks = ctl(u"ListView7"_s);
    QCOMPARE(checks->topLevelItemCount(), 10);
    for (int i = 0; i < checks->topLevelItemCount(); ++i)
        QCOMPARE(checks->topLevelItem(i)->checkState(1), Qt::Checked);
    QVERIFY(ctl<QComboBox>(u"Combo5"_s)->findText(u"宠物"_s) >= 0);
    // Deleting the selected row; records keep the name.
    QVERIFY(clickRow(list, 0));
    QVERIFY(click(dlg<QPushButton>(u"Dlogszlb"_s, u"Command3"_s)));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhitype WHERE typename = '餐饮'"_s).toInt(), 0);
    QVERIFY(run.scalar(u"SELECT count(*) FROM shouzhi WHERE leixing = '餐饮'"_s).toInt() > 0);
    QCOMPARE(ctl<QComboBox>(u"Combo5"_s)->findText(u"餐饮"_s), -1);
    // Opened for income it is the income dialog.
    tabs->setCurrentIndex(Frmcw::IncomeTab);
    QVERIFY(press(u"Command8"_s));
    settle();
    QCOMPARE(find(u"Dlogszlb"_s)->windowTitle(), QStringLiteral("收入类别管理"));
    QCOMPARE(dlg(u"Dlogszlb"_s, u"ListView1"_s)->topLevelItemCount(), 5);
}

void FinanceTest::accountTypes()
{
    ProgramRun run;
    openFinance(run);
    run.exec(u"UPDATE zhanghao SET leixing = '储蓄卡' WHERE id = 3"_s);
    QVERIFY(press(u"Command7"_s));
    QVERIFY(shown(u"Dlogzhlb"_s));
    QCOMPARE(find(u"Dlogzhlb"_s)->windowTitle(), QStringLiteral("管理帐号类别"));
    QTreeWidget* list = dlg(u"Dlogzhlb"_s, u"ListView1"_s);
    QCOMPARE(list->topLevelItemCount(), 4);
    QVERIFY(click(dlg<QPushButton>(u"Dlogzhlb"_s, u"Command2"_s)));
    QVERIFY(click(dlg<QPushButton>(u"Dlogzhlb"_s, u"Command3"_s)));
    QCOMPARE(run.messages, (QStringList{u"请选择要修改的类别！"_s, u"请选择要删除的类别！"_s}));
    // Renaming a type renames it in every account of the type; the key stays.
    QVERIFY(clickRow(list, 1));
    dlg<QLineEdit>(u"Dlogzhlb"_s, u"Text1"_s)->setText(u"活期"_s);
    QVERIFY(click(dlg<QPushButton>(u"Dlogzhlb"_s, u"Command2"_s)));
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("2"));
    QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("活期"));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM zhanghao WHERE leixing = '活期'"_s).toInt(), 2);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM zhanghao WHERE leixing = '储蓄卡'"_s).toInt(), 0);
    QCOMPARE(ctl(u"ListView1"_s)->topLevelItem(1)->text(2), QStringLiteral("活期"));
    auto* types = ctl<QComboBox>(u"Combo1"_s);
    QVERIFY(types->findText(u"活期"_s) >= 0);
    QCOMPARE(types->findText(u"储蓄卡"_s), -1);
    // Deleting removes exactly that type from the choice; accounts keep the name.
    QVERIFY(clickRow(list, 2));
    QVERIFY(click(dlg<QPushButton>(u"Dlogzhlb"_s, u"Command3"_s)));
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(types->count(), 3);
    QCOMPARE(types->findText(u"信用卡"_s), -1);
    // Adding.
    dlg<QLineEdit>(u"Dlogzhlb"_s, u"Text1"_s)->clear();
    QVERIFY(click(dlg<QPushButton>(u"Dlogzhlb"_s, u"Command1"_s)));
    QCOMPARE(run.messages.last(), QStringLiteral("请输入帐户类别名称！"));
    dlg<QLineEdit>(u"Dlogzhlb"_s, u"Text1"_s)->setText(u"网银"_s);
    QVERIFY(click(dlg<QPushButton>(u"Dlogzhlb"_s, u"Command1"_s)));
    QCOMPARE(list->topLevelItemCount(), 4);
    QVERIFY(types->findText(u"网银"_s) >= 0);
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
    run.exec(u"UPDATE zhanghao SET moneys = 1000000 WHERE zhname = '现金钱包'"_s);
    openFinance(run);
    const qint64 b0 = balance(run, u"定期存折"_s);
    const int records = run.scalar(u"SELECT count(*) FROM shouzhi"_s).toInt();
    QVERIFY(press(u"Command17"_s));
    QVERIFY(shown(u"Dlogzhuanzhang"_s));
    QTreeWidget* list = dlg(u"Dlogzhuanzhang"_s, u"ListView1"_s);
    const int rows = list->topLevelItemCount();
    choose(dlg<QComboBox>(u"Dlogzhuanzhang"_s, u"Combo1"_s), u"现金钱包"_s);
    choose(dlg<QComboBox>(u"Dlogzhuanzhang"_s, u"Combo2"_s), sameAccount ? u"现金钱包"_s : u"定期存折"_s);
    dlg<QLineEdit>(u"Dlogzhuanzhang"_s, u"Text1"_s)->setText(amount);
    QVERIFY(click(dlg<QPushButton>(u"Dlogzhuanzhang"_s, u"Command1"_s)));
    if (!message.isEmpty()) {
        QCOMPARE(run.messages, QStringList{message});
        QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi"_s).toInt(), records);
        QCOMPARE(balance(run, u"现金钱包"_s), 1000000);
        QCOMPARE(balance(run, u"定期存折"_s), b0);
        return;
    }
    QVERIFY(run.messages.isEmpty());
    QCOMPARE(balance(run, u"现金钱包"_s), 0);
    QCOMPARE(balance(run, u"定期存折"_s), b0 + 1000000);
    QCOMPARE(list->topLevelItemCount(), rows + 2);
    const QStringList out{list->topLevelItem(0)->text(1), list->topLevelItem(0)->text(2),
                          list->topLevelItem(0)->text(3), list->topLevelItem(0)->text(4)};
    const QStringList in{list->topLevelItem(1)->text(1), list->topLevelItem(1)->text(2), list->topLevelItem(1)->text(3),
                         list->topLevelItem(1)->text(4)};
    QCOMPARE(out, (QStringList{u"转帐支出"_s, u"现金钱包"_s, u"-100"_s, u"2009-1-31"_s}));
    QCOMPARE(in, (QStringList{u"转帐收入"_s, u"定期存折"_s, u"100"_s, u"2009-1-31"_s}));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi WHERE shouzhi = 3 AND addtime = '2009-01-31'"_s).toInt(), 2);
    // The finance view shows the new balances without being asked.
    QCOMPARE(ctl(u"ListView1"_s)->topLevelItem(0)->text(3), QStringLiteral("0"));
    // Transfers are neither income nor expense.
    QCOMPARE(rowOf(ctl(u"ListView2"_s), list->topLevelItem(1)->text(0).toLongLong()), -1);
}

void FinanceTest::transferLegsCommitWhole()
{
    ProgramRun run;
    openFinance(run);
    const qint64 a0 = balance(run, u"工资卡"_s);
    const qint64 b0 = balance(run, u"现金钱包"_s);
    const int records = run.scalar(u"SELECT count(*) FROM shouzhi"_s).toInt();
    run.exec(u"CREATE TRIGGER refuse BEFORE UPDATE ON zhanghao WHEN NEW.zhname = '现金钱包'"
             " BEGIN SELECT RAISE(ABORT, 'refused'); END"_s);
    QVERIFY(press(u"Command17"_s));
    choose(dlg<QComboBox>(u"Dlogzhuanzhang"_s, u"Combo1"_s), u"工资卡"_s);
    choose(dlg<QComboBox>(u"Dlogzhuanzhang"_s, u"Combo2"_s), u"现金钱包"_s);
    dlg<QLineEdit>(u"Dlogzhuanzhang"_s, u"Text1"_s)->setText(u"10"_s);
    QVERIFY(click(dlg<QPushButton>(u"Dlogzhuanzhang"_s, u"Command1"_s)));
    QCOMPARE(run.messages.size(), 1);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi"_s).toInt(), records);
    QCOMPARE(balance(run, u"工资卡"_s), a0);
    QCOMPARE(balance(run, u"现金钱包"_s), b0);
}

void FinanceTest::transferListIsThisMonth()
{
    ProgramRun run(QDateTime(QDate(2009, 2, 1), QTime(9, 0)));
    QVERIFY(run.start());
    run.exec(u"INSERT INTO shouzhi (shouzhi, yuanyin, zhanghao, moneys, addtime) VALUES"
             " (3, '转帐支出', '工资卡', -10000, '2009-01-31'), (3, '转帐收入', '现金钱包', 10000, '2009-01-31')"_s);
    openFinance(run);
    QVERIFY(press(u"Command17"_s));
    QTreeWidget* list = dlg(u"Dlogzhuanzhang"_s, u"ListView1"_s);
    QCOMPARE(list->topLevelItemCount(), 0);
    // A transfer on the 1st is listed on that day.
    choose(dlg<QComboBox>(u"Dlogzhuanzhang"_s, u"Combo1"_s), u"工资卡"_s);
    choose(dlg<QComboBox>(u"Dlogzhuanzhang"_s, u"Combo2"_s), u"现金钱包"_s);
    dlg<QLineEdit>(u"Dlogzhuanzhang"_s, u"Text1"_s)->setText(u"1"_s);
    QVERIFY(click(dlg<QPushButton>(u"Dlogzhuanzhang"_s, u"Command1"_s)));
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
    run.exec(u"INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys, addtime)"
             " VALUES (0, '小额', '工资', '现金钱包', 92000, '2009-01-20')"_s);
    ctl<QDateEdit>(u"DTPicker4"_s)->setDate(QDate(2009, 1, 16));
    ctl<QDateEdit>(u"DTPicker5"_s)->setDate(QDate(2009, 1, 31));
    QVERIFY(press(u"Command10"_s));
    QVERIFY(ctl(u"ListView4"_s)->topLevelItemCount() > 0);
    run.savePath = run.file(u"报表"_s);
    QVERIFY(press(u"Command14"_s));
    QCOMPARE(run.messages, QStringList{u"导出成功！"_s});
    QCOMPARE(run.saveFilters.last(), QStringLiteral("Excel 工作簿 (*.xlsx);;CSV (UTF-8) (*.csv)"));
    QSet<QString> texts;
    const QMap<QString, QString> cells = sheetCells(run.file(u"报表.xlsx"_s), &texts);
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
                if (it.key().startsWith(u'C') && it.value() == r->text(3)) {
                    const QString n = it.key().mid(1);
                    found = cells.value(u"A"_s + n) == r->text(1) && cells.value(u"B"_s + n) == r->text(2)
                            && !texts.contains(u"B"_s + n)
                            && cells.value(u"D"_s + n) == serial(QDate::fromString(r->text(4), u"yyyy-M-d"_s))
                            && !texts.contains(u"D"_s + n);
                }
            }
            QVERIFY2(found, qPrintable(r->text(3)));
            sum += Money::parse(r->text(2)).value_or(0);
        }
        const QString label = list == "ListView4"_L1 ? u"收入合计："_s : u"支出合计："_s;
        const QString ref = cells.key(label);
        QVERIFY2(!ref.isEmpty(), qPrintable(label));
        const QString totalRef = u"B"_s + ref.mid(1);
        QVERIFY(!texts.contains(totalRef));
        QCOMPARE(Money::parse(cells.value(totalRef), Money::Sign::Any).value_or(-1), sum);
    }
    QVERIFY(cells.values().contains(u"9.2"_s));
    const QString balanceRef = cells.key(u"收支总计："_s);
    QVERIFY(!balanceRef.isEmpty());
    QCOMPARE(cells.value(u"B"_s + balanceRef.mid(1)) + u"元"_s, ctl<QLabel>(u"Label19"_s)->text().mid(5));
    QVERIFY(privateFile(run.file(u"报表.xlsx"_s)));
    // A cancelled dialog writes nothing and says nothing; a file that cannot be written is
    // reported as a failure.
    run.savePath.clear();
    QVERIFY(press(u"Command14"_s));
    QCOMPARE(run.messages.size(), 1);
    run.savePath = run.file(u"no such folder/报表.xlsx"_s);
    QVERIFY(press(u"Command14"_s));
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
    run.exec(u"INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys, addtime)"
             " VALUES (1, ?, '服饰', '现金钱包', 1234500, '2009-01-20')"_s,
             {reason});
    ctl<QDateEdit>(u"DTPicker4"_s)->setDate(QDate(2009, 1, 20));
    ctl<QDateEdit>(u"DTPicker5"_s)->setDate(QDate(2009, 1, 20));
    QVERIFY(press(u"Command10"_s));
    run.savePath = run.file(typed);
    QVERIFY(press(u"Command14"_s));
    QCOMPARE(run.messages, QStringList{message});
    const QString file = run.file(written == u"报表.xls.xlsx"_s ? u"报表.xlsx"_s : written);
    QVERIFY2(QFileInfo::exists(file), qPrintable(file));
    QVERIFY(privateFile(file));
    const QString shownReason = reasonLength > 32767 ? reason.left(32766) + u"…"_s : reason;
    if (file.endsWith(u".csv"_s)) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QString text = QString::fromUtf8(bytes.mid(3));
        QString quoted = shownReason;
        quoted.replace(u"\""_s, u"\"\""_s);
        QVERIFY2(text.contains(u"服饰,123.45,\""_s + quoted + u"\",2009-01-20\r\n"_s), qPrintable(text.mid(80, 120)));
        QVERIFY(text.contains(u"支出合计：,489.45\r\n"_s));
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
    run.exec(u"INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys, addtime)"
             " VALUES (1, '加班夜宵', '餐饮', '现金钱包', 100000, '2009-01-30')"_s);
    run.exec(u"UPDATE zhanghao SET moneys = 2267000 WHERE zhname = '现金钱包'"_s);
    openFinance(run);
    QTreeWidget* accounts = ctl(u"ListView1"_s);
    pickRow(accounts, 0);
    QCOMPARE(ctl<QLineEdit>(u"Text4"_s)->text(), QStringLiteral("226.7"));
    if (change == "income"_L1) {
        ctl<QTabWidget>(u"SSTab1"_s)->setCurrentIndex(Frmcw::IncomeTab);
        fillRecord(2, u"奖金"_s, u"50"_s, u"现金钱包"_s, QString(), QDate(2009, 1, 31));
        QVERIFY(press(u"Command4"_s));
    } else if (change == "transfer"_L1) {
        Finance::transfer(1, 2, 100000, QDate(2009, 1, 31));
        Changes::announce(Changes::Finance, nullptr);
        settle();
    } else {
        ctl<QTabWidget>(u"SSTab1"_s)->setCurrentIndex(Frmcw::ExpenseTab);
        QTreeWidget* list = ctl(u"ListView3"_s);
        const qint64 id = run.scalar(u"SELECT id FROM shouzhi WHERE yuanyin = '加班夜宵'"_s).toLongLong();
        pickRow(list, rowOf(list, id));
        QVERIFY(press(u"Command13"_s));
        // A record deleted: the amount comes back, then the lunch is bought with cash again.
        Finance::Record r;
        r.kind = Finance::Expense;
        r.reason = u"晚饭"_s;
        r.account = u"现金钱包"_s;
        r.amount = 200000;
        r.day = QDate(2009, 1, 31);
        Finance::addRecord(r);
        Changes::announce(Changes::Finance, nullptr);
        settle();
    }
    const qint64 stored = balance(run, u"现金钱包"_s);
    QCOMPARE(ctl<QLineEdit>(u"Text4"_s)->text(), Money::format(stored));
    QCOMPARE(accounts->currentItem()->text(3), Money::format(stored));
    // Only the number is changed (or the amount as well), then 修改.
    ctl<QTabWidget>(u"SSTab1"_s)->setCurrentIndex(Frmcw::AccountsTab);
    ctl<QLineEdit>(u"Text2"_s)->setText(u"6222 0000"_s);
    if (!amount.isEmpty())
        ctl<QLineEdit>(u"Text4"_s)->setText(amount);
    QVERIFY(press(u"Command2"_s));
    QCOMPARE(balance(run, u"现金钱包"_s), expected * 1000);
    QCOMPARE(run.scalar(u"SELECT haoma FROM zhanghao WHERE zhname = '现金钱包'"_s).toString(),
             QStringLiteral("6222 0000"));
    QCOMPARE(ctl<QLineEdit>(u"Text4"_s)->text(), Money::format(expected * 1000));
}

void FinanceTest::helpLink()
{
    ProgramRun run;
    openFinance(run);
    auto* link = ctl<QLabel>(u"Label22"_s);
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    QCOMPARE(run.openedUrls.size(), 1);
    QVERIFY(run.openedUrls.first().toString().endsWith(u"/shuoming/9.asp"_s));
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
