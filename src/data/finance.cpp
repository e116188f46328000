#include "data/finance.h"

#include "data/db.h"
#include "data/undo.h"

namespace {

const QString kAccountColumns = QStringLiteral("id, zhname, leixing, moneys, addtime, haoma, beizhu");
const QString kRecordColumns = QStringLiteral("id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu");

Finance::Account accountFrom(const Db::Row& r)
{
    Finance::Account a;
    a.id = r.id();
    a.name = r.text("zhname");
    a.category = r.text("leixing");
    a.amount = r.value("moneys").toLongLong();
    a.day = r.day("addtime");
    a.number = r.text("haoma");
    a.note = r.text("beizhu");
    return a;
}

Finance::Record recordFrom(const Db::Row& r)
{
    Finance::Record rec;
    rec.id = r.id();
    rec.kind = Finance::Kind(r.integer("shouzhi"));
    rec.reason = r.text("yuanyin");
    rec.category = r.text("leixing");
    rec.account = r.text("zhanghao");
    rec.amount = r.value("moneys").toLongLong();
    rec.day = r.day("addtime");
    rec.note = r.text("beizhu");
    return rec;
}

// A report row: what the report shows of a record.
Finance::Record reportRowFrom(const Db::Row& r)
{
    Finance::Record rec;
    rec.id = r.id();
    rec.category = r.text("leixing");
    rec.amount = r.value("moneys").toLongLong();
    rec.reason = r.text("yuanyin");
    rec.day = r.day("addtime");
    return rec;
}

Finance::Category categoryFrom(const Db::Row& r)
{
    return {r.id(), r.text("typename")};
}

Finance::CategoryTotal totalFrom(const Db::Row& r)
{
    return {r.text("leixing"), r.value("total").toLongLong()};
}

// How a record of the kind moves its account's balance.
qint64 direction(Finance::Kind kind)
{
    if (kind != Finance::Income && kind != Finance::Expense)
        throw Db::Error(QStringLiteral("收支记录的类别代码无效：%1").arg(int(kind)));
    return kind == Finance::Income ? 1 : -1;
}

void moveBalance(const QString& accountName, qint64 amount)
{
    Db::execute(QStringLiteral("UPDATE zhanghao SET moneys = moneys + ? WHERE zhname = ?"),
                {amount, Db::text(accountName)});
}

bool nameTaken(const QString& name, qint64 exceptId)
{
    return Db::count(QStringLiteral("SELECT count(*) FROM zhanghao WHERE zhname = ? AND id <> ?"),
                     {Db::text(name), exceptId})
           > 0;
}

std::optional<Finance::Record> storedRecord(Finance::Kind kind, qint64 id)
{
    return Db::first<Finance::Record>(
        QStringLiteral("SELECT %1 FROM shouzhi WHERE id = ? AND shouzhi = ?").arg(kRecordColumns), {id, int(kind)},
        recordFrom);
}

} // namespace

// ---- Accounts

QList<Finance::Account> Finance::accounts()
{
    return Db::rows<Account>(QStringLiteral("SELECT %1 FROM zhanghao ORDER BY id").arg(kAccountColumns), {},
                             accountFrom);
}

std::optional<Finance::Account> Finance::account(qint64 id)
{
    return Db::first<Account>(QStringLiteral("SELECT %1 FROM zhanghao WHERE id = ?").arg(kAccountColumns), {id},
                              accountFrom);
}

std::optional<qint64> Finance::addAccount(const Account& a)
{
    std::optional<qint64> id;
    Db::transaction([&] {
        if (nameTaken(a.name, 0))
            return;
        QSqlQuery q = Db::exec(Db::main(),
                               QStringLiteral("INSERT INTO zhanghao (zhname, leixing, moneys, addtime, haoma, beizhu)"
                                              " VALUES (?, ?, ?, ?, ?, ?)"),
                               {Db::text(a.name), Db::text(a.category), a.amount, Db::dayValue(a.day),
                                Db::text(a.number), Db::text(a.note)});
        id = q.lastInsertId().toLongLong();
    });
    return id;
}

namespace {
// The fields the user changed from what was shown, over the stored row for the others.
template <class T, class V>
void keepUnedited(V T::*field, T& edited, const T& stored, const std::optional<T>& shown)
{
    if (shown && edited.*field == (*shown).*field)
        edited.*field = stored.*field;
}
} // namespace

Finance::AccountSaved Finance::updateAccount(const Account& edited, const std::optional<Account>& shown)
{
    AccountSaved result = AccountSaved::Saved;
    Db::transaction([&] {
        const std::optional<Account> stored = account(edited.id);
        if (!stored) {
            result = AccountSaved::Missing;
            return;
        }
        Account a = edited;
        keepUnedited(&Account::name, a, *stored, shown);
        keepUnedited(&Account::category, a, *stored, shown);
        keepUnedited(&Account::amount, a, *stored, shown);
        keepUnedited(&Account::day, a, *stored, shown);
        keepUnedited(&Account::number, a, *stored, shown);
        keepUnedited(&Account::note, a, *stored, shown);
        if (nameTaken(a.name, a.id)) {
            result = AccountSaved::NameTaken;
            return;
        }
        Db::execute(QStringLiteral("UPDATE zhanghao SET zhname = ?, leixing = ?, moneys = ?, addtime = ?, haoma = ?,"
                                   " beizhu = ? WHERE id = ?"),
                    {Db::text(a.name), Db::text(a.category), a.amount, Db::dayValue(a.day), Db::text(a.number),
                     Db::text(a.note), a.id});
        // Records find their account by name: a renamed account keeps its records.
        if (stored->name != a.name)
            Db::execute(QStringLiteral("UPDATE shouzhi SET zhanghao = ? WHERE zhanghao = ?"),
                        {Db::text(a.name), Db::text(stored->name)});
    });
    return result;
}

void Finance::removeAccount(qint64 id)
{
    Undo::record([&] { Db::execute(QStringLiteral("DELETE FROM zhanghao WHERE id = ?"), {id}); });
}

// ---- Records

QList<Finance::Record> Finance::recent(Kind kind, const QDate& since, bool inclusive)
{
    return Db::rows<Record>(QStringLiteral("SELECT %1 FROM shouzhi WHERE shouzhi = ? AND addtime %2 ?"
                                           " ORDER BY addtime DESC, id DESC")
                                .arg(kRecordColumns, inclusive ? QStringLiteral(">=") : QStringLiteral(">")),
                            {int(kind), Db::dayValue(since)}, recordFrom);
}

std::optional<Finance::Record> Finance::record(qint64 id)
{
    return Db::first<Record>(QStringLiteral("SELECT %1 FROM shouzhi WHERE id = ?").arg(kRecordColumns), {id},
                             recordFrom);
}

qint64 Finance::addRecord(const Record& r)
{
    const qint64 sign = direction(Kind(r.kind));
    qint64 id = 0;
    Db::transaction([&] {
        QSqlQuery q = Db::exec(Db::main(),
                               QStringLiteral("INSERT INTO shouzhi (shouzhi, yuanyin, leixing, zhanghao, moneys,"
                                              " addtime, beizhu) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                               {r.kind, Db::text(r.reason), Db::text(r.category), Db::text(r.account), r.amount,
                                Db::dayValue(r.day), Db::text(r.note)});
        id = q.lastInsertId().toLongLong();
        moveBalance(r.account, sign * r.amount);
    });
    return id;
}

bool Finance::updateRecord(Kind kind, const Record& edited, const std::optional<Record>& shown)
{
    const qint64 sign = direction(kind);
    bool found = false;
    Db::transaction([&] {
        const std::optional<Record> stored = storedRecord(kind, edited.id);
        if (!stored)
            return;
        found = true;
        Record r = edited;
        keepUnedited(&Record::reason, r, *stored, shown);
        keepUnedited(&Record::category, r, *stored, shown);
        keepUnedited(&Record::account, r, *stored, shown);
        keepUnedited(&Record::amount, r, *stored, shown);
        keepUnedited(&Record::day, r, *stored, shown);
        keepUnedited(&Record::note, r, *stored, shown);
        // The stored amount leaves the stored account, the new amount reaches the new one.
        moveBalance(stored->account, -sign * stored->amount);
        Db::execute(QStringLiteral("UPDATE shouzhi SET yuanyin = ?, leixing = ?, zhanghao = ?, moneys = ?, addtime = ?,"
                                   " beizhu = ? WHERE id = ?"),
                    {Db::text(r.reason), Db::text(r.category), Db::text(r.account), r.amount, Db::dayValue(r.day),
                     Db::text(r.note), r.id});
        moveBalance(r.account, sign * r.amount);
    });
    return found;
}

bool Finance::removeRecord(Kind kind, qint64 id)
{
    const qint64 sign = direction(kind);
    bool found = false;
    Undo::record([&] {
        const std::optional<Record> stored = storedRecord(kind, id);
        if (!stored)
            return;
        found = true;
        moveBalance(stored->account, -sign * stored->amount);
        Db::execute(QStringLiteral("DELETE FROM shouzhi WHERE id = ?"), {id});
    });
    return found;
}

// ---- Report

Finance::ReportSide Finance::report(Kind kind, const QStringList& categories, const QDate& from, const QDate& to)
{
    ReportSide side;
    if (categories.isEmpty())
        return side;
    QStringList marks;
    QVariantList values{int(kind), Db::dayValue(from), Db::dayValue(to)};
    for (const QString& name : categories) {
        marks << QStringLiteral("?");
        values << Db::text(name);
    }
    const QString where = QStringLiteral(" FROM shouzhi WHERE shouzhi = ? AND addtime >= ? AND addtime <= ?"
                                         " AND leixing IN (%1)")
                              .arg(marks.join(QLatin1Char(',')));
    side.rows = Db::rows<Record>(QStringLiteral("SELECT id, leixing, moneys, yuanyin, addtime") + where
                                     + QStringLiteral(" ORDER BY addtime DESC, id DESC"),
                                 values, reportRowFrom);
    side.byCategory = Db::rows<CategoryTotal>(QStringLiteral("SELECT leixing, sum(moneys) AS total") + where
                                                  + QStringLiteral(" GROUP BY leixing ORDER BY total DESC, leixing"),
                                              values, totalFrom);
    for (const CategoryTotal& t : std::as_const(side.byCategory))
        side.total += t.total;
    return side;
}

// ---- Account types and categories

QList<Finance::Category> Finance::accountTypes()
{
    return Db::rows<Category>(QStringLiteral("SELECT id, typename FROM zhanghaotype ORDER BY id"), {}, categoryFrom);
}

qint64 Finance::addAccountType(const QString& name)
{
    return Db::exec(Db::main(), QStringLiteral("INSERT INTO zhanghaotype (typename) VALUES (?)"), {Db::text(name)})
        .lastInsertId()
        .toLongLong();
}

bool Finance::renameAccountType(qint64 id, const QString& name)
{
    bool found = false;
    Db::transaction([&] {
        const std::optional<Category> stored = Db::first<Category>(
            QStringLiteral("SELECT id, typename FROM zhanghaotype WHERE id = ?"), {id}, categoryFrom);
        if (!stored)
            return;
        found = true;
        Db::execute(QStringLiteral("UPDATE zhanghaotype SET typename = ? WHERE id = ?"), {Db::text(name), id});
        // Every account of the type follows the new name.
        Db::execute(QStringLiteral("UPDATE zhanghao SET leixing = ? WHERE leixing = ?"),
                    {Db::text(name), Db::text(stored->name)});
    });
    return found;
}

void Finance::removeAccountType(qint64 id)
{
    Undo::record([&] { Db::execute(QStringLiteral("DELETE FROM zhanghaotype WHERE id = ?"), {id}); });
}

QList<Finance::Category> Finance::categories(Kind kind)
{
    return Db::rows<Category>(QStringLiteral("SELECT id, typename FROM shouzhitype WHERE shouzhi = ? ORDER BY id"),
                              {int(kind)}, categoryFrom);
}

qint64 Finance::addCategory(Kind kind, const QString& name)
{
    direction(kind); // only income and expense categories exist
    return Db::exec(Db::main(), QStringLiteral("INSERT INTO shouzhitype (typename, shouzhi) VALUES (?, ?)"),
                    {Db::text(name), int(kind)})
        .lastInsertId()
        .toLongLong();
}

void Finance::renameCategory(qint64 id, const QString& name)
{
    Db::transaction([&] {
        QSqlQuery stored =
            Db::exec(Db::main(), QStringLiteral("SELECT typename, shouzhi FROM shouzhitype WHERE id = ?"), {id});
        if (!stored.next())
            return;
        const QVariant oldName = stored.value(0);
        const QVariant kind = stored.value(1);
        stored.finish();
        Db::execute(QStringLiteral("UPDATE shouzhitype SET typename = ? WHERE id = ?"), {Db::text(name), id});
        // The records of the category's kind follow the new name, so the report still finds them.
        Db::execute(QStringLiteral("UPDATE shouzhi SET leixing = ? WHERE leixing = ? AND shouzhi = ?"),
                    {Db::text(name), oldName, kind});
    });
}

void Finance::removeCategory(qint64 id)
{
    Undo::record([&] { Db::execute(QStringLiteral("DELETE FROM shouzhitype WHERE id = ?"), {id}); });
}

// ---- Transfers

Finance::TransferResult Finance::transfer(qint64 fromId, qint64 toId, qint64 amount, const QDate& day)
{
    if (fromId == toId)
        return TransferResult::SameAccount;
    TransferResult result = TransferResult::Done;
    Db::transaction([&] {
        const std::optional<Account> from = account(fromId);
        const std::optional<Account> to = account(toId);
        if (!from || !to) {
            result = TransferResult::Missing;
            return;
        }
        if (from->amount < amount) {
            result = TransferResult::NotEnough;
            return;
        }
        const QString insert = QStringLiteral("INSERT INTO shouzhi (shouzhi, yuanyin, zhanghao, moneys, addtime)"
                                              " VALUES (?, ?, ?, ?, ?)");
        Db::exec(Db::main(), insert, {int(Transfer), kTransferOut, Db::text(from->name), -amount, Db::dayValue(day)});
        Db::exec(Db::main(), insert, {int(Transfer), kTransferIn, Db::text(to->name), amount, Db::dayValue(day)});
        const QString move = QStringLiteral("UPDATE zhanghao SET moneys = moneys + ? WHERE id = ?");
        Db::execute(move, {-amount, fromId});
        Db::execute(move, {amount, toId});
    });
    return result;
}

QList<Finance::Record> Finance::transfers(const QDate& from, const QDate& to)
{
    // The two legs of a transfer are written one after the other, the outgoing leg first: an
    // outgoing leg sorts with the leg after it, and comes first within the pair.
    return Db::rows<Record>(QStringLiteral("SELECT %1 FROM shouzhi WHERE shouzhi = ? AND addtime >= ? AND addtime <= ?"
                                           " ORDER BY addtime DESC, CASE WHEN yuanyin = ? THEN id + 1 ELSE id END DESC,"
                                           " id")
                                .arg(kRecordColumns),
                            {int(Transfer), Db::dayValue(from), Db::dayValue(to), kTransferOut}, recordFrom);
}
