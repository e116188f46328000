#pragma once

#include <QList>
#include <QString>
#include <optional>

// Action themes (juese) and their goals (mubiao), as the choices of the task editors. Every
// function throws Db::Error when the database fails.
namespace Themes {

struct Choice
{
    qint64 id = 0;
    QString name;
};

struct Goal
{
    qint64 id = 0;
    QString title;
    qint64 theme = 0;
};

// Every theme, in table order.
QList<Choice> all();
// The goals of a theme (0: goals without a theme), in table order.
QList<Choice> goalsOf(qint64 themeId);
// The name of a theme; empty when it does not exist.
QString name(qint64 themeId);
// One goal; empty when it does not exist.
std::optional<Goal> goal(qint64 goalId);

// A theme with its description.
struct Theme
{
    qint64 id = 0;
    QString name;
    QString content;
};

// One theme; empty when it does not exist.
std::optional<Theme> load(qint64 themeId);
// Adds a theme; its new id.
qint64 add(const QString& name, const QString& content);
void update(qint64 themeId, const QString& name, const QString& content);
// The theme, its goals, and every task of the theme or of one of its goals, in one transaction.
void removeWithGoals(qint64 themeId);

} // namespace Themes
