#include "testsupport.h"

#include "gui/helpers.h"

#include <QPointer>

#include "gui/forms.h"
#include "views/plan/frmdate.h"
#include "views/plan/frmguihua.h"

#include <QBrush>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMap>
#include <QPushButton>
#include <QTableView>
#include <QXmlStreamReader>

#include <minizip/unzip.h>
#include <unistd.h>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
const QDate kToday(2009, 1, 31);
const QColor kGreen = StateColour::kDone;
const QColor kRed = StateColour::kRed;

// A workbook read back: cell texts by reference ("B2"), merged ranges ("A2:A3") and column
// widths by column number (1 for A).
struct Workbook
{
    bool ok = false;
    QMap<QString, QString> cells;
    QStringList merges;
    QMap<int, double> widths;
};

QByteArray zipEntry(const QString& file, const char* name)
{
    unzFile zip = unzOpen64(QFile::encodeName(file).constData());
    if (!zip)
        return {};
    QByteArray data;
    if (unzLocateFile(zip, name, 0) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK) {
        char buffer[8192];
        int n = 0;
        while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0)
            data.append(buffer, n);
        unzCloseCurrentFile(zip);
    }
    unzClose(zip);
    return data;
}

Workbook readWorkbook(const QString& file)
{
    Workbook book;
    QStringList shared;
    QXmlStreamReader strings(zipEntry(file, "xl/sharedStrings.xml"));
    while (!strings.atEnd()) {
        if (strings.readNext() == QXmlStreamReader::StartElement && strings.name() == QLatin1String("si"))
            shared.append(QString());
        else if (strings.isStartElement() && strings.name() == QLatin1String("t"))
            shared.last() += strings.readElementText();
    }
    const QByteArray sheetXml = zipEntry(file, "xl/worksheets/sheet1.xml");
    QXmlStreamReader sheet(sheetXml);
    QString ref, type;
    while (!sheet.atEnd()) {
        if (sheet.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = sheet.attributes();
        if (sheet.name() == QLatin1String("c")) {
            ref = a.value(u"r"_s).toString();
            type = a.value(u"t"_s).toString();
        } else if (sheet.name() == QLatin1String("v")) {
            const QString v = sheet.readElementText();
            book.cells[ref] = type == QLatin1String("s") ? shared.value(v.toInt()) : v;
        } else if (sheet.name() == QLatin1String("mergeCell")) {
            book.merges.append(a.value(u"ref"_s).toString());
        } else if (sheet.name() == QLatin1String("col")) {
            for (int c = a.value(u"min"_s).toInt(); c <= a.value(u"max"_s).toInt(); ++c)
                book.widths[c] = a.value(u"width"_s).toDouble();
        }
    }
    book.ok = !sheetXml.isEmpty() && !sheet.hasError();
    return book;
}

// The test's own themes, goals and tasks in place of the sample's.
class Plans
{
public:
    explicit Plans(const ProgramRun& run) : run_(run)
    {
        run.exec(u"DELETE FROM renwu"_s);
        run.exec(u"DELETE FROM mubiao"_s);
        run.exec(u"DELETE FROM juese"_s);
    }
    qint64 theme(const QString& name) const
    {
        run_.exec(u"INSERT INTO juese (name) VALUES (?)"_s, {name});
        return lastId();
    }
    qint64 goal(qint64 theme, const QString& title, int dueInDays) const
    {
        run_.exec(u"INSERT INTO mubiao (title, juese, jsdate) VALUES (?, ?, ?)"_s,
                  {title, theme, kToday.addDays(dueInDays).toString(Qt::ISODate)});
        return lastId();
    }
    qint64 task(qint64 goal, qint64 theme, const QString& title, int order, const QVariant& day = QVariant(),
                int state = 0, const QVariant& time = QVariant()) const
    {
        run_.exec(u"INSERT INTO renwu (title, mubiao, juese, xuhao, today, intime, zhuangtai)"
                  " VALUES (?, ?, ?, ?, ?, ?, ?)"_s,
                  {title, goal, theme, order, day, time, state});
        return lastId();
    }

private:
    qint64 lastId() const { return run_.scalar(u"SELECT last_insert_rowid()"_s).toLongLong(); }
    const ProgramRun& run_;
};

QString dayIn(int days)
{
    return kToday.addDays(days).toString(Qt::ISODate);
}

// Opens the window with the today view's button as a user would.
QTableView* openGrid(ProgramRun& run, const QString& button, const QString& window)
{
    if (!run.login())
        return nullptr;
    run.messages.clear();
    if (!click(control<QPushButton>(u"Frmmain"_s, button)))
        return nullptr;
    settle();
    return shown(window) ? control<QTableView>(window, u"MSHFlexGrid1"_s) : nullptr;
}

QStringList column(const QTableView* grid, int c)
{
    QStringList texts;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        texts << grid->model()->index(r, c).data().toString();
    return texts;
}

QStringList rowTexts(const QTableView* grid, int r)
{
    QStringList texts;
    for (int c = 1; c <= 6; ++c)
        texts << grid->model()->index(r, c).data().toString();
    return texts;
}

[[nodiscard]] bool press(const QString& window, const QString& name)
{
    return click(control<QPushButton>(window, name));
}
} // namespace

class PlanTest : public QObject
{
    Q_OBJECT

private slots:
    void buttonsOpenWindowsModelessly();
    void deadlineRange_data();
    void deadlineRange();
    void taskStates_data();
    void taskStates();
    void overviewMergesThemesAndGoals();
    void byDateListsInsideTheRange();
    void exportFailures_data();
    void exportFailures();
};

void PlanTest::buttonsOpenWindowsModelessly()
{
    ProgramRun run;
    QVERIFY(openGrid(run, u"Command8"_s, u"FrmGuiHua"_s));
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(control<QWidget>(u"FrmGuiHua"_s, u"Image1"_s)); // the window's own close picture
    QVERIFY(control<QPushButton>(u"Frmmain"_s, u"Command10"_s)->isEnabled());
    QVERIFY(click(control<QPushButton>(u"Frmmain"_s, u"Command10"_s)));
    settle();
    QVERIFY(shown(u"FrmDate"_s));
    QVERIFY(shown(u"FrmGuiHua"_s));
    const QPointer<FrmDate> date = Forms::find<FrmDate>();
    QCOMPARE(control<QTableView>(u"FrmDate"_s, u"MSHFlexGrid1"_s)->model()->headerData(1, Qt::Horizontal).toString(),
             QStringLiteral("日期时间"));

    // Closing by the picture unloads the window; the next click loads it afresh.
    QTest::mouseClick(control<QWidget>(u"FrmDate"_s, u"Image1"_s), Qt::LeftButton);
    settle();
    QVERIFY(!Forms::find<FrmDate>());
    QVERIFY(click(control<QPushButton>(u"Frmmain"_s, u"Command10"_s)));
    settle();
    // A new window, not the old one again (which is gone: its address may be reused).
    QVERIFY(!date);
    QVERIFY(Forms::find<FrmDate>());
    QVERIFY(run.messages.isEmpty());
}

void PlanTest::deadlineRange_data()
{
    QTest::addColumn<int>("dueInDays");
    QTest::addColumn<bool>("listed");
    QTest::newRow("31 days ahead") << 31 << false;
    QTest::newRow("30 days ahead") << 30 << true;
    QTest::newRow("exactly 30 days ago") << -30 << true;
    QTest::newRow("31 days ago") << -31 << false;
}

void PlanTest::deadlineRange()
{
    QFETCH(int, dueInDays);
    QFETCH(bool, listed);
    ProgramRun run;
    QVERIFY(run.start());
    const Plans plans(run);
    const qint64 theme = plans.theme(u"事业"_s);
    plans.task(plans.goal(theme, u"目标"_s, dueInDays), theme, u"任务"_s, 1);
    // A goal without tasks and a theme without goals give no rows.
    plans.goal(theme, u"空目标"_s, 0);
    plans.theme(u"空主题"_s);

    QTableView* grid = openGrid(run, u"Command8"_s, u"FrmGuiHua"_s);
    QVERIFY(grid);
    const QStringList expected = {u"事业"_s, u"目标"_s, kToday.addDays(dueInDays).toString(u"yyyy-M-d"_s),
                                  u"任务"_s, u"1"_s,    u"未安排"_s};
    QCOMPARE(grid->model()->rowCount(), listed ? 1 : 0);
    if (listed)
        QCOMPARE(rowTexts(grid, 0), expected);

    // A wider range picked by hand and "统计" list it.
    control<QDateEdit>(u"FrmGuiHua"_s, u"DTP1"_s)->setDate(kToday.addDays(-40));
    control<QDateEdit>(u"FrmGuiHua"_s, u"DTP2"_s)->setDate(kToday.addDays(40));
    QVERIFY(press(u"FrmGuiHua"_s, u"Command1"_s));
    QCOMPARE(rowTexts(grid, 0), expected);
}

void PlanTest::taskStates_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QColor>("colour"); // invalid: no colour of its own
    for (const auto& [window, button] : {std::pair{"FrmGuiHua", "Command8"}, std::pair{"FrmDate", "Command10"}}) {
        const QByteArray w(window);
        QTest::newRow(w + " open") << window << button << 0 << "读书" << QColor(Qt::black);
        QTest::newRow(w + " completed") << window << button << 1 << "读书√" << kGreen;
        QTest::newRow(w + " abandoned") << window << button << 2 << "读书" << kRed;
        QTest::newRow(w + " delayed") << window << button << 3 << "读书" << QColor();
    }
}

void PlanTest::taskStates()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(int, state);
    QFETCH(QString, shown);
    QFETCH(QColor, colour);
    ProgramRun run;
    QVERIFY(run.start());
    const Plans plans(run);
    const qint64 theme = plans.theme(u"学习"_s);
    plans.task(plans.goal(theme, u"读完三本书"_s, 5), theme, u"读书"_s, 2, dayIn(3), state);

    QTableView* grid = openGrid(run, button, window);
    QVERIFY(grid);
    QCOMPARE(grid->model()->rowCount(), 1);
    const QModelIndex task = grid->model()->index(0, 4);
    QCOMPARE(task.data().toString(), shown);
    const QVariant brush = task.data(Qt::ForegroundRole);
    QCOMPARE(brush.isValid() ? brush.value<QBrush>().color() : QColor(), colour);
    // The other cells keep the ordinary colour.
    QVERIFY(!grid->model()->index(0, 1).data(Qt::ForegroundRole).isValid());
}

void PlanTest::overviewMergesThemesAndGoals()
{
    ProgramRun run;
    QVERIFY(run.start());
    const Plans plans(run);
    const qint64 work = plans.theme(u"事业"_s);
    const qint64 health = plans.theme(u"健康"_s);
    const qint64 report = plans.goal(work, u"年度报告"_s, 10);
    const qint64 common = plans.goal(work, u"坚持"_s, 20);
    const qint64 other = plans.goal(health, u"坚持"_s, 5);
    // Tasks by order number within their goal; goals by deadline within their theme.
    plans.task(report, work, u"写提纲"_s, 2, dayIn(1), 1);
    plans.task(report, work, u"收集数据"_s, 1, dayIn(2));
    plans.task(common, work, u"晨读"_s, 1);
    plans.task(other, health, u"跑步"_s, 1, dayIn(4), 2);

    QTableView* grid = openGrid(run, u"Command8"_s, u"FrmGuiHua"_s);
    QVERIFY(grid);
    QCOMPARE(column(grid, 1), QStringList({u"事业"_s, u"事业"_s, u"事业"_s, u"健康"_s}));
    QCOMPARE(column(grid, 2), QStringList({u"年度报告"_s, u"年度报告"_s, u"坚持"_s, u"坚持"_s}));
    QCOMPARE(column(grid, 4), QStringList({u"收集数据"_s, u"写提纲√"_s, u"晨读"_s, u"跑步"_s}));
    QCOMPARE(column(grid, 6), QStringList({u"2009-2-2"_s, u"2009-2-1"_s, u"未安排"_s, u"2009-2-4"_s}));
    QCOMPARE(grid->rowSpan(0, 1), 3);
    QCOMPARE(grid->rowSpan(0, 2), 2);
    // Two goals of one title under different themes stay apart.
    QCOMPARE(grid->rowSpan(2, 2), 1);
    QCOMPARE(grid->rowSpan(3, 2), 1);
    QCOMPARE(grid->rowSpan(3, 1), 1);

    const QString file = run.file(u"规划.xlsx"_s);
    run.savePath = file;
    QVERIFY(press(u"FrmGuiHua"_s, u"Command2"_s));
    QCOMPARE(run.messages, QStringList{u"导出成功！"_s});
    QCOMPARE(run.saveFilters, QStringList{u"Excel文件 (*.xlsx);;CSV (UTF-8) (*.csv)"_s});
    const Workbook book = readWorkbook(file);
    QVERIFY(book.ok);
    const QStringList headers = {u"行动主题"_s, u"我的目标"_s, u"目标预定完成时间"_s,
                                 u"相关任务"_s, u"任务排序"_s, u"时间安排"_s};
    for (int c = 0; c < 6; ++c)
        QCOMPARE(book.cells.value(QChar('A' + c) + u"1"_s), headers[c]);
    QCOMPARE(book.cells.value(u"A2"_s), u"事业"_s);
    QCOMPARE(book.cells.value(u"B2"_s), u"年度报告"_s);
    // Days are date cells: the serial number of the day.
    QCOMPARE(book.cells.value(u"C2"_s), QString::number(QDate(1899, 12, 30).daysTo(QDate(2009, 2, 10))));
    QCOMPARE(book.cells.value(u"D3"_s), u"写提纲√"_s);
    QCOMPARE(book.cells.value(u"E2"_s), u"1"_s);
    QCOMPARE(book.cells.value(u"F4"_s), u"未安排"_s);
    QCOMPARE(book.cells.value(u"A5"_s), u"健康"_s);
    QCOMPARE(book.cells.value(u"B5"_s), u"坚持"_s);
    QVERIFY(!book.cells.contains(u"A3"_s)); // covered by the merge
    QStringList merges = book.merges;
    merges.sort();
    QCOMPARE(merges, QStringList({u"A2:A4"_s, u"B2:B3"_s}));
    const QList<double> widths = {15, 15, 15, 50, 15, 15};
    for (int c = 1; c <= 6; ++c)
        QVERIFY2(book.widths.value(c) >= widths[c - 1] && book.widths.value(c) < widths[c - 1] + 1,
                 qPrintable(QString::number(book.widths.value(c))));
    // Only the workbook is left in the folder.
    QCOMPARE(QDir(run.folder()).entryList({u"*.part"_s}, QDir::Files | QDir::Hidden), QStringList());
}

void PlanTest::byDateListsInsideTheRange()
{
    ProgramRun run;
    QVERIFY(run.start());
    const Plans plans(run);
    const qint64 theme = plans.theme(u"家庭"_s);
    const qint64 goal = plans.goal(theme, u"陪伴父母"_s, 40);
    const qint64 gone = plans.goal(theme, u"旧目标"_s, 40);
    // Done, so that the question about open tasks of earlier days leaves it on its day.
    plans.task(goal, theme, u"第一天"_s, 1, dayIn(-30), 1);
    plans.task(goal, theme, u"最后一天"_s, 1, dayIn(30));
    plans.task(goal, theme, u"不安排"_s, 1);
    plans.task(goal, theme, u"买菜"_s, 3, dayIn(2), 0, u"18:00:00"_s);
    plans.task(goal, theme, u"做饭"_s, 2, dayIn(2), 0, u"08:30:00"_s);
    plans.task(gone, 999, u"打电话"_s, 1, dayIn(2));
    plans.task(goal, theme, u"散步"_s, 4, dayIn(-29), 1, u"19:00:00"_s);
    run.exec(u"DELETE FROM mubiao WHERE id = ?"_s, {gone});

    QTableView* grid = openGrid(run, u"Command10"_s, u"FrmDate"_s);
    QVERIFY(grid);
    QCOMPARE(grid->model()->rowCount(), 4);
    QCOMPARE(rowTexts(grid, 0),
             QStringList({u"2009-1-2"_s, u"家庭"_s, u"陪伴父母"_s, u"散步√"_s, u"4"_s, u"19:00:00"_s}));
    // Three tasks on one day: the day once over them, the task of the deleted goal and theme
    // with empty cells.
    QCOMPARE(column(grid, 1).mid(1), QStringList({u"2009-2-2"_s, u"2009-2-2"_s, u"2009-2-2"_s}));
    QCOMPARE(grid->rowSpan(1, 1), 3);
    QCOMPARE(grid->rowSpan(0, 1), 1);
    QCOMPARE(column(grid, 4).mid(1), QStringList({u"打电话"_s, u"做饭"_s, u"买菜"_s}));
    QCOMPARE(rowTexts(grid, 1), QStringList({u"2009-2-2"_s, u""_s, u""_s, u"打电话"_s, u"1"_s, u"非提醒任务"_s}));
    QCOMPARE(column(grid, 6).mid(2), QStringList({u"8:30:00"_s, u"18:00:00"_s}));
    QCOMPARE(grid->currentIndex().column(), 1);

    const QString file = run.file(u"按日期.xlsx"_s);
    run.savePath = run.file(u"按日期"_s); // the extension is added
    QVERIFY(press(u"FrmDate"_s, u"Command2"_s));
    QCOMPARE(run.messages, QStringList{u"导出成功！"_s});
    const Workbook book = readWorkbook(file);
    QVERIFY(book.ok);
    QCOMPARE(book.cells.value(u"A1"_s), u"日期时间"_s);
    QCOMPARE(book.cells.value(u"A3"_s), QString::number(QDate(1899, 12, 30).daysTo(QDate(2009, 2, 2))));
    QCOMPARE(book.cells.value(u"D5"_s), u"买菜"_s);
    QCOMPARE(book.cells.value(u"C3"_s), QString());
    QCOMPARE(book.merges, QStringList{u"A3:A5"_s});
    // Times are time cells: the fraction of the day.
    QVERIFY(qAbs(book.cells.value(u"F4"_s).toDouble() - 8.5 / 24) < 1e-9);
    QVERIFY(book.widths.value(1) >= 20 && book.widths.value(1) < 21);
    QVERIFY(book.widths.value(4) >= 50 && book.widths.value(4) < 51);
}

void PlanTest::exportFailures_data()
{
    QTest::addColumn<QString>("target"); // inside the program folder; "" cancels the dialog
    QTest::addColumn<QString>("message");
    QTest::newRow("cancelled") << ""
                               << "";
    QTest::newRow("missing folder") << "没有/规划.xlsx"
                                    << "没有检测到EXCEL";
    QTest::newRow("folder is a file") << "mylive.dc/规划.xlsx"
                                      << "没有检测到EXCEL";
    QTest::newRow("target is a folder") << "folder.xlsx"
                                        << "没有检测到EXCEL";
    QTest::newRow("read-only folder") << "readonly/规划.xlsx"
                                      << "没有检测到EXCEL";
    QTest::newRow("existing file replaced") << "old.xlsx"
                                            << "导出成功！";
}

void PlanTest::exportFailures()
{
    QFETCH(QString, target);
    QFETCH(QString, message);
    ProgramRun run;
    QVERIFY(run.start());
    QDir folder(run.folder());
    QVERIFY(folder.mkdir(u"folder.xlsx"_s));
    QVERIFY(folder.mkdir(u"readonly"_s));
    QVERIFY(QFile::setPermissions(run.file(u"readonly"_s), QFile::ReadOwner | QFile::ExeOwner));
    if (target.startsWith(u"readonly"_s) && geteuid() == 0)
        QSKIP("a superuser writes into read-only folders");
    QFile old(run.file(u"old.xlsx"_s));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();

    QVERIFY(openGrid(run, u"Command8"_s, u"FrmGuiHua"_s));
    QVERIFY(Forms::find<FrmGuiHua>()->table().rows.size() > 0); // the sample's plans
    run.savePath = target.isEmpty() ? QString() : run.file(target);
    QVERIFY(press(u"FrmGuiHua"_s, u"Command2"_s));
    // A failure names its reason after the message.
    QCOMPARE(run.messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(run.messages.first().startsWith(message), qPrintable(run.messages.first()));
    QVERIFY(QFileInfo(run.file(u"folder.xlsx"_s)).isDir());
    if (message == u"导出成功！"_s)
        QVERIFY(readWorkbook(run.savePath).cells.value(u"A1"_s) == u"行动主题"_s);
    else if (!target.isEmpty() && target != "folder.xlsx"_L1)
        QVERIFY(!QFileInfo::exists(run.savePath));
    // No partial file anywhere.
    for (const QString& sub : {u"."_s, u"readonly"_s, u"folder.xlsx"_s})
        QCOMPARE(QDir(run.file(sub)).entryList({u"*.part"_s}, QDir::Files | QDir::Hidden), QStringList());
    QFile::setPermissions(run.file(u"readonly"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_MAIN(PlanTest)
#include "test_plan.moc"
