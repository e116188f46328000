#include "data/taskbar.h"

#include "data/db.h"

#include <QSqlQuery>

namespace {
// The stored 'HH:MM:SS' read directly: the bar reads a time for every row it shows, and the
// general parser costs more than the query. Anything else goes through Db::timeFrom.
QTime timeOf(const QVariant& value)
{
    if (value.isNull())
        return {};
    const QString text = value.toString();
    const auto digit = [&](int i) { return text.at(i).unicode() - u'0'; };
    const auto isDigit = [&](int i) { return text.at(i) >= u'0' && text.at(i) <= u'9'; };
    if (text.size() == 8 && text.at(2) == u':' && text.at(5) == u':' && isDigit(0) && isDigit(1) && isDigit(3)
        && isDigit(4) && isDigit(6) && isDigit(7)) {
        const QTime t(digit(0) * 10 + digit(1), digit(3) * 10 + digit(4), digit(6) * 10 + digit(7));
        if (t.isValid())
            return t;
    }
    return Db::timeFrom(value);
}
} // namespace

QList<TaskBar::Row> TaskBar::ofDay(const QDate& day)
{
    QSqlQuery q =
        Db::exec(Db::main(),
                 QStringLiteral("SELECT id, title, intime, zhuangtai FROM renwu WHERE today = ? ORDER BY intime, id"),
                 {Db::dayValue(day)});
    QList<Row> rows;
    while (q.next()) {
        Row row;
        row.id = q.value(0).toLongLong();
        row.title = q.value(1).toString();
        row.time = timeOf(q.value(2));
        row.state = Tasks::State(q.value(3).toInt());
        rows.append(row);
    }
    return rows;
}
