#include "data/bankimport.h"

#include "data/db.h"
#include "data/finance.h"
#include "data/money.h"

#include <QHash>
#include <QSet>
#include <QSqlError>

namespace {

// What the record of an entry is named by: the payee, else the memo.
QString nameOf(const Statement::Entry& e)
{
    return e.payee.isEmpty() ? e.memo : e.payee;
}

QString keyOf(const QString& day, qint64 signedAmount, const QString& name)
{
    return day + QLatin1Char('|') + QString::number(signedAmount) + QLatin1Char('|') + name;
}

// The account's stored records: their FITIDs, and how many there are of each day, amount and name.
struct Stored
{
    QSet<QString> fitids;
    QHash<QString, int> keys;
};

Stored storedOf(const QString& account)
{
    Stored s;
    QSqlQuery q = Db::exec(Db::main(),
                           QStringLiteral("SELECT shouzhi, moneys, addtime, yuanyin, fitid FROM shouzhi"
                                          " WHERE zhanghao = ? AND shouzhi IN (0, 1)"),
                           {Db::text(account)});
    while (q.next()) {
        const qint64 amount = q.value(1).toLongLong();
        if (!q.value(4).isNull() && !q.value(4).toString().isEmpty())
            s.fitids.insert(q.value(4).toString());
        ++s.keys[keyOf(q.value(2).toString(), q.value(0).toInt() == Finance::Income ? amount : -amount,
                       q.value(3).toString())];
    }
    return s;
}

// Marks the rows already stored (or met earlier in the same file by FITID).
void markDuplicates(const QString& account, QList<BankImport::Row>& rows)
{
    Stored stored = storedOf(account);
    for (BankImport::Row& r : rows) {
        const Statement::Entry& e = r.entry;
        if (!e.fitid.isEmpty()) {
            r.duplicate = stored.fitids.contains(e.fitid);
            stored.fitids.insert(e.fitid);
            continue;
        }
        int& left = stored.keys[keyOf(Db::dayValue(e.day).toString(), e.amount, nameOf(e))];
        r.duplicate = left > 0;
        if (left > 0)
            --left;
    }
}

} // namespace

QList<BankImport::Row> BankImport::preview(const QString& account, const QList<Statement::Entry>& entries)
{
    QList<Row> rows;
    rows.reserve(entries.size());
    for (const Statement::Entry& e : entries)
        rows.append(Row{e, false, {}, true});
    markDuplicates(account, rows);

    // The category of each payee's last record, by kind.
    QHash<QString, QString> last[2];
    QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT yuanyin, shouzhi, leixing FROM shouzhi WHERE id IN"
                                                      " (SELECT max(id) FROM shouzhi WHERE shouzhi IN (0, 1)"
                                                      " GROUP BY yuanyin, shouzhi)"));
    while (q.next())
        last[q.value(1).toInt() == Finance::Income ? 0 : 1].insert(q.value(0).toString(), q.value(2).toString());
    const QList<Finance::Category> incomeCategories = Finance::categories(Finance::Income);
    const QList<Finance::Category> expenseCategories = Finance::categories(Finance::Expense);
    const QString firstIncome = incomeCategories.isEmpty() ? QString() : incomeCategories.first().name;
    const QString firstExpense = expenseCategories.isEmpty() ? QString() : expenseCategories.first().name;
    for (Row& r : rows) {
        const bool income = r.entry.amount >= 0;
        r.category = last[income ? 0 : 1].value(nameOf(r.entry), income ? firstIncome : firstExpense);
        r.ticked = !r.duplicate;
    }
    return rows;
}

BankImport::Summary BankImport::import(const QString& account, const QList<Row>& chosen)
{
    Summary summary;
    Db::transaction([&] {
        if (Db::count(QStringLiteral("SELECT count(*) FROM zhanghao WHERE zhname = ?"), {Db::text(account)}) == 0)
            throw Db::Error(QStringLiteral("帐户“%1”已经不存在了").arg(account));
        // Checked again here: another window may have written records since the preview.
        QList<Row> rows = chosen;
        markDuplicates(account, rows);
        QSqlQuery insert(Db::main());
        if (!insert.prepare(QStringLiteral("INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys, addtime,"
                                           " beizhu, fitid) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")))
            throw Db::Error(insert.lastError().text());
        const QVariant accountValue = Db::text(account);
        qint64 net = 0;
        for (int i = 0; i < rows.size(); ++i) {
            const Row& r = rows[i];
            if (r.duplicate || chosen[i].duplicate) {
                ++summary.skipped;
                continue;
            }
            if (!r.ticked)
                continue;
            const Statement::Entry& e = r.entry;
            const bool income = e.amount >= 0;
            const qint64 magnitude = income ? e.amount : -e.amount;
            insert.bindValue(0, income ? int(Finance::Income) : int(Finance::Expense));
            insert.bindValue(1, Db::text(nameOf(e)));
            insert.bindValue(2, Db::text(r.category));
            insert.bindValue(3, accountValue);
            insert.bindValue(4, magnitude);
            insert.bindValue(5, Db::dayValue(e.day));
            insert.bindValue(6, Db::text(e.payee.isEmpty() ? QString() : e.memo));
            insert.bindValue(7, e.fitid.isEmpty() ? QVariant() : QVariant(e.fitid));
            if (!insert.exec())
                throw Db::Error(insert.lastError().text());
            net += e.amount;
            if (income) {
                ++summary.incomes;
                summary.incomeTotal += magnitude;
            } else {
                ++summary.expenses;
                summary.expenseTotal += magnitude;
            }
        }
        if (net != 0)
            Db::execute(QStringLiteral("UPDATE zhanghao SET moneys = moneys + ? WHERE zhname = ?"),
                        {net, accountValue});
    });
    return summary;
}

QString BankImport::groupedAmount(qint64 amount)
{
    const bool negative = amount < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(amount) : quint64(amount);
    const quint64 whole = magnitude / quint64(Money::kScale);
    quint64 fraction = magnitude % quint64(Money::kScale);
    QString digits = QString::number(whole);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    QString decimals = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
    while (decimals.size() > 2 && decimals.endsWith(QLatin1Char('0')))
        decimals.chop(1);
    return (negative ? QStringLiteral("-") : QString()) + digits + QLatin1Char('.') + decimals;
}

QString BankImport::summaryText(const Summary& s)
{
    return QStringLiteral("导入 %1 笔：收入 %2 笔 %3 元，支出 %4 笔 %5 元，跳过重复 %6 笔")
        .arg(s.incomes + s.expenses)
        .arg(s.incomes)
        .arg(groupedAmount(s.incomeTotal))
        .arg(s.expenses)
        .arg(groupedAmount(s.expenseTotal))
        .arg(s.skipped);
}

std::optional<qint64> BankImport::accountByNumber(const QString& number)
{
    auto plain = [](QString n) {
        n.remove(QLatin1Char(' '));
        n.remove(QLatin1Char('-'));
        return n;
    };
    const QString wanted = plain(number);
    if (wanted.isEmpty())
        return std::nullopt;
    std::optional<qint64> found;
    for (const Finance::Account& a : Finance::accounts()) {
        if (plain(a.number) == wanted) {
            if (found)
                return std::nullopt;
            found = a.id;
        }
    }
    return found;
}

QString BankImport::mapping(qint64 accountId)
{
    QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT mapping FROM drmapping WHERE zhanghao = ?"), {accountId});
    return q.next() ? q.value(0).toString() : QString();
}

void BankImport::setMapping(qint64 accountId, const QString& mapping)
{
    Db::execute(QStringLiteral("INSERT OR REPLACE INTO drmapping (zhanghao, mapping) VALUES (?, ?)"),
                {accountId, Db::text(mapping)});
}
