#include "data/themes.h"

#include "data/db.h"

namespace {
Themes::Choice choiceFrom(const Db::Row& r)
{
    return {r.id(), r.text("name")};
}

Themes::Goal goalFrom(const Db::Row& r)
{
    return {r.id(), r.text("title"), r.id("juese")};
}
} // namespace

QList<Themes::Choice> Themes::all()
{
    return Db::rows<Choice>(QStringLiteral("SELECT id, name FROM juese ORDER BY id"), {}, choiceFrom);
}

QList<Themes::Choice> Themes::goalsOf(qint64 themeId)
{
    return Db::rows<Choice>(QStringLiteral("SELECT id, title AS name FROM mubiao WHERE juese = ? ORDER BY id"),
                            {themeId}, choiceFrom);
}

QString Themes::name(qint64 themeId)
{
    QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT name FROM juese WHERE id = ?"), {themeId});
    return q.next() ? q.value(0).toString() : QString();
}

std::optional<Themes::Goal> Themes::goal(qint64 goalId)
{
    return Db::first<Goal>(QStringLiteral("SELECT id, title, juese FROM mubiao WHERE id = ?"), {goalId}, goalFrom);
}
