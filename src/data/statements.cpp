#include "data/statements.h"

#include "data/db.h"

std::optional<QList<Statements::Item>> Statements::of(Kind kind)
{
    std::optional<QList<Item>> result;
    Db::run([&] {
        QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT id, title FROM mengxiang WHERE drmid = ? ORDER BY id"),
                               {int(kind)});
        QList<Item> items;
        while (q.next())
            items.append({q.value(0).toLongLong(), q.value(1).toString()});
        result = items;
    });
    return result;
}

bool Statements::add(const QString& title, Kind kind)
{
    return Db::execute(QStringLiteral("INSERT INTO mengxiang (title, drmid) VALUES (?, ?)"), {Db::text(title), int(kind)});
}

bool Statements::remove(qint64 id)
{
    return Db::execute(QStringLiteral("DELETE FROM mengxiang WHERE id = ?"), {id});
}
