#include "data/themes.h"

#include "data/db.h"
#include "data/undo.h"

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

std::optional<Themes::Theme> Themes::load(qint64 themeId)
{
    return Db::first<Theme>(QStringLiteral("SELECT id, name, content FROM juese WHERE id = ?"), {themeId},
                            [](const Db::Row& r) {
                                return Theme{r.id(), r.text("name"), r.text("content")};
                            });
}

qint64 Themes::add(const QString& name, const QString& content)
{
    return Db::exec(Db::main(), QStringLiteral("INSERT INTO juese (name, content) VALUES (?, ?)"),
                    {Db::text(name), Db::text(content)})
        .lastInsertId()
        .toLongLong();
}

void Themes::update(qint64 themeId, const QString& name, const QString& content)
{
    Db::execute(QStringLiteral("UPDATE juese SET name = ?, content = ? WHERE id = ?"),
                {Db::text(name), Db::text(content), themeId});
}

void Themes::removeWithGoals(qint64 themeId)
{
    Undo::record([&] {
        // Tasks follow their goal even where a goal was moved to this theme after they were made.
        Db::execute(
            QStringLiteral("DELETE FROM renwu WHERE juese = ? OR mubiao IN (SELECT id FROM mubiao WHERE juese = ?)"),
            {themeId, themeId});
        Db::execute(QStringLiteral("DELETE FROM mubiao WHERE juese = ?"), {themeId});
        Db::execute(QStringLiteral("DELETE FROM juese WHERE id = ?"), {themeId});
    });
}
