#include "data/taskbar.h"

#include "data/db.h"

namespace {
TaskBar::Row fromRow(const Db::Row& r)
{
    TaskBar::Row row;
    row.id = r.id();
    row.title = r.text("title");
    row.intime = r.time("intime");
    row.zhuangtai = r.integer("zhuangtai");
    return row;
}
} // namespace

QList<TaskBar::Row> TaskBar::ofDay(const QDate& day)
{
    return Db::rows<Row>(
        QStringLiteral("SELECT id, title, intime, zhuangtai FROM renwu WHERE today = ? ORDER BY intime, id"),
        {Db::dayValue(day)}, &fromRow);
}
