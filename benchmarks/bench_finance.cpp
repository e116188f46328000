// Finance benchmark: 50,000 income and expense records over ten years on 20 accounts. Times the
// report of one year in the finance view against the raw SQL of the same rows and totals, a
// record change through the view, and the export of that year; then makes 10,000 random record
// changes, deletions, transfers and account edits through the view, and checks every balance
// against its opening amount plus its records. Run offscreen: QT_QPA_PLATFORM=offscreen bench_finance
#include "data/db.h"
#include "data/finance.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "shell/module1.h"
#include "views/finance/frmcw.h"

#include "benchsupport.h"

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr int kAccounts = 20;
constexpr int kRecords = 50000;
constexpr int kRandomOperations = 10000;
const QDate kFirstDay(2009, 1, 1);
const QDate kToday(2018, 12, 31);

double medianMs(int runs, const std::function<void()>& work)
{
    return Bench::medianMs({.runs = runs}, work);
}

void settle()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Accounts, categories and records; the sample's finance rows are replaced.
void generate()
{
    QRandomGenerator random(42);
    const QStringList income{u"工资"_s, u"奖金"_s, u"利息"_s, u"兼职收入"_s, u"其他收入"_s};
    const QStringList expense{u"餐饮"_s, u"交通"_s,     u"房租水电"_s, u"通讯"_s,    u"书籍学习"_s,
                              u"服饰"_s, u"人情礼金"_s, u"日用品"_s,   u"医疗保健"_s};
    Db::transaction([&] {
        Db::execute(u"DELETE FROM shouzhi"_s);
        Db::execute(u"DELETE FROM zhanghao"_s);
        for (int i = 0; i < kAccounts; ++i)
            Db::execute(
                u"INSERT INTO zhanghao (zhname, leixing, moneys, addtime) VALUES (?, '储蓄卡', ?, '2009-01-01')"_s,
                {QStringLiteral("帐户%1").arg(i + 1), qint64(random.bounded(1000000)) * 10000});
        QSqlQuery insert(Db::main());
        insert.prepare(u"INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu)"
                       " VALUES (?, ?, ?, ?, ?, ?, '')"_s);
        const int days = int(kFirstDay.daysTo(kToday)) + 1;
        for (int i = 0; i < kRecords; ++i) {
            const bool isIncome = random.bounded(10) < 3;
            const QStringList& names = isIncome ? income : expense;
            insert.addBindValue(isIncome ? 0 : 1);
            insert.addBindValue(QStringLiteral("记录%1").arg(i));
            insert.addBindValue(names[random.bounded(int(names.size()))]);
            insert.addBindValue(QStringLiteral("帐户%1").arg(random.bounded(kAccounts) + 1));
            insert.addBindValue(qint64(random.bounded(1, 50000000)));
            insert.addBindValue(Db::dayValue(kFirstDay.addDays(random.bounded(days))));
            if (!insert.exec())
                throw Db::Error(insert.lastError().text());
        }
    });
}

// What the report shows, straight from SQL: the rows of both sides and the sums by category.
void rawReport(const QDate& from, const QDate& to, const QStringList& incomeNames, const QStringList& expenseNames)
{
    for (int kind : {0, 1}) {
        const QStringList& names = kind == 0 ? incomeNames : expenseNames;
        QStringList marks;
        QVariantList values{kind, Db::dayValue(from), Db::dayValue(to)};
        for (const QString& n : names) {
            marks << u"?"_s;
            values << n;
        }
        const QString where = u" FROM shouzhi WHERE shouzhi = ? AND addtime >= ? AND addtime <= ? AND leixing IN ("_s
                              + marks.join(u',') + u")"_s;
        QSqlQuery rows = Db::exec(
            Db::main(),
            u"SELECT id, leixing, moneys, yuanyin, addtime"_s + where + u" ORDER BY addtime DESC, id DESC"_s, values);
        qint64 seen = 0;
        while (rows.next()) {
            for (int c = 0; c < 5; ++c)
                seen += rows.value(c).isValid();
        }
        QSqlQuery sums =
            Db::exec(Db::main(), u"SELECT leixing, sum(moneys)"_s + where + u" GROUP BY leixing"_s, values);
        while (sums.next())
            seen += sums.value(1).toLongLong() != 0;
        if (seen < 0)
            std::puts("");
    }
}

QStringList namesOf(const QList<Finance::Category>& list)
{
    QStringList names;
    for (const Finance::Category& c : list)
        names << c.name;
    return names;
}

qint64 effect(const QString& account)
{
    return Db::count(u"SELECT coalesce(sum(CASE shouzhi WHEN 1 THEN -moneys ELSE moneys END), 0) FROM shouzhi"
                     " WHERE zhanghao = ?"_s,
                     {account});
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    Clock::set(QDateTime(kToday, QTime(10, 0)));
    setMsgBoxResponder([](const QString& text, QMessageBox::StandardButtons) {
        if (text != QStringLiteral("导出成功！"))
            std::printf("message: %s\n", qPrintable(text));
        return QMessageBox::Ok;
    });
    if (!Module1::Main(folder.path()))
        return 1;
    settle();

    QElapsedTimer build;
    build.start();
    generate();
    std::printf("database: %d records over ten years, %d accounts, built in %.1f s\n", kRecords, kAccounts,
                double(build.elapsed()) / 1000.0);

    Frmcw* view = Forms::show<Frmcw>();
    view->resize(1024, 700);
    settle();
    auto* from = view->findChild<QDateEdit*>(u"DTPicker4"_s);
    auto* to = view->findChild<QDateEdit*>(u"DTPicker5"_s);
    from->setDate(QDate(2018, 1, 1));
    to->setDate(QDate(2018, 12, 31));
    auto* refresh = view->findChild<QPushButton*>(u"Command10"_s);
    const int runs = 15;

    // The report of one year: the view's lists and totals against the raw SQL.
    const QStringList incomeNames = namesOf(Finance::categories(Finance::Income));
    const QStringList expenseNames = namesOf(Finance::categories(Finance::Expense));
    refresh->click(); // warm caches
    rawReport(from->date(), to->date(), incomeNames, expenseNames);
    double viewMs = 0;
    double sqlMs = 0;
    QList<double> ratios;
    for (int round = 0; round < 3; ++round) {
        viewMs = medianMs(runs, [&] { refresh->click(); });
        sqlMs = medianMs(runs, [&] { rawReport(from->date(), to->date(), incomeNames, expenseNames); });
        ratios << viewMs / sqlMs;
    }
    std::sort(ratios.begin(), ratios.end());
    const int shown = view->findChild<QTreeWidget*>(u"ListView4"_s)->topLevelItemCount()
                      + view->findChild<QTreeWidget*>(u"ListView5"_s)->topLevelItemCount();
    std::printf("report of 2018 (%d rows): view %.2f ms, raw SQL %.2f ms, ratio %.2f (median of 3 rounds; limit 2)\n",
                shown, viewMs, sqlMs, ratios[1]);

    // A record change with its balances, through the view's modify button.
    view->findChild<QTabWidget*>(u"SSTab1"_s)->setCurrentIndex(Frmcw::IncomeTab);
    auto* incomeList = view->findChild<QTreeWidget*>(u"ListView2"_s);
    incomeList->setCurrentItem(incomeList->topLevelItem(0));
    auto* amount = view->findChild<QLineEdit*>(u"Text6"_s);
    auto* modify = view->findChild<QPushButton*>(u"Command5"_s);
    int step = 0;
    const double changeMs = medianMs(runs, [&] {
        amount->setText(QString::number(100 + step++));
        modify->click();
    });
    std::printf("record change with its balances: %.2f ms (limit 100)\n", changeMs);

    // The export of that year.
    const QString file = folder.filePath(u"report.xlsx"_s);
    Shell::setSaveFileNameHook([&](const QString&) { return file; });
    auto* exportButton = view->findChild<QPushButton*>(u"Command14"_s);
    const double exportMs = medianMs(5, [&] { exportButton->click(); });
    std::printf("export of 2018: %.1f ms (%lld bytes; limit well under 1000)\n", exportMs,
                static_cast<long long>(QFileInfo(file).size()));

    // Random record changes, deletions and transfers keep every balance exact. Each is its own
    // durable transaction, so this part takes minutes; --quick leaves it out.
    if (QCoreApplication::arguments().contains(QStringLiteral("--quick"))) {
        Forms::unload(view);
        settle();
        Db::closeAll();
        return 0;
    }
    QMap<QString, qint64> opening;
    QStringList accounts;
    QList<qint64> ids;
    for (const Finance::Account& a : Finance::accounts()) {
        accounts << a.name;
        opening[a.name] = a.amount - effect(a.name);
    }
    QList<qint64> accountIds;
    for (const Finance::Account& a : Finance::accounts())
        accountIds << a.id;
    {
        QSqlQuery q = Db::exec(Db::main(), u"SELECT id FROM shouzhi WHERE shouzhi IN (0, 1)"_s);
        while (q.next())
            ids << q.value(0).toLongLong();
    }
    QRandomGenerator random(7);
    QElapsedTimer opsTimer;
    opsTimer.start();
    // Account edits go through the view's fields, which the direct changes above never refresh:
    // a save writes only the number typed, never the balance the fields showed earlier.
    view->findChild<QTabWidget*>(u"SSTab1"_s)->setCurrentIndex(Frmcw::AccountsTab);
    auto* accountList = view->findChild<QTreeWidget*>(u"ListView1"_s);
    auto* number = view->findChild<QLineEdit*>(u"Text2"_s);
    auto* modifyAccount = view->findChild<QPushButton*>(u"Command2"_s);
    int done[4] = {0, 0, 0, 0};
    for (int i = 0; i < kRandomOperations; ++i) {
        const int action = random.bounded(4);
        if (action == 0) {
            const qint64 id = ids[random.bounded(int(ids.size()))];
            Finance::Record r = *Finance::record(id);
            r.account = accounts[random.bounded(int(accounts.size()))];
            r.amount = random.bounded(1, 50000000);
            Finance::updateRecord(Finance::Kind(r.kind), r);
        } else if (action == 1) {
            const qint64 id = ids.takeAt(random.bounded(int(ids.size())));
            Finance::removeRecord(Finance::Kind(Finance::record(id)->kind), id);
        } else if (action == 2) {
            Finance::transfer(accountIds[random.bounded(int(accountIds.size()))],
                              accountIds[random.bounded(int(accountIds.size()))], random.bounded(1, 100000000), kToday);
        } else {
            accountList->setCurrentItem(accountList->topLevelItem(random.bounded(accountList->topLevelItemCount())));
            number->setText(QString::number(i));
            modifyAccount->click();
        }
        ++done[action];
    }
    int wrong = 0;
    for (const QString& a : std::as_const(accounts)) {
        const qint64 stored = Db::count(u"SELECT moneys FROM zhanghao WHERE zhname = ?"_s, {a});
        if (stored != opening[a] + effect(a))
            ++wrong;
    }
    std::printf("%d random operations (%d changes, %d deletions, %d transfers, %d account edits) in %.1f s: %s\n",
                kRandomOperations, done[0], done[1], done[2], done[3], double(opsTimer.elapsed()) / 1000.0,
                wrong == 0 ? "every balance equals its opening amount plus its records"
                           : qPrintable(QStringLiteral("%1 balances WRONG").arg(wrong)));

    Forms::unload(view);
    settle();
    Db::closeAll();
    setMsgBoxResponder({});
    Shell::setSaveFileNameHook({});
    return wrong == 0 ? 0 : 1;
}
