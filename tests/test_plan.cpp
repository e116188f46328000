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
            ref = a.value("r").toString();
            type = a.value("t").toString();
        } else if (sheet.name() == QLatin1String("v")) {
            const QString v = sheet.readElementText();
            book.cells[ref] = type == QLatin1String("s") ? shared.value(v.toInt()) : v;
        } else if (sheet.name() == QLatin1String("mergeCell")) {
            book.merges.append(a.value("ref").toString());
        } else if (sheet.name() == QLatin1String("col")) {
            for (int c = a.value("min").toInt(); c <= a.value("max").toInt(); ++c)
                book.widths[c] = a.value("width").toDouble();
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
        run.exec("DELETE FROM renwu");
        run.exec("DELETE FROM mubiao");
        run.exec("DELETE FROM juese");
    }
    qint64 theme(const QString& name) const
    {
        run_.exec("INSERT INTO juese (name) VALUES (?)", {name});
        return lastId();
    }
    qint64 goal(qint64 theme, const QString& title, int dueInDays) const
    {
        run_.exec("INSERT INTO mubiao (title, juese, jsdate) VALUES (?, ?, ?)",
                  {title, theme, kToday.addDays(dueInDays).toString(Qt::ISODate)});
        return lastId();
    }
    qint64 task(qint64 goal, qint64 theme, const QString& title, int order, const QVariant& day = QVariant(),
                int state = 0, const QVariant& time = QVariant()) const
    {
        run_.exec("INSERT INTO renwu (title, mubiao, juese, xuhao, today, intime, zhuangtai)"
                  " VALUES (?, ?, ?, ?, ?, ?, ?)",
                  {title, goal, theme, order, day, time, state});
        return lastId();
    }

private:
    qint64 lastId() const { return run_.scalar("SELECT last_insert_rowid()").toLongLong(); }
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
    if (!click(control<QPushButton>("Frmmain", button)))
        return nullptr;
    settle();
    return shown(window) ? control<QTableView>(window, "MSHFlexGrid1") : nullptr;
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
    QVERIFY(openGrid(run, "Command8", "FrmGuiHua"));
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(control<QWidget>("FrmGuiHua", "Image1")); // the window's own close picture
    QVERIFY(control<QPushButton>("Frmmain", "Command10")->isEnabled());
    QVERIFY(click(control<QPushButton>("Frmmain", "Command10")));
    settle();
    QVERIFY(shown("FrmDate"));
    QVERIFY(shown("FrmGuiHua"));
    const QPointer<FrmDate> date = Forms::find<FrmDate>();
    QCOMPARE(control<QTableView>("FrmDate", "MSHFlexGrid1")->model()->headerData(1, Qt::Horizontal).toString(),
             QStringLiteral("日期时间"));

    // Closing by the picture unloads the window; the next click loads it afresh.
    QTest::mouseClick(control<QWidget>("FrmDate", "Image1"), Qt::LeftButton);
    settle();
    QVERIFY(!Forms::find<FrmDate>());
    QVERIFY(click(control<QPushButton>("Frmmain", "Command10")));
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
    const qint64 theme = plans.theme("事业");
    plans.task(plans.goal(theme, "目标", dueInDays), theme, "任务", 1);
    // A goal without tasks and a theme without goals give no rows.
    plans.goal(theme, "空目标", 0);
    plans.theme("空主题");

    QTableView* grid = openGrid(run, "Command8", "FrmGuiHua");
    QVERIFY(grid);
    const QStringList expected = {"事业", "目标", kToday.addDays(dueInDays).toString("yyyy-M-d"),
                                  "任务", "1",    "未安排"};
    QCOMPARE(grid->model()->rowCount(), listed ? 1 : 0);
    if (listed)
        QCOMPARE(rowTexts(grid, 0), expected);

    // A wider range picked by hand and "统计" list it.
    control<QDateEdit>("FrmGuiHua", "DTP1")->setDate(kToday.addDays(-40));
    control<QDateEdit>("FrmGuiHua", "DTP2")->setDate(kToday.addDays(40));
    QVERIFY(press("FrmGuiHua", "Command1"));
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
    const qint64 theme = plans.theme("学习");
    plans.task(plans.goal(theme, "读完三本书", 5), theme, "读书", 2, dayIn(3), state);

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
    const qint64 work = plans.theme("事业");
    const qint64 health = plans.theme("健康");
    const qint64 report = plans.goal(work, "年度报告", 10);
    const qint64 common = plans.goal(work, "坚持", 20);
    const qint64 other = plans.goal(health, "坚持", 5);
    // Tasks by order number within their goal; goals by deadline within their theme.
    plans.task(report, work, "写提纲", 2, dayIn(1), 1);
    plans.task(report, work, "收集数据", 1, dayIn(2));
    plans.task(common, work, "晨读", 1);
    plans.task(other, health, "跑步", 1, dayIn(4), 2);

    QTableView* grid = openGrid(run, "Command8", "FrmGuiHua");
    QVERIFY(grid);
    QCOMPARE(column(grid, 1), QStringList({"事业", "事业", "事业", "健康"}));
    QCOMPARE(column(grid, 2), QStringList({"年度报告", "年度报告", "坚持", "坚持"}));
    QCOMPARE(column(grid, 4), QStringList({"收集数据", "写提纲√", "晨读", "跑步"}));
    QCOMPARE(column(grid, 6), QStringList({"2009-2-2", "2009-2-1", "未安排", "2009-2-4"}));
    QCOMPARE(grid->rowSpan(0, 1), 3);
    QCOMPARE(grid->rowSpan(0, 2), 2);
    // Two goals of one title under different themes stay apart.
    QCOMPARE(grid->rowSpan(2, 2), 1);
    QCOMPARE(grid->rowSpan(3, 2), 1);
    QCOMPARE(grid->rowSpan(3, 1), 1);

    const QString file = run.file("规划.xlsx");
    run.savePath = file;
    QVERIFY(press("FrmGuiHua", "Command2"));
    QCOMPARE(run.messages, QStringList{"导出成功！"});
    QCOMPARE(run.saveFilters, QStringList{"Excel文件 (*.xlsx);;CSV (UTF-8) (*.csv)"});
    const Workbook book = readWorkbook(file);
    QVERIFY(book.ok);
    const QStringList headers = {"行动主题", "我的目标", "目标预定完成时间", "相关任务", "任务排序", "时间安排"};
    for (int c = 0; c < 6; ++c)
        QCOMPARE(book.cells.value(QChar('A' + c) + QString("1")), headers[c]);
    QCOMPARE(book.cells.value("A2"), QString("事业"));
    QCOMPARE(book.cells.value("B2"), QString("年度报告"));
    // Days are date cells: the serial number of the day.
    QCOMPARE(book.cells.value("C2"), QString::number(QDate(1899, 12, 30).daysTo(QDate(2009, 2, 10))));
    QCOMPARE(book.cells.value("D3"), QString("写提纲√"));
    QCOMPARE(book.cells.value("E2"), QString("1"));
    QCOMPARE(book.cells.value("F4"), QString("未安排"));
    QCOMPARE(book.cells.value("A5"), QString("健康"));
    QCOMPARE(book.cells.value("B5"), QString("坚持"));
    QVERIFY(!book.cells.contains("A3")); // covered by the merge
    QStringList merges = book.merges;
    merges.sort();
    QCOMPARE(merges, QStringList({"A2:A4", "B2:B3"}));
    const QList<double> widths = {15, 15, 15, 50, 15, 15};
    for (int c = 1; c <= 6; ++c)
        QVERIFY2(book.widths.value(c) >= widths[c - 1] && book.widths.value(c) < widths[c - 1] + 1,
                 qPrintable(QString::number(book.widths.value(c))));
    // Only the workbook is left in the folder.
    QCOMPARE(QDir(run.folder()).entryList({"*.part"}, QDir::Files | QDir::Hidden), QStringList());
}

void PlanTest::byDateListsInsideTheRange()
{
    ProgramRun run;
    QVERIFY(run.start());
    const Plans plans(run);
    const qint64 theme = plans.theme("家庭");
    const qint64 goal = plans.goal(theme, "陪伴父母", 40);
    const qint64 gone = plans.goal(theme, "旧目标", 40);
    // Done, so that the question about open tasks of earlier days leaves it on its day.
    plans.task(goal, theme, "第一天", 1, dayIn(-30), 1);
    plans.task(goal, theme, "最后一天", 1, dayIn(30));
    plans.task(goal, theme, "不安排", 1);
    plans.task(goal, theme, "买菜", 3, dayIn(2), 0, "18:00:00");
    plans.task(goal, theme, "做饭", 2, dayIn(2), 0, "08:30:00");
    plans.task(gone, 999, "打电话", 1, dayIn(2));
    plans.task(goal, theme, "散步", 4, dayIn(-29), 1, "19:00:00");
    run.exec("DELETE FROM mubiao WHERE id = ?", {gone});

    QTableView* grid = openGrid(run, "Command10", "FrmDate");
    QVERIFY(grid);
    QCOMPARE(grid->model()->rowCount(), 4);
    QCOMPARE(rowTexts(grid, 0), QStringList({"2009-1-2", "家庭", "陪伴父母", "散步√", "4", "19:00:00"}));
    // Three tasks on one day: the day once over them, the task of the deleted goal and theme
    // with empty cells.
    QCOMPARE(column(grid, 1).mid(1), QStringList({"2009-2-2", "2009-2-2", "2009-2-2"}));
    QCOMPARE(grid->rowSpan(1, 1), 3);
    QCOMPARE(grid->rowSpan(0, 1), 1);
    QCOMPARE(column(grid, 4).mid(1), QStringList({"打电话", "做饭", "买菜"}));
    QCOMPARE(rowTexts(grid, 1), QStringList({"2009-2-2", "", "", "打电话", "1", "非提醒任务"}));
    QCOMPARE(column(grid, 6).mid(2), QStringList({"8:30:00", "18:00:00"}));
    QCOMPARE(grid->currentIndex().column(), 1);

    const QString file = run.file("按日期.xlsx");
    run.savePath = run.file("按日期"); // the extension is added
    QVERIFY(press("FrmDate", "Command2"));
    QCOMPARE(run.messages, QStringList{"导出成功！"});
    const Workbook book = readWorkbook(file);
    QVERIFY(book.ok);
    QCOMPARE(book.cells.value("A1"), QString("日期时间"));
    QCOMPARE(book.cells.value("A3"), QString::number(QDate(1899, 12, 30).daysTo(QDate(2009, 2, 2))));
    QCOMPARE(book.cells.value("D5"), QString("买菜"));
    QCOMPARE(book.cells.value("C3"), QString());
    QCOMPARE(book.merges, QStringList{"A3:A5"});
    // Times are time cells: the fraction of the day.
    QVERIFY(qAbs(book.cells.value("F4").toDouble() - 8.5 / 24) < 1e-9);
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
    QVERIFY(folder.mkdir("folder.xlsx"));
    QVERIFY(folder.mkdir("readonly"));
    QVERIFY(QFile::setPermissions(run.file("readonly"), QFile::ReadOwner | QFile::ExeOwner));
    if (target.startsWith("readonly") && geteuid() == 0)
        QSKIP("a superuser writes into read-only folders");
    QFile old(run.file("old.xlsx"));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();

    QVERIFY(openGrid(run, "Command8", "FrmGuiHua"));
    QVERIFY(Forms::find<FrmGuiHua>()->table().rows.size() > 0); // the sample's plans
    run.savePath = target.isEmpty() ? QString() : run.file(target);
    QVERIFY(press("FrmGuiHua", "Command2"));
    // A failure names its reason after the message.
    QCOMPARE(run.messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(run.messages.first().startsWith(message), qPrintable(run.messages.first()));
    QVERIFY(QFileInfo(run.file("folder.xlsx")).isDir());
    if (message == "导出成功！")
        QVERIFY(readWorkbook(run.savePath).cells.value("A1") == "行动主题");
    else if (!target.isEmpty() && target != "folder.xlsx")
        QVERIFY(!QFileInfo::exists(run.savePath));
    // No partial file anywhere.
    for (const QString& sub : {QString("."), QString("readonly"), QString("folder.xlsx")})
        QCOMPARE(QDir(run.file(sub)).entryList({"*.part"}, QDir::Files | QDir::Hidden), QStringList());
    QFile::setPermissions(run.file("readonly"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_MAIN(PlanTest)
#include "test_plan.moc"
