#include "data/tasklist.h"

#include <algorithm>

namespace {
const QString kColumns = QStringLiteral("id, title, zhuangtai, zhongyao, jinpo, mubiao, xuhao, today");
// The list's order; ids make it total, so pages neither repeat nor skip rows.
const QString kOrder = QStringLiteral("mubiao, xuhao, id");

TaskList::Row rowFrom(const Db::Row& r)
{
    TaskList::Row row;
    row.id = r.id();
    row.title = r.text("title");
    row.state = Tasks::State(r.integer("zhuangtai"));
    row.important = r.integer("zhongyao");
    row.urgent = r.integer("jinpo");
    row.goal = r.id("mubiao");
    row.order = r.value("xuhao");
    row.day = r.day("today");
    return row;
}

// The typed text as a LIKE pattern that matches it literally anywhere in the title.
QString containing(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('%'), QLatin1String("\\%"));
    escaped.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}
} // namespace

namespace {
struct Query
{
    QStringList where;
    QVariantList values;

    QString fromWhere() const
    {
        return where.isEmpty() ? QStringLiteral("FROM renwu")
                               : QStringLiteral("FROM renwu WHERE ") + where.join(QStringLiteral(" AND "));
    }
};

Query filtered(const TaskList::Filter& filter, const QDate& today)
{
    using TaskList::Filter;
    Query q;
    if (filter.openUnplanned) {
        // Written out, not bound, so that an index on (zhuangtai, today, ...) serves it.
        q.where << QStringLiteral("zhuangtai = 0") << QStringLiteral("today IS NULL");
    } else {
        if (!filter.name.isEmpty()) {
            q.where << QStringLiteral("title LIKE ? ESCAPE '\\'");
            q.values << containing(filter.name);
        }
        switch (filter.dayState) {
        case Filter::Unplanned:
            q.where << QStringLiteral("today IS NULL");
            break;
        case Filter::NotStarted:
            q.where << QStringLiteral("today > ?");
            q.values << Db::dayValue(today);
            break;
        case Filter::Overdue:
            // Overdue: planned for an earlier day and still open; finished or abandoned tasks are not.
            q.where << QStringLiteral("today < ? AND zhuangtai = 0");
            q.values << Db::dayValue(today);
            break;
        default:
            break;
        }
        if (filter.theme != 0) {
            q.where << QStringLiteral("juese = ?");
            q.values << filter.theme;
        }
        if (filter.goal != 0) {
            q.where << QStringLiteral("mubiao = ?");
            q.values << filter.goal;
        }
    }
    if (filter.goalsInProgress)
        q.where << QStringLiteral("mubiao IN (SELECT id FROM mubiao WHERE zhuangtai = 1)");
    return q;
}
} // namespace

Db::Page<TaskList::Row> TaskList::page(const Filter& filter, const QDate& today, int pageNumber, int pageSize)
{
    const Query q = filtered(filter, today);
    const int offset = (std::max(pageNumber, 1) - 1) * pageSize;
    return Db::page<Row>(kColumns, q.fromWhere(), kOrder, q.values, offset, pageSize, rowFrom);
}

Db::Page<TaskList::Row> TaskList::pageBeside(const Filter& filter, const QDate& today, const Row& edge, bool after,
                                             int pageNumber, int pageSize)
{
    const Query q = filtered(filter, today);
    Db::Page<Row> p;
    p.total = int(Db::count(QStringLiteral("SELECT count(*) ") + q.fromWhere(), q.values));
    p.offset = (std::max(pageNumber, 1) - 1) * pageSize;

    Query beside = q;
    beside.where << (after ? QStringLiteral("(mubiao, xuhao, id) > (?, ?, ?)")
                           : QStringLiteral("(mubiao, xuhao, id) < (?, ?, ?)"));
    beside.values << edge.goal << edge.order << edge.id << pageSize;
    // Before the edge the rows are read backwards from it, then put back in the list's order.
    const QString order = after ? kOrder : QStringLiteral("mubiao DESC, xuhao DESC, id DESC");
    p.rows = Db::rows<Row>(QStringLiteral("SELECT %1 %2 ORDER BY %3 LIMIT ?").arg(kColumns, beside.fromWhere(), order),
                           beside.values, rowFrom);
    if (!after)
        std::reverse(p.rows.begin(), p.rows.end());
    return p;
}

std::optional<TaskList::Row> TaskList::row(qint64 id)
{
    return Db::first<Row>(QStringLiteral("SELECT %1 FROM renwu WHERE id = ?").arg(kColumns), {id}, rowFrom);
}

void TaskList::planOn(qint64 id, const QDate& day)
{
    Db::execute(QStringLiteral("UPDATE renwu SET today = ? WHERE id = ?"), {Db::dayValue(day), id});
}

void TaskList::unplan(qint64 id)
{
    Db::execute(QStringLiteral("UPDATE renwu SET today = NULL, intime = NULL WHERE id = ?"), {id});
}

void TaskList::setTime(qint64 id, const QTime& time)
{
    Db::execute(QStringLiteral("UPDATE renwu SET intime = ? WHERE id = ?"), {Db::timeValue(time), id});
}
