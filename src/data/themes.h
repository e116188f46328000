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
    qint64 juese = 0;
};

// Every theme, in table order.
QList<Choice> all();
// The goals of a theme (0: goals without a theme), in table order.
QList<Choice> goalsOf(qint64 themeId);
// The name of a theme; empty when it does not exist.
QString name(qint64 themeId);
// One goal; empty when it does not exist.
std::optional<Goal> goal(qint64 goalId);

} // namespace Themes
