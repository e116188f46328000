#include "testsupport.h"

#include "data/bankimport.h"
#include "data/money.h"
#include "data/statement.h"
#include "gui/forms.h"
#include "gui/shell.h"
#include "gui/views.h"
#include "shell/mdifrm.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTreeWidget>
#include <iconv.h>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {

// A statement as a bank's OFX 1.x export lays it out: SGML headers, unclosed leaf elements.
QByteArray ofx1(const QList<std::tuple<QString, QString, QString, QString>>& rows) // day, amount, id, name
{
    QByteArray out = "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
                     "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n"
                     "<OFX>\r\n<SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS>"
                     "<DTSERVER>20090131120000<LANGUAGE>ENG</SONRS></SIGNONMSGSRSV1>\r\n"
                     "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STMTRS><CURDEF>CNY\r\n"
                     "<BANKACCTFROM><BANKID>105100000017<ACCTID>6222 0200 1234<ACCTTYPE>CHECKING</BANKACCTFROM>\r\n"
                     "<BANKTRANLIST><DTSTART>20090101<DTEND>20090131\r\n";
    for (const auto& [day, amount, id, name] : rows)
        out += QStringLiteral("<STMTTRN>\r\n<TRNTYPE>OTHER\r\n<DTPOSTED>%1[+8:CST]\r\n<TRNAMT>%2\r\n<FITID>%3\r\n"
                              "<NAME>%4\r\n<MEMO>&lt;网银&gt; &amp; 转帐\r\n</STMTTRN>\r\n")
                   .arg(day + u"120000"_s, amount, id, name)
                   .toUtf8();
    out += "</BANKTRANLIST><LEDGERBAL><BALAMT>0<DTASOF>20090131</LEDGERBAL></STMTRS></STMTTRNRS></BANKMSGSRSV1>\r\n"
           "</OFX>\r\n";
    return out;
}

const QByteArray kOfx2 = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
                         "<?OFX OFXHEADER=\"200\" VERSION=\"211\" SECURITY=\"NONE\" OLDFILEUID=\"NONE\" "
                         "NEWFILEUID=\"NONE\"?>\n"
                         "<OFX>\n <BANKMSGSRSV1><STMTTRNRS><STMTRS>\n"
                         "  <BANKACCTFROM><BANKID>1</BANKID><ACCTID>998877</ACCTID></BANKACCTFROM>\n"
                         "  <BANKTRANLIST>\n"
                         "   <STMTTRN><TRNTYPE>DEBIT</TRNTYPE><DTPOSTED>20090115</DTPOSTED>"
                         "<TRNAMT>-1234.56</TRNAMT><FITID>X1</FITID><NAME>房东</NAME></STMTTRN>\n"
                         "   <STMTTRN><TRNTYPE>CREDIT</TRNTYPE><DTPOSTED>20090120</DTPOSTED>"
                         "<TRNAMT>5000.00</TRNAMT><FITID>X2</FITID><NAME>公司</NAME><MEMO>一月工资</MEMO></STMTTRN>\n"
                         "  </BANKTRANLIST>\n </STMTRS></STMTTRNRS></BANKMSGSRSV1>\n</OFX>\n";

const QByteArray kQif = "!Type:Bank\r\nD01/05/2009\r\nT-1,234.56\r\nP超市\r\nMmemo\r\n^\r\n"
                        "D1/20'09\r\nT2,000.00\r\nP公司\r\n^\r\nD2009-01-21\r\nU-12.30\r\nT-12.30\r\nP咖啡\r\n^\r\n";

// Written in GB18030, as Chinese banks do: debit and credit columns, a quoted payee with a comma.
QByteArray csvGb18030()
{
    const QString text = QStringLiteral("交易日期,摘要,支出,收入,备注\r\n"
                                        "2009/1/5,\"超市,大卖场\",\"1,234.56\",,日用\r\n"
                                        "2009/1/20,公司,,2000,工资\r\n"
                                        "2009/1/21,咖啡,12.3,,\r\n");
    // Through the C library's converter, which always knows GB18030.
    const QByteArray utf8 = text.toUtf8();
    iconv_t cd = iconv_open("GB18030", "UTF-8");
    QByteArray out(utf8.size() * 2, '\0');
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char* to = out.data();
    size_t toLeft = size_t(out.size());
    iconv(cd, &in, &inLeft, &to, &toLeft);
    iconv_close(cd);
    out.truncate(to - out.data());
    return out;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

template <class T = QWidget>
T* imp(const QString& name)
{
    return control<T>(QStringLiteral("DlogImport"), name);
}

qint64 balance(const ProgramRun& run, const QString& account)
{
    return run.scalar(QStringLiteral("SELECT moneys FROM zhanghao WHERE zhname = ?"), {account}).toLongLong();
}

qint64 recordEffect(const ProgramRun& run, const QString& account)
{
    return run
        .scalar(QStringLiteral("SELECT coalesce(sum(CASE shouzhi WHEN 1 THEN -moneys ELSE moneys END), 0)"
                               " FROM shouzhi WHERE zhanghao = ?"),
                {account})
        .toLongLong();
}

} // namespace

class ImportTest : public QObject
{
    Q_OBJECT

private slots:
    void amounts_data();
    void amounts();
    void readers_data();
    void readers();
    void badFiles_data();
    void badFiles();
    void summaryText();
    void importTwiceAndOverlap();
    void csvColumnsRememberedPerAccount();
};

void ImportTest::amounts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<qint64>("expected"); // ten-thousandths; 1 = refused
    QTest::newRow("grouped") << "1,234.56"
                             << "." << qint64(12345600);
    QTest::newRow("european") << "1.234,56"
                              << "," << qint64(12345600);
    QTest::newRow("minus") << "-12.30"
                           << "." << qint64(-123000);
    QTest::newRow("brackets") << "(12.30)"
                              << "." << qint64(-123000);
    QTest::newRow("trailing minus") << "12.30-"
                                    << "." << qint64(-123000);
    QTest::newRow("currency") << "¥ 1,000"
                              << "." << qint64(10000000);
    QTest::newRow("cent that binary misses") << "0.07"
                                             << "." << qint64(700);
    QTest::newRow("text") << "abc"
                          << "." << qint64(1);
    QTest::newRow("five places") << "1.23456"
                                 << "." << qint64(1);
    QTest::newRow("grouping after point") << "1.234,56"
                                          << "." << qint64(1);
    QTest::newRow("empty") << ""
                           << "." << qint64(1);
}

void ImportTest::amounts()
{
    QFETCH(QString, text);
    QFETCH(QString, decimal);
    QFETCH(qint64, expected);
    const std::optional<qint64> parsed = Statement::parseAmount(text, decimal.at(0));
    if (expected == 1)
        QVERIFY(!parsed);
    else
        QCOMPARE(parsed.value_or(1), expected);
}

void ImportTest::readers_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("expected"); // day|amount|payee
    QTest::newRow("ofx 1") << ofx1(
        {{u"20090105"_s, u"-1,234.56"_s, u"A1"_s, u"超市"_s}, {u"20090120"_s, u"2000"_s, u"A2"_s, u"公司"_s}})
                           << "a.ofx" << QStringList{u"2009-01-05|-12345600|超市"_s, u"2009-01-20|20000000|公司"_s};
    QTest::newRow("ofx 2") << kOfx2 << "b.xml"
                           << QStringList{u"2009-01-15|-12345600|房东"_s, u"2009-01-20|50000000|公司"_s};
    QTest::newRow("qif") << kQif << "c.qif"
                         << QStringList{u"2009-01-05|-12345600|超市"_s, u"2009-01-20|20000000|公司"_s,
                                        u"2009-01-21|-123000|咖啡"_s};
    QTest::newRow("csv gb18030") << csvGb18030() << "d.csv"
                                 << QStringList{u"2009-01-05|-12345600|超市,大卖场"_s, u"2009-01-20|20000000|公司"_s,
                                                u"2009-01-21|-123000|咖啡"_s};
    QTest::newRow("csv utf-8 with bom") << QByteArray("\xEF\xBB\xBF日期,金额,对方\n2009-01-05,-1234.56,超市\n")
                                        << "e.csv" << QStringList{u"2009-01-05|-12345600|超市"_s};
}

void ImportTest::readers()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QStringList, expected);
    QVERIFY(!bytes.isEmpty());
    const QString text = Statement::decode(bytes);
    const Statement::Format format = Statement::detect(text, name);
    Statement::CsvMapping mapping;
    if (format == Statement::Format::Csv) {
        const QList<QStringList> rows = Statement::csvRows(text);
        mapping = Statement::guessMapping(rows.value(0), rows.value(1));
    }
    const Statement::Parsed parsed = Statement::parse(text, format, mapping);
    QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
    QStringList got;
    for (const Statement::Entry& e : parsed.entries)
        got << QStringLiteral("%1|%2|%3").arg(e.day.toString(Qt::ISODate)).arg(e.amount).arg(e.payee);
    QCOMPARE(got, expected);
    if (name == "a.ofx"_L1) {
        QCOMPARE(parsed.accountNumber, QStringLiteral("6222 0200 1234"));
        QCOMPARE(parsed.entries.first().fitid, QStringLiteral("A1"));
        QCOMPARE(parsed.entries.first().memo, QStringLiteral("<网银> & 转帐"));
    }
}

void ImportTest::badFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("start"); // the message starts so
    const QByteArray whole =
        ofx1({{u"20090105"_s, u"-1"_s, u"A1"_s, u"超市"_s}, {u"20090120"_s, u"2"_s, u"A2"_s, u"公司"_s}});
    QTest::newRow("truncated ofx") << whole.left(whole.indexOf("<FITID>A2") + 4) << "t.ofx"
                                   << "第 ";
    QTest::newRow("ofx without amount") << QByteArray(whole).replace("<TRNAMT>2\r\n", "") << "t.ofx"
                                        << "第 ";
    QTest::newRow("qif unknown date") << QByteArray("!Type:Bank\nD01/05/2009\nT1\n^\nDJan 5 2009\nT2\n^\n") << "u.qif"
                                      << "第 5 行";
    QTest::newRow("csv missing column") << QByteArray("日期,金额,对方\n2009-01-05,1,超市\n2009-01-06,2\n") << "m.csv"
                                        << "第 3 行";
    QRandomGenerator random(31);
    QByteArray garbage(10 * 1024 * 1024, '\0');
    for (char& c : garbage)
        c = char(random.bounded(256));
    QTest::newRow("10 MB of garbage") << garbage << "g.csv"
                                      << "第 ";
}

void ImportTest::badFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QString, start);
    ProgramRun run;
    QVERIFY(run.login());
    Forms::find<MDIfrm>()->showView(Views::kFinance);
    settle();
    const qint64 records = run.scalar(u"SELECT count(*) FROM shouzhi"_s).toLongLong();
    const QString path = run.file(name);
    writeFile(path, bytes);
    Shell::setOpenFileNameHook([&](const QString&) { return path; });
    QVERIFY(click(control<QPushButton>(u"Frmcw"_s, u"Command18"_s)));
    run.messages.clear();
    QVERIFY(click(imp<QPushButton>(u"Command1"_s)));
    Shell::setOpenFileNameHook({});
    QCOMPARE(run.messages.size(), 1);
    QVERIFY2(run.messages.first().startsWith(QStringLiteral("无法读取文件“%1”：%2").arg(name, start)),
             qPrintable(run.messages.first().left(200)));
    QCOMPARE(imp<QTreeWidget>(u"ListView1"_s)->topLevelItemCount(), 0);
    QVERIFY(click(imp<QPushButton>(u"Command2"_s)));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi"_s).toLongLong(), records);
}

void ImportTest::summaryText()
{
    BankImport::Summary s;
    s.incomes = 5;
    s.incomeTotal = 32000000;
    s.expenses = 43;
    s.expenseTotal = 28713500;
    s.skipped = 12;
    QCOMPARE(BankImport::summaryText(s),
             QStringLiteral("导入 48 笔：收入 5 笔 3,200.00 元，支出 43 笔 2,871.35 元，跳过重复 12 笔"));
    QCOMPARE(BankImport::groupedAmount(12345678900001), QStringLiteral("1,234,567,890.0001"));
}

// The OFX names its account by number; the second import of the same file adds nothing, an
// overlapping later statement only its new records; balances stay the opening amount plus the
// records; a payee seen before keeps its category.
void ImportTest::importTwiceAndOverlap()
{
    ProgramRun run;
    QVERIFY(run.start());
    run.exec(u"UPDATE zhanghao SET haoma = '6222-0200-1234' WHERE zhname = '工资卡'"_s);
    run.exec(u"INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys, addtime)"
             " VALUES (1, '超市', '服饰', '现金钱包', 10000, '2008-12-01')"_s);
    QVERIFY(run.login());
    Forms::find<MDIfrm>()->showView(Views::kFinance);
    settle();
    const qint64 effectBefore = recordEffect(run, u"工资卡"_s);
    const qint64 opening = balance(run, u"工资卡"_s) - effectBefore;
    const QString first = run.file(u"一月.ofx"_s);
    writeFile(first, ofx1({{u"20090105"_s, u"-1,234.56"_s, u"A1"_s, u"超市"_s},
                           {u"20090120"_s, u"2000"_s, u"A2"_s, u"公司"_s},
                           {u"20090121"_s, u"-12.30"_s, u"A3"_s, u"咖啡"_s}}));
    QString file = first;
    Shell::setOpenFileNameHook([&](const QString&) { return file; });
    QVERIFY(click(control<QPushButton>(u"Frmcw"_s, u"Command18"_s)));
    QVERIFY(click(imp<QPushButton>(u"Command1"_s)));
    QCOMPARE(imp<QComboBox>(u"Combo1"_s)->currentText(), QStringLiteral("工资卡"));
    QTreeWidget* list = imp<QTreeWidget>(u"ListView1"_s);
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(list->topLevelItem(0)->text(4), QStringLiteral("服饰")); // the payee's last category
    QCOMPARE(list->topLevelItem(1)->text(4), QStringLiteral("工资")); // the first income category
    run.messages.clear();
    QVERIFY(click(imp<QPushButton>(u"Command2"_s)));
    QCOMPARE(run.messages, QStringList{u"导入 3 笔：收入 1 笔 2,000.00 元，支出 2 笔 1,246.86 元，跳过重复 0 笔"_s});
    QCOMPARE(balance(run, u"工资卡"_s), opening + recordEffect(run, u"工资卡"_s));
    QCOMPARE(recordEffect(run, u"工资卡"_s) - effectBefore, qint64(20000000 - 12345600 - 123000));
    // The finance view shows the new balance at once.
    QTreeWidget* accounts = control<QTreeWidget>(u"Frmcw"_s, u"ListView1"_s);
    bool shown = false;
    for (int i = 0; i < accounts->topLevelItemCount(); ++i)
        shown = shown
                || (accounts->topLevelItem(i)->text(1) == u"工资卡"_s
                    && accounts->topLevelItem(i)->text(3) == Money::format(balance(run, u"工资卡"_s)));
    QVERIFY(shown);

    // The same file again: every record greyed as already there; nothing to import.
    const qint64 records = run.scalar(u"SELECT count(*) FROM shouzhi"_s).toLongLong();
    QVERIFY(click(imp<QPushButton>(u"Command1"_s)));
    QCOMPARE(list->topLevelItemCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(list->topLevelItem(i)->text(5), QStringLiteral("已存在"));
        QCOMPARE(list->topLevelItem(i)->checkState(1), Qt::Unchecked);
    }
    run.messages.clear();
    QVERIFY(click(imp<QPushButton>(u"Command2"_s)));
    QCOMPARE(run.messages, QStringList{u"没有要导入的记录！"_s});
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi"_s).toLongLong(), records);

    // An overlapping statement: two known, one new.
    file = run.file(u"一月下.ofx"_s);
    writeFile(file, ofx1({{u"20090120"_s, u"2000"_s, u"A2"_s, u"公司"_s},
                          {u"20090121"_s, u"-12.30"_s, u"A3"_s, u"咖啡"_s},
                          {u"20090125"_s, u"-100"_s, u"A4"_s, u"电费"_s}}));
    QVERIFY(click(imp<QPushButton>(u"Command1"_s)));
    run.messages.clear();
    QVERIFY(click(imp<QPushButton>(u"Command2"_s)));
    QCOMPARE(run.messages, QStringList{u"导入 1 笔：收入 0 笔 0.00 元，支出 1 笔 100.00 元，跳过重复 2 笔"_s});
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi"_s).toLongLong(), records + 1);
    QCOMPARE(balance(run, u"工资卡"_s), opening + recordEffect(run, u"工资卡"_s));

    // A QIF of the same days: known by day, amount and payee; two coffees of one day are two.
    file = run.file(u"一月.qif"_s);
    writeFile(file, "!Type:Bank\nD01/21/2009\nT-12.30\nP咖啡\n^\nD01/21/2009\nT-12.30\nP咖啡\n^\n");
    QVERIFY(click(imp<QPushButton>(u"Command1"_s)));
    QCOMPARE(list->topLevelItem(0)->text(5), QStringLiteral("已存在"));
    QCOMPARE(list->topLevelItem(1)->text(5), QString());
    Shell::setOpenFileNameHook({});
}

void ImportTest::csvColumnsRememberedPerAccount()
{
    ProgramRun run;
    QVERIFY(run.login());
    Forms::find<MDIfrm>()->showView(Views::kFinance);
    settle();
    const QString path = run.file(u"流水.csv"_s);
    // Headers the guess cannot place: the user maps them.
    writeFile(path, "a;b;c\n05.01.2009;Markt;-1.234,56\n");
    Shell::setOpenFileNameHook([&](const QString&) { return path; });
    QVERIFY(click(control<QPushButton>(u"Frmcw"_s, u"Command18"_s)));
    run.messages.clear();
    QVERIFY(click(imp<QPushButton>(u"Command1"_s)));
    QCOMPARE(run.messages.size(), 1); // no day or amount column yet
    auto pick = [](const QString& name, int data) {
        QComboBox* c = imp<QComboBox>(name);
        c->setCurrentIndex(c->findData(data));
        emit c->activated(c->currentIndex());
    };
    auto* format = imp<QComboBox>(u"Combo9"_s);
    format->setCurrentIndex(format->findText(u"d.M.yyyy"_s));
    auto* decimal = imp<QComboBox>(u"Combo10"_s);
    decimal->setCurrentIndex(1);
    pick(u"Combo3"_s, 0);
    pick(u"Combo7"_s, 1);
    run.messages.clear();
    pick(u"Combo4"_s, 2);
    QCOMPARE(run.messages, QStringList());
    QTreeWidget* list = imp<QTreeWidget>(u"ListView1"_s);
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("-1234.56"));
    QVERIFY(click(imp<QPushButton>(u"Command2"_s)));
    // Opened again for the same account, the file reads with the remembered columns.
    QVERIFY(click(imp<QPushButton>(u"Command1"_s)));
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(list->topLevelItem(0)->text(5), QStringLiteral("已存在"));
    QCOMPARE(imp<QComboBox>(u"Combo4"_s)->currentData().toInt(), 2);
    Shell::setOpenFileNameHook({});
}

QTEST_MAIN(ImportTest)
#include "test_import.moc"
