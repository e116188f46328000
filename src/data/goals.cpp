#include "data/goals.h"

#include "data/db.h"
#include "data/undo.h"

#include <QSqlError>

namespace {
// What the lists show; a goal loaded on its own has its description too.
const QString kColumns = QStringLiteral("m.id AS id, m.title AS title, m.ksdate AS ksdate, m.jsdate AS jsdate, "
                                        "m.juese AS juese, m.zhuangtai AS zhuangtai, j.id AS theme_id, j.name AS name");

Goals::Goal goalFrom(const Db::Row& r)
{
    Goals::Goal g;
    g.id = r.id();
    g.title = r.text("title");
    g.start = r.day("ksdate");
    g.end = r.day("jsdate");
    g.theme = r.id("juese");
    g.state = Goals::State(r.integer("zhuangtai"));
    g.themeName = r.text("name");
    g.themeExists = !r.value("theme_id").isNull();
    return g;
}

Goals::TaskRow taskFrom(const Db::Row& r)
{
    Goals::TaskRow t;
    t.id = r.id();
    t.title = r.text("title");
    t.important = r.integer("zhongyao");
    t.urgent = r.integer("jinpo");
    t.day = r.day("today");
    t.order = r.value("xuhao");
    t.state = Tasks::State(r.integer("zhuangtai"));
    return t;
}

// Goals joined to their themes: inner (only goals of existing themes) or left (every goal).
QList<Goals::Goal> goalsWhere(bool inner, const QString& whereAndOrder, const QVariantList& values)
{
    const QString join = inner ? QStringLiteral("JOIN") : QStringLiteral("LEFT JOIN");
    return Db::rows<Goals::Goal>(QStringLiteral("SELECT %1 FROM mubiao AS m %2 juese AS j ON j.id = m.juese %3")
                                     .arg(kColumns, join, whereAndOrder),
                                 values, goalFrom);
}

// The text as a LIKE pattern that matches it literally anywhere in a title.
QString containsPattern(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('%'), QLatin1String("\\%"));
    escaped.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}
} // namespace

QList<Goals::Goal> Goals::ofTheme(qint64 themeId, bool all, const QDate& today)
{
    QStringList where;
    QVariantList values;
    if (!all) {
        // Only goals whose target day has passed are hidden: one due today (the day a new goal
        // gets by default) or without a target day is still ahead.
        where << QStringLiteral("(m.jsdate >= ? OR m.jsdate IS NULL OR m.jsdate = '')");
        values << Db::dayValue(today);
    }
    if (themeId != 0) {
        where << QStringLiteral("m.juese = ?");
        values << themeId;
    }
    const QString clause = where.isEmpty() ? QString() : QStringLiteral("WHERE ") + where.join(QStringLiteral(" AND "));
    return goalsWhere(false, clause + QStringLiteral(" ORDER BY m.jsdate, m.id"), values);
}

QList<Goals::Goal> Goals::listed(bool all)
{
    return goalsWhere(true,
                      QStringLiteral("%1 ORDER BY j.name, m.jsdate, m.id")
                          .arg(all ? QString() : QStringLiteral("WHERE m.zhuangtai = 1")),
                      {});
}

QList<Goals::Goal> Goals::search(const QDate& after, const QDate& before, const QString& text, qint64 themeId)
{
    QString where = QStringLiteral("WHERE m.jsdate > ? AND m.jsdate < ?");
    QVariantList values{Db::dayValue(after), Db::dayValue(before)};
    if (!text.isEmpty()) {
        where += QStringLiteral(" AND m.title LIKE ? ESCAPE '\\'");
        values << containsPattern(text);
    }
    if (themeId != 0) {
        where += QStringLiteral(" AND m.juese = ?");
        values << themeId;
    }
    return goalsWhere(true, where + QStringLiteral(" ORDER BY m.jsdate, m.id"), values);
}

QList<Goals::Goal> Goals::ofWeek(const QDate& monday, const QDate& sunday)
{
    return goalsWhere(true, QStringLiteral("WHERE m.ksdate >= ? AND m.jsdate <= ? ORDER BY m.id"),
                      {Db::dayValue(monday), Db::dayValue(sunday.addDays(1))});
}

std::optional<Goals::Goal> Goals::load(qint64 id)
{
    return Db::first<Goal>(
        QStringLiteral("SELECT %1, m.content AS content FROM mubiao AS m LEFT JOIN juese AS j ON j.id = m.juese "
                       "WHERE m.id = ?")
            .arg(kColumns),
        {id}, [](const Db::Row& r) {
            Goal g = goalFrom(r);
            g.content = r.text("content");
            return g;
        });
}

qint64 Goals::insert(const Goal& goal)
{
    const QSqlQuery q =
        Db::exec(Db::main(),
                 QStringLiteral(
                     "INSERT INTO mubiao (title, content, ksdate, jsdate, juese, zhuangtai) VALUES (?, ?, ?, ?, ?, ?)"),
                 {Db::text(goal.title), Db::text(goal.content), Db::dayValue(goal.start), Db::dayValue(goal.end),
                  goal.theme, goal.state});
    return q.lastInsertId().toLongLong();
}

void Goals::update(const Goal& goal)
{
    Db::execute(QStringLiteral("UPDATE mubiao SET title = ?, content = ?, jsdate = ?, juese = ? WHERE id = ?"),
                {Db::text(goal.title), Db::text(goal.content), Db::dayValue(goal.end), goal.theme, goal.id});
}

void Goals::setState(qint64 id, int state)
{
    Db::execute(QStringLiteral("UPDATE mubiao SET zhuangtai = ? WHERE id = ?"), {state, id});
}

void Goals::removeWithTasks(qint64 id)
{
    Undo::record([&] {
        Db::execute(QStringLiteral("DELETE FROM renwu WHERE mubiao = ?"), {id});
        Db::execute(QStringLiteral("DELETE FROM mubiao WHERE id = ?"), {id});
    });
}

QList<Goals::TaskRow> Goals::tasks(qint64 goalId, bool openOnly)
{
    return Db::rows<TaskRow>(QStringLiteral("SELECT id, title, zhongyao, jinpo, today, xuhao, zhuangtai FROM renwu "
                                            "WHERE mubiao = ?%1 ORDER BY xuhao, id")
                                 .arg(openOnly ? QStringLiteral(" AND zhuangtai = 0") : QString()),
                             {goalId}, taskFrom);
}

void Goals::renumber(const QList<qint64>& taskIds)
{
    Db::transaction([&] {
        QSqlQuery q(Db::main());
        if (!q.prepare(QStringLiteral("UPDATE renwu SET xuhao = ? WHERE id = ?")))
            throw Db::errorOf(Db::main(), q.lastError());
        for (int i = 0; i < taskIds.size(); ++i) {
            q.bindValue(0, i + 1);
            q.bindValue(1, taskIds[i]);
            if (!q.exec())
                throw Db::errorOf(Db::main(), q.lastError());
        }
    });
}
