#include "data/statements.h"

#include "data/db.h"
#include "data/undo.h"

namespace {
Statements::Item itemFrom(const Db::Row& r)
{
    return {r.id(), r.text("title")};
}
} // namespace

QList<Statements::Item> Statements::of(Kind kind)
{
    return Db::rows<Item>(QStringLiteral("SELECT id, title FROM mengxiang WHERE drmid = ? ORDER BY id"), {int(kind)},
                          itemFrom);
}

void Statements::add(const QString& title, Kind kind)
{
    Db::execute(QStringLiteral("INSERT INTO mengxiang (title, drmid) VALUES (?, ?)"), {Db::text(title), int(kind)});
}

void Statements::remove(qint64 id)
{
    Undo::record([&] { Db::execute(QStringLiteral("DELETE FROM mengxiang WHERE id = ?"), {id}); });
}
