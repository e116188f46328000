// Statement import benchmark: a CSV statement of 50,000 records read and imported into an account
// (reading, duplicate check against the account's records, categories, the inserts and the
// balance in one transaction), against the raw SQL insert of the same rows in one transaction.
// Each round starts from the same database. Run offscreen: QT_QPA_PLATFORM=offscreen bench_import
#include "data/bankimport.h"
#include "data/db.h"
#include "data/statement.h"
#include "gui/clock.h"
#include "gui/prompt.h"
#include "shell/module1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRecords = 50000;
const QString kAccount = QStringLiteral("现金钱包");

QString statement()
{
    QRandomGenerator random(5);
    const QStringList payees{QStringLiteral("超市"),     QStringLiteral("公司"),   QStringLiteral("房东"),
                             QStringLiteral("电力公司"), QStringLiteral("咖啡馆"), QStringLiteral("书店"),
                             QStringLiteral("加油站"),   QStringLiteral("餐厅")};
    QString csv = QStringLiteral("日期,金额,对方,备注\r\n");
    for (int i = 0; i < kRecords; ++i) {
        const QDate day = QDate(2009, 1, 1).addDays(random.bounded(3650));
        const qint64 cents = random.bounded(1, 10000000) * (random.bounded(10) < 3 ? 1 : -1);
        csv += QStringLiteral("%1,%2%3.%4,%5,第%6笔\r\n")
                   .arg(day.toString(Qt::ISODate), cents < 0 ? QStringLiteral("-") : QString())
                   .arg(qAbs(cents) / 100)
                   .arg(qAbs(cents) % 100, 2, 10, QLatin1Char('0'))
                   .arg(payees[random.bounded(int(payees.size()))])
                   .arg(i);
    }
    return csv;
}

void clearImported()
{
    Db::transaction([] {
        Db::execute(QStringLiteral("DELETE FROM shouzhi WHERE beizhu LIKE '第%笔'"));
        Db::execute(QStringLiteral("UPDATE zhanghao SET moneys = 0 WHERE zhname = ?"), {kAccount});
    });
}

// The same rows written by hand: one prepared insert per row and the balance, one transaction.
void rawInsert(const QList<Statement::Entry>& entries)
{
    Db::transaction([&] {
        QSqlQuery insert(Db::main());
        insert.prepare(
            QStringLiteral("INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu, fitid)"
                           " VALUES (?, ?, ?, ?, ?, ?, ?, NULL)"));
        qint64 net = 0;
        for (const Statement::Entry& e : entries) {
            insert.bindValue(0, e.amount >= 0 ? 0 : 1);
            insert.bindValue(1, e.payee);
            insert.bindValue(2, QStringLiteral("工资"));
            insert.bindValue(3, kAccount);
            insert.bindValue(4, qAbs(e.amount));
            insert.bindValue(5, Db::dayValue(e.day));
            insert.bindValue(6, e.memo);
            if (!insert.exec())
                throw Db::Error(insert.lastError().text());
            net += e.amount;
        }
        Db::execute(QStringLiteral("UPDATE zhanghao SET moneys = moneys + ? WHERE zhname = ?"), {net, kAccount});
    });
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    Clock::set(QDateTime(QDate(2019, 1, 1), QTime(10, 0)));
    setMsgBoxResponder([](const QString& text, QMessageBox::StandardButtons) {
        std::printf("message: %s\n", qPrintable(text));
        return QMessageBox::Ok;
    });
    if (!Module1::Main(folder.path()))
        return 1;
    const QString text = statement();
    const QByteArray bytes = text.toUtf8();
    std::printf("statement: %d records, %.1f MB of CSV\n", kRecords, double(bytes.size()) / 1e6);

    QList<double> ratios;
    double importMs = 0;
    double rawMs = 0;
    bool exact = true;
    for (int round = 0; round < 3; ++round) {
        clearImported();
        QElapsedTimer t;
        t.start();
        const QString decoded = Statement::decode(bytes);
        const QList<QStringList> rows = Statement::csvRows(decoded);
        const Statement::Parsed parsed =
            Statement::parseCsv(decoded, Statement::guessMapping(rows.value(0), rows.value(1)));
        const QList<BankImport::Row> preview = BankImport::preview(kAccount, parsed.entries);
        const BankImport::Summary summary = BankImport::import(kAccount, preview);
        importMs = double(t.nsecsElapsed()) / 1e6;
        const qint64 stored = Db::count(QStringLiteral("SELECT moneys FROM zhanghao WHERE zhname = ?"), {kAccount});
        exact = exact && summary.incomes + summary.expenses == kRecords
                && stored == summary.incomeTotal - summary.expenseTotal;

        clearImported();
        t.restart();
        rawInsert(parsed.entries);
        rawMs = double(t.nsecsElapsed()) / 1e6;
        ratios << importMs / rawMs;
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("import of %d records: %.0f ms (read, check, categories, insert); raw SQL insert %.0f ms;"
                " ratio %.2f (median of 3; limit 3); balance %s\n",
                kRecords, importMs, rawMs, ratios[1], exact ? "exact" : "WRONG");
    Db::closeAll();
    return exact && ratios[1] <= 3 ? 0 : 1;
}
