#include "data/themes.h"

#include "data/db.h"

namespace {
std::optional<QList<Themes::Choice>> choices(const QString& sql, const QVariantList& values)
{
    std::optional<QList<Themes::Choice>> result;
    Db::run([&] {
        QSqlQuery q = Db::exec(Db::main(), sql, values);
        QList<Themes::Choice> list;
        while (q.next())
            list.append({q.value(0).toLongLong(), q.value(1).toString()});
        result = list;
    });
    return result;
}
} // namespace

std::optional<QList<Themes::Choice>> Themes::all()
{
    return choices(QStringLiteral("SELECT id, name FROM juese ORDER BY id"), {});
}

std::optional<QList<Themes::Choice>> Themes::goalsOf(qint64 themeId)
{
    return choices(QStringLiteral("SELECT id, title FROM mubiao WHERE juese = ? ORDER BY id"), {themeId});
}

std::optional<Themes::Goal> Themes::goal(qint64 goalId)
{
    std::optional<Goal> result;
    Db::run([&] {
        QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT id, title, juese FROM mubiao WHERE id = ?"),
                               {goalId});
        if (q.next())
            result = Goal{q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toLongLong()};
    });
    return result;
}
