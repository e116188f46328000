#include "data/tasks.h"

#include "data/db.h"
#include "data/undo.h"

#include <QRegularExpression>

namespace {
const QString kColumns =
    QStringLiteral("id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai");

Tasks::Task taskFrom(const Db::Row& r)
{
    Tasks::Task t;
    t.id = r.id();
    t.title = r.text("title");
    t.content = r.text("content");
    t.goal = r.id("mubiao");
    t.theme = r.id("juese");
    t.important = r.integer("zhongyao");
    t.urgent = r.integer("jinpo");
    t.kind = Tasks::Kind(r.integer("type1"));
    t.order = r.value("xuhao");
    t.day = r.day("today");
    t.time = r.time("intime");
    t.state = Tasks::State(r.integer("zhuangtai"));
    return t;
}

QList<Tasks::Task> tasksWhere(const QString& whereAndOrder, const QVariantList& values)
{
    return Db::rows<Tasks::Task>(QStringLiteral("SELECT %1 FROM renwu %2").arg(kColumns, whereAndOrder), values,
                                 taskFrom);
}

std::optional<Tasks::Task> firstWhere(const QString& whereAndOrder, const QVariantList& values)
{
    return Db::first<Tasks::Task>(QStringLiteral("SELECT %1 FROM renwu %2").arg(kColumns, whereAndOrder), values,
                                  taskFrom);
}

QVariantList editedValues(const Tasks::Task& t)
{
    return {Db::text(t.title),
            Db::text(t.content),
            t.goal,
            t.theme,
            t.important,
            t.urgent,
            t.kind,
            t.order,
            Db::dayValue(t.day),
            t.day.isValid() ? Db::timeValue(t.time) : Db::timeValue(QTime())};
}
} // namespace

QVariant Tasks::orderNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^(\\d+)(\\.(\\d*))?$|^\\.(\\d+)$"));
    if (!number.match(text).hasMatch())
        return {};
    bool ok = false;
    const qlonglong whole = text.toLongLong(&ok);
    if (ok)
        return whole;
    const double value = text.toDouble(&ok);
    if (!ok)
        return {};
    if (value == static_cast<double>(static_cast<qlonglong>(value)) && value < 9e15)
        return static_cast<qlonglong>(value);
    return value;
}

QString Tasks::orderText(const QVariant& xuhao)
{
    if (xuhao.isNull())
        return QStringLiteral("0");
    if (xuhao.typeId() == QMetaType::Double) {
        const double v = xuhao.toDouble();
        if (v == static_cast<double>(static_cast<qlonglong>(v)))
            return QString::number(static_cast<qlonglong>(v));
        return QString::number(v, 'g', 15);
    }
    return xuhao.toString();
}

QList<QTime> Tasks::reminderTimes(const QDate& day)
{
    QSqlQuery q = Db::exec(
        Db::main(), QStringLiteral("SELECT intime FROM renwu WHERE today = ? AND intime IS NOT NULL ORDER BY id"),
        {Db::dayValue(day)});
    QList<QTime> times;
    while (q.next()) {
        const QTime t = Db::timeFrom(q.value(0));
        if (t.isValid())
            times.append(t);
    }
    return times;
}

QList<Tasks::Task> Tasks::ofDay(const QDate& day)
{
    return tasksWhere(QStringLiteral("WHERE today = ? ORDER BY intime, title"), {Db::dayValue(day)});
}

namespace {
// The open tasks before a day that may move to it; binds the day four times.
// The rule's other rows are found through the rule-and-day index: it only covers chongfu > 0, so
// the subqueries say so, and `+` keeps the state-and-day index (every open task before today,
// for each left-over) out of the second one.
const QString kMovable = QStringLiteral(
    "SELECT r.id FROM renwu AS r WHERE r.zhuangtai = 0 AND r.today < ? AND (r.chongfu = 0"
    " OR (NOT EXISTS (SELECT 1 FROM renwu AS o WHERE o.chongfu > 0 AND o.chongfu = r.chongfu"
    " AND (o.today = ? OR o.cfday = ?))"
    " AND NOT EXISTS (SELECT 1 FROM renwu AS l WHERE l.chongfu > 0 AND l.chongfu = r.chongfu AND +l.zhuangtai = 0"
    " AND +l.today < ? AND (l.today > r.today OR (l.today = r.today AND l.id > r.id)))))");

QVariantList movableValues(const QDate& today)
{
    const QVariant day = Db::dayValue(today);
    return {day, day, day, day};
}
} // namespace

int Tasks::overdueCount(const QDate& today)
{
    return int(Db::count(QStringLiteral("SELECT count(*) FROM (") + kMovable + QLatin1Char(')'), movableValues(today)));
}

void Tasks::moveOverdueTo(const QDate& today)
{
    QVariantList values{Db::dayValue(today)};
    values << movableValues(today);
    Db::execute(QStringLiteral("UPDATE renwu SET today = ? WHERE id IN (") + kMovable + QLatin1Char(')'), values);
}

bool Tasks::overdueAskedOn(const QDate& today)
{
    return Db::count(QStringLiteral("SELECT count(*) FROM overdue_asked WHERE id = 1 AND day = ?"),
                     {Db::dayValue(today)})
           > 0;
}

void Tasks::markOverdueAsked(const QDate& today)
{
    Db::execute(QStringLiteral("INSERT INTO overdue_asked (id, day) VALUES (1, ?)"
                               " ON CONFLICT (id) DO UPDATE SET day = excluded.day"),
                {Db::dayValue(today)});
}

std::optional<Tasks::Task> Tasks::load(qint64 id)
{
    return firstWhere(QStringLiteral("WHERE id = ?"), {id});
}

bool Tasks::exists(qint64 id)
{
    return Db::count(QStringLiteral("SELECT count(*) FROM renwu WHERE id = ?"), {id}) > 0;
}

qint64 Tasks::insert(const Task& task)
{
    QSqlQuery q = Db::exec(Db::main(),
                           QStringLiteral("INSERT INTO renwu (title, content, mubiao, juese, zhongyao, jinpo, type1,"
                                          " xuhao, today, intime) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                           editedValues(task));
    return q.lastInsertId().toLongLong();
}

void Tasks::update(const Task& task)
{
    QVariantList values = editedValues(task);
    values.append(task.id);
    Db::execute(QStringLiteral("UPDATE renwu SET title = ?, content = ?, mubiao = ?, juese = ?, zhongyao = ?,"
                               " jinpo = ?, type1 = ?, xuhao = ?, today = ?, intime = ? WHERE id = ?"),
                values);
}

void Tasks::setState(qint64 id, int state)
{
    Db::execute(QStringLiteral("UPDATE renwu SET zhuangtai = ? WHERE id = ?"), {state, id});
}

void Tasks::setContent(qint64 id, const QString& content)
{
    Db::execute(QStringLiteral("UPDATE renwu SET content = ? WHERE id = ?"), {Db::text(content), id});
}

void Tasks::setTitleAndContent(qint64 id, const QString& title, const QString& content)
{
    Db::execute(QStringLiteral("UPDATE renwu SET title = ?, content = ? WHERE id = ?"),
                {Db::text(title), Db::text(content), id});
}

void Tasks::remove(qint64 id)
{
    Undo::record([&] { Db::execute(QStringLiteral("DELETE FROM renwu WHERE id = ?"), {id}); });
}

int Tasks::countOfGoal(qint64 goalId)
{
    return int(Db::count(QStringLiteral("SELECT count(*) FROM renwu WHERE mubiao = ?"), {goalId}));
}

std::optional<Tasks::Task> Tasks::latestDue(const QDate& day, const QTime& time)
{
    return firstWhere(QStringLiteral("WHERE today = ? AND intime IS NOT NULL AND intime <= ?"
                                     " ORDER BY intime DESC, id DESC LIMIT 1"),
                      {Db::dayValue(day), Db::timeValue(time)});
}

std::optional<Tasks::Task> Tasks::firstOpen(const QDate& day)
{
    return firstWhere(QStringLiteral("WHERE zhuangtai = 0 AND today = ? ORDER BY intime, id DESC LIMIT 1"),
                      {Db::dayValue(day)});
}
