#include "data/tasklist.h"

namespace {
const QString kColumns = QStringLiteral("id, title, zhuangtai, zhongyao, jinpo, xuhao, today");

TaskList::Row rowFrom(const Db::Row& r)
{
    TaskList::Row row;
    row.id = r.id();
    row.title = r.text("title");
    row.zhuangtai = r.integer("zhuangtai");
    row.zhongyao = r.integer("zhongyao");
    row.jinpo = r.integer("jinpo");
    row.xuhao = r.value("xuhao");
    row.today = r.day("today");
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

Db::Page<TaskList::Row> TaskList::page(const Filter& filter, const QDate& today, int pageNumber, int pageSize)
{
    QStringList where;
    QVariantList values;
    if (filter.openUnplanned) {
        where << QStringLiteral("zhuangtai = 0") << QStringLiteral("today IS NULL");
    } else {
        if (!filter.name.isEmpty()) {
            where << QStringLiteral("title LIKE ? ESCAPE '\\'");
            values << containing(filter.name);
        }
        switch (filter.dayState) {
        case Filter::Unplanned:
            where << QStringLiteral("today IS NULL");
            break;
        case Filter::NotStarted:
            where << QStringLiteral("today > ?");
            values << Db::dayValue(today);
            break;
        case Filter::Overdue:
            where << QStringLiteral("today < ?");
            values << Db::dayValue(today);
            break;
        default:
            break;
        }
        if (filter.juese != 0) {
            where << QStringLiteral("juese = ?");
            values << filter.juese;
        }
        if (filter.mubiao != 0) {
            where << QStringLiteral("mubiao = ?");
            values << filter.mubiao;
        }
    }
    if (filter.goalsInProgress)
        where << QStringLiteral("mubiao IN (SELECT id FROM mubiao WHERE zhuangtai = 1)");

    QString fromWhere = QStringLiteral("FROM renwu");
    if (!where.isEmpty())
        fromWhere += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    const int offset = (std::max(pageNumber, 1) - 1) * pageSize;
    return Db::page<Row>(kColumns, fromWhere, QStringLiteral("mubiao, xuhao, id"), values, offset, pageSize, rowFrom);
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
