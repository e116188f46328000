#include "data/undo.h"

#include "data/db.h"

#include <QSqlQuery>
#include <algorithm>

namespace {

// The tables a deletion may touch, parents before their children. Names and columns come from
// this list and the schema, never from the user.
const QStringList& trackedTables()
{
    static const QStringList tables = {
        QStringLiteral("juese"),        QStringLiteral("mubiao"),    QStringLiteral("renwu"),
        QStringLiteral("chongfu"),      QStringLiteral("fftype"),    QStringLiteral("fangfa"),
        QStringLiteral("gxlb"),         QStringLiteral("renji"),     QStringLiteral("rjxx"),
        QStringLiteral("zhanghaotype"), QStringLiteral("zhanghao"),  QStringLiteral("shouzhitype"),
        QStringLiteral("shouzhi"),      QStringLiteral("mengxiang"), QStringLiteral("snooze"),
    };
    return tables;
}

// Rows that go with a deletion without the user ever seeing them: not counted.
bool hiddenTable(const QString& table)
{
    return table == QLatin1String("snooze");
}

// Which row a row belongs to: child.column holds parent.key. A deleted row whose parent existed
// when it was deleted can come back only while that parent is still there.
struct Relation
{
    const char* child;
    const char* column;
    const char* parent;
    const char* key;
};

constexpr Relation kRelations[] = {
    {"renwu", "mubiao", "mubiao", "id"},     {"renwu", "juese", "juese", "id"},
    {"mubiao", "juese", "juese", "id"},      {"rjxx", "renji", "renji", "id"},
    {"fangfa", "ltype", "fftype", "fftype"}, {"shouzhi", "zhanghao", "zhanghao", "zhname"},
};

struct Table
{
    QString name;
    QStringList columns;
    QString key;               // the primary key column
    QStringList uniqueColumns; // single columns with a unique index of their own
};

QString quoted(const QString& identifier)
{
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

QList<Table>& tablesOfConnection()
{
    static QList<Table> tables;
    return tables;
}

const Table* tableNamed(const QString& name)
{
    for (const Table& t : tablesOfConnection())
        if (t.name == name)
            return &t;
    return nullptr;
}

int columnIndex(const Table& t, const QString& column)
{
    return int(t.columns.indexOf(column));
}

QString rowsOf(const QString& table)
{
    return quoted(QStringLiteral("undo_rows_") + table);
}

Undo::Step& lastStep()
{
    static Undo::Step step;
    return step;
}

// Creates the undo tables and triggers on the current connection, once per connection (they are
// temporary: a new connection starts a new session with an empty log).
void ensureSetup()
{
    const QSqlDatabase db = Db::main();
    if (Db::count(QStringLiteral("SELECT count(*) FROM sqlite_temp_master WHERE name = 'undo_gone'")) > 0
        && !tablesOfConnection().isEmpty())
        return;

    QList<Table> tables;
    for (const QString& name : trackedTables()) {
        Table t;
        t.name = name;
        QSqlQuery info = Db::exec(db, QStringLiteral("SELECT name, pk FROM pragma_table_info(?, 'main')"), {name});
        while (info.next()) {
            t.columns << info.value(0).toString();
            if (info.value(1).toInt() == 1)
                t.key = info.value(0).toString();
        }
        if (t.columns.isEmpty())
            continue; // a table this file does not have
        QSqlQuery indexes =
            Db::exec(db,
                     QStringLiteral("SELECT i.name FROM pragma_index_list(?, 'main') AS i WHERE i.\"unique\" = 1"
                                    " AND i.partial = 0 AND i.origin <> 'pk'"
                                    " AND (SELECT count(*) FROM pragma_index_info(i.name, 'main')) = 1"),
                     {name});
        while (indexes.next()) {
            QSqlQuery col = Db::exec(db, QStringLiteral("SELECT name FROM pragma_index_info(?, 'main')"),
                                     {indexes.value(0).toString()});
            if (col.next())
                t.uniqueColumns << col.value(0).toString();
        }
        tables << t;
    }

    Db::transaction([&] {
        // The step being recorded: one row while a deletion runs, none otherwise.
        Db::exec(db, QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS undo_state (step INTEGER NOT NULL)"));
        Db::exec(db, QStringLiteral("DELETE FROM undo_state"));
        // Moved balances: args [amount to add back, account id] (the inverse UPDATE).
        Db::exec(db,
                 QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS undo_log (seq INTEGER PRIMARY KEY,"
                                " step INTEGER NOT NULL, tbl TEXT NOT NULL, kind TEXT NOT NULL, args TEXT NOT NULL)"));
        Db::exec(db, QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS undo_parent (step INTEGER NOT NULL,"
                                    " tbl TEXT NOT NULL, col TEXT NOT NULL, val)"));
        // Step ids are never reused, so a notice never names a later deletion.
        Db::exec(db,
                 QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS undo_steps (id INTEGER PRIMARY KEY AUTOINCREMENT)"));
        // Steps undone or dropped whose rows are still to be cleared (at the next deletion, so
        // that an undo does not wait for it).
        Db::exec(db, QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS undo_gone (step INTEGER PRIMARY KEY)"));
        for (const Table& t : std::as_const(tables)) {
            // The deleted rows of each table as they were, marked with their step: the inverse
            // INSERT takes them back from here.
            const QString rows = quoted(QStringLiteral("undo_rows_") + t.name);
            Db::exec(db, QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(rows));
            Db::exec(db, QStringLiteral("CREATE TEMP TABLE %1 AS SELECT 0 AS undo_step, * FROM main.%2 WHERE 0")
                             .arg(rows, quoted(t.name)));
            Db::exec(db, QStringLiteral("CREATE INDEX temp.%1 ON %2 (undo_step)")
                             .arg(quoted(QStringLiteral("undo_rows_step_") + t.name), rows));
            QStringList olds;
            for (const QString& c : t.columns)
                olds << QStringLiteral("old.") + quoted(c);
            Db::exec(
                db,
                QStringLiteral("DROP TRIGGER IF EXISTS temp.%1").arg(quoted(QStringLiteral("undo_delete_") + t.name)));
            Db::exec(db, QStringLiteral("CREATE TEMP TRIGGER %1 AFTER DELETE ON main.%2 BEGIN"
                                        " INSERT INTO %3 SELECT step, %4 FROM undo_state; END")
                             .arg(quoted(QStringLiteral("undo_delete_") + t.name), quoted(t.name), rows,
                                  olds.join(QStringLiteral(", "))));
        }
        Db::exec(db, QStringLiteral("DROP TRIGGER IF EXISTS temp.undo_balance"));
        if (std::any_of(tables.cbegin(), tables.cend(),
                        [](const Table& t) { return t.name == QLatin1String("zhanghao"); }))
            Db::exec(db, QStringLiteral("CREATE TEMP TRIGGER undo_balance AFTER UPDATE OF moneys ON main.zhanghao"
                                        " WHEN old.moneys IS NOT new.moneys BEGIN"
                                        " INSERT INTO undo_log (step, tbl, kind, args)"
                                        " SELECT step, 'zhanghao', 'M', json_array(old.moneys - new.moneys, old.id)"
                                        " FROM undo_state; END"));
    });
    tablesOfConnection() = tables;
}

Undo::Step stepOf(qint64 id)
{
    Undo::Step step;
    step.id = id;
    const bool moved = Db::count(QStringLiteral("SELECT count(*) FROM undo_log WHERE step = ?"), {id}) > 0;
    for (const QString& table : trackedTables()) {
        if (!tableNamed(table))
            continue;
        const int rows =
            int(Db::count(QStringLiteral("SELECT count(*) FROM %1 WHERE undo_step = ?").arg(rowsOf(table)), {id}));
        if (rows > 0 || (moved && table == QLatin1String("zhanghao")))
            step.tables << table;
        if (rows > 0 && !hiddenTable(table))
            step.counts << Undo::Count{table, rows};
    }
    return step;
}

// What a step's deleted rows belonged to that was there once the deletion was done.
void recordParents(qint64 step)
{
    for (const Relation& r : kRelations) {
        const Table* child = tableNamed(QLatin1String(r.child));
        const Table* parent = tableNamed(QLatin1String(r.parent));
        if (!child || !parent)
            continue;
        if (columnIndex(*child, QLatin1String(r.column)) < 0)
            continue;
        Db::execute(QStringLiteral("INSERT INTO undo_parent (step, tbl, col, val)"
                                   " SELECT DISTINCT ?, ?, ?, v FROM (SELECT %1 AS v FROM %2 WHERE undo_step = ?)"
                                   " WHERE EXISTS (SELECT 1 FROM main.%3 WHERE %4 = v)")
                        .arg(quoted(QLatin1String(r.column)), rowsOf(child->name), quoted(parent->name),
                             quoted(QLatin1String(r.key))),
                    {step, parent->name, QLatin1String(r.key), step});
    }
    Db::execute(QStringLiteral("INSERT INTO undo_parent (step, tbl, col, val)"
                               " SELECT DISTINCT ?, 'zhanghao', 'id', v FROM (SELECT json_extract(args, '$[1]') AS v"
                               " FROM undo_log WHERE step = ? AND kind = 'M')"
                               " WHERE EXISTS (SELECT 1 FROM main.zhanghao WHERE id = v)"),
                {step, step});
}

// Forgets a step; its rows are cleared at the next deletion.
void forget(qint64 step)
{
    Db::execute(QStringLiteral("DELETE FROM undo_parent WHERE step = ?"), {step});
    Db::execute(QStringLiteral("DELETE FROM undo_steps WHERE id = ?"), {step});
    Db::execute(QStringLiteral("INSERT OR IGNORE INTO undo_gone (step) VALUES (?)"), {step});
}

void clearGone()
{
    for (const Table& t : tablesOfConnection())
        Db::execute(
            QStringLiteral("DELETE FROM %1 WHERE undo_step IN (SELECT step FROM undo_gone)").arg(rowsOf(t.name)));
    Db::execute(QStringLiteral("DELETE FROM undo_log WHERE step IN (SELECT step FROM undo_gone)"));
    Db::execute(QStringLiteral("DELETE FROM undo_gone"));
}

// Thrown inside the undo's transaction to leave everything as it was.
struct Refused
{
    Undo::Result result;
    QString table;
};

} // namespace

Undo::Step Undo::record(const std::function<void()>& work)
{
    ensureSetup();
    // Inside a recording already: the work is part of that deletion.
    if (Db::count(QStringLiteral("SELECT count(*) FROM undo_state")) > 0) {
        Db::transaction(work);
        return {};
    }
    Step step;
    Db::transaction([&] {
        const qint64 id =
            Db::exec(Db::main(), QStringLiteral("INSERT INTO undo_steps DEFAULT VALUES")).lastInsertId().toLongLong();
        Db::execute(QStringLiteral("INSERT INTO undo_state (step) VALUES (?)"), {id});
        work();
        Db::execute(QStringLiteral("DELETE FROM undo_state"));
        step = stepOf(id);
        if (step.tables.isEmpty()) {
            step = {};
            Db::execute(QStringLiteral("DELETE FROM undo_steps WHERE id = ?"), {id});
            return;
        }
        recordParents(id);
        // Only the newest deletions are kept.
        const qint64 oldest = Db::count(
            QStringLiteral("SELECT min(id) FROM (SELECT id FROM undo_steps ORDER BY id DESC LIMIT ?)"), {kDepth});
        QSqlQuery dropped = Db::exec(Db::main(), QStringLiteral("SELECT id FROM undo_steps WHERE id < ?"), {oldest});
        QList<qint64> old;
        while (dropped.next())
            old << dropped.value(0).toLongLong();
        for (const qint64 o : std::as_const(old))
            forget(o);
        clearGone();
    });
    lastStep() = step;
    return step;
}

Undo::Step Undo::lastRecorded()
{
    return lastStep();
}

Undo::Outcome Undo::undo(qint64 stepId)
{
    ensureSetup();
    Outcome outcome;
    if (stepId == 0)
        stepId = Db::count(QStringLiteral("SELECT coalesce(max(id), 0) FROM undo_steps"));
    if (stepId == 0 || Db::count(QStringLiteral("SELECT count(*) FROM undo_steps WHERE id = ?"), {stepId}) == 0)
        return outcome;
    outcome.step = stepOf(stepId);
    const QSqlDatabase db = Db::main();
    try {
        Db::transaction([&] {
            // Every row the deleted rows belonged to must still be there.
            QSqlQuery parents =
                Db::exec(db, QStringLiteral("SELECT tbl, col, val FROM undo_parent WHERE step = ?"), {stepId});
            while (parents.next()) {
                const QString table = parents.value(0).toString();
                const Table* t = tableNamed(table);
                const QString column = parents.value(1).toString();
                if (!t || !t->columns.contains(column))
                    throw Refused{Result::ParentGone, table};
                if (Db::count(
                        QStringLiteral("SELECT count(*) FROM main.%1 WHERE %2 = ?").arg(quoted(table), quoted(column)),
                        {parents.value(2)})
                    == 0)
                    throw Refused{Result::ParentGone, table};
            }
            // The rows go back under their own ids, in parent-first order.
            for (const QString& name : trackedTables()) {
                const Table* t = tableNamed(name);
                if (!t || !outcome.step.tables.contains(name))
                    continue;
                QStringList taken;
                if (!t->key.isEmpty())
                    taken << t->key;
                taken << t->uniqueColumns;
                for (const QString& column : std::as_const(taken)) {
                    if (Db::count(QStringLiteral("SELECT count(*) FROM %1 AS u WHERE u.undo_step = ? AND EXISTS"
                                                 " (SELECT 1 FROM main.%2 WHERE %3 = u.%3)")
                                      .arg(rowsOf(name), quoted(name), quoted(column)),
                                  {stepId})
                        > 0)
                        throw Refused{Result::Conflict, name};
                }
                QStringList columns;
                for (const QString& c : t->columns)
                    columns << quoted(c);
                const QString list = columns.join(QStringLiteral(", "));
                Db::execute(
                    QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM %3 WHERE undo_step = ? ORDER BY rowid")
                        .arg(quoted(name), list, rowsOf(name)),
                    {stepId});
            }
            // Balances move back by the amounts they were moved, newest first.
            QSqlQuery moves =
                Db::exec(db,
                         QStringLiteral("SELECT json_extract(args, '$[0]'), json_extract(args, '$[1]') FROM undo_log"
                                        " WHERE step = ? AND kind = 'M' ORDER BY seq DESC"),
                         {stepId});
            while (moves.next()) {
                if (Db::execute(QStringLiteral("UPDATE main.zhanghao SET moneys = moneys + ? WHERE id = ?"),
                                {moves.value(0), moves.value(1)})
                    != 1)
                    throw Refused{Result::ParentGone, QStringLiteral("zhanghao")};
            }
            forget(stepId);
        });
    } catch (const Refused& refused) {
        outcome.result = refused.result;
        outcome.missingTable = refused.table;
        return outcome;
    }
    outcome.result = Result::Done;
    return outcome;
}
