#include "data/tasks.h"

#include "data/db.h"

#include <QRegularExpression>

namespace {
// The columns taskFrom reads, in its order.
#define TASK_COLUMNS "id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai"

Tasks::Task taskFrom(const QSqlQuery& q)
{
    Tasks::Task t;
    t.id = q.value(0).toLongLong();
    t.title = q.value(1).toString();
    t.content = q.value(2).toString();
    t.mubiao = q.value(3).toLongLong();
    t.juese = q.value(4).toLongLong();
    t.zhongyao = q.value(5).toInt();
    t.jinpo = q.value(6).toInt();
    t.type1 = q.value(7).toInt();
    t.xuhao = q.value(8);
    t.today = Db::dayFrom(q.value(9));
    t.intime = Db::timeFrom(q.value(10));
    t.zhuangtai = q.value(11).toInt();
    return t;
}

std::optional<QList<Tasks::Task>> tasksOf(const QString& sql, const QVariantList& values)
{
    std::optional<QList<Tasks::Task>> result;
    Db::run([&] {
        QSqlQuery q = Db::exec(Db::main(), sql, values);
        QList<Tasks::Task> tasks;
        while (q.next())
            tasks.append(taskFrom(q));
        result = tasks;
    });
    return result;
}

std::optional<Tasks::Task> firstOf(const QString& sql, const QVariantList& values)
{
    const auto tasks = tasksOf(sql, values);
    if (!tasks || tasks->isEmpty())
        return std::nullopt;
    return tasks->first();
}

QVariantList editedValues(const Tasks::Task& t)
{
    return {Db::text(t.title),
            Db::text(t.content),
            t.mubiao,
            t.juese,
            t.zhongyao,
            t.jinpo,
            t.type1,
            t.xuhao,
            Db::dayValue(t.today),
            t.today.isValid() ? Db::timeValue(t.intime) : Db::timeValue(QTime())};
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

std::optional<QList<QTime>> Tasks::reminderTimes(const QDate& day)
{
    std::optional<QList<QTime>> result;
    Db::run([&] {
        QSqlQuery q = Db::exec(Db::main(),
                               QStringLiteral("SELECT intime FROM renwu WHERE today = ? AND intime IS NOT NULL ORDER BY id"),
                               {Db::dayValue(day)});
        QList<QTime> times;
        while (q.next()) {
            const QTime t = Db::timeFrom(q.value(0));
            if (t.isValid())
                times.append(t);
        }
        result = times;
    });
    return result;
}

std::optional<QList<Tasks::Task>> Tasks::ofDay(const QDate& day)
{
    return tasksOf(QStringLiteral("SELECT " TASK_COLUMNS " FROM renwu WHERE today = ? ORDER BY intime, title"),
                   {Db::dayValue(day)});
}

std::optional<int> Tasks::overdueCount(const QDate& today)
{
    return Db::count(QStringLiteral("SELECT count(*) FROM renwu WHERE today < ? AND zhuangtai = 0"),
                 {Db::dayValue(today)});
}

bool Tasks::moveOverdueTo(const QDate& today)
{
    return Db::execute(QStringLiteral("UPDATE renwu SET today = ? WHERE today < ? AND zhuangtai = 0"),
                  {Db::dayValue(today), Db::dayValue(today)});
}

std::optional<Tasks::Task> Tasks::load(qint64 id)
{
    return firstOf(QStringLiteral("SELECT " TASK_COLUMNS " FROM renwu WHERE id = ?"), {id});
}

bool Tasks::exists(qint64 id)
{
    return Db::count(QStringLiteral("SELECT count(*) FROM renwu WHERE id = ?"), {id}).value_or(0) > 0;
}

std::optional<qint64> Tasks::insert(const Task& task)
{
    std::optional<qint64> id;
    Db::run([&] {
        QSqlQuery q = Db::exec(Db::main(),
                               QStringLiteral("INSERT INTO renwu (title, content, mubiao, juese, zhongyao, jinpo, type1,"
                                              " xuhao, today, intime) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                               editedValues(task));
        id = q.lastInsertId().toLongLong();
    });
    return id;
}

bool Tasks::update(const Task& task)
{
    QVariantList values = editedValues(task);
    values.append(task.id);
    return Db::execute(QStringLiteral("UPDATE renwu SET title = ?, content = ?, mubiao = ?, juese = ?, zhongyao = ?,"
                                 " jinpo = ?, type1 = ?, xuhao = ?, today = ?, intime = ? WHERE id = ?"),
                  values);
}

bool Tasks::setState(qint64 id, int state)
{
    return Db::execute(QStringLiteral("UPDATE renwu SET zhuangtai = ? WHERE id = ?"), {state, id});
}

bool Tasks::setContent(qint64 id, const QString& content)
{
    return Db::execute(QStringLiteral("UPDATE renwu SET content = ? WHERE id = ?"), {Db::text(content), id});
}

bool Tasks::setTitleAndContent(qint64 id, const QString& title, const QString& content)
{
    return Db::execute(QStringLiteral("UPDATE renwu SET title = ?, content = ? WHERE id = ?"), {Db::text(title), Db::text(content), id});
}

bool Tasks::remove(qint64 id)
{
    return Db::execute(QStringLiteral("DELETE FROM renwu WHERE id = ?"), {id});
}

std::optional<int> Tasks::countOfGoal(qint64 goalId)
{
    return Db::count(QStringLiteral("SELECT count(*) FROM renwu WHERE mubiao = ?"), {goalId});
}

std::optional<Tasks::Task> Tasks::latestDue(const QDate& day, const QTime& time)
{
    return firstOf(QStringLiteral("SELECT " TASK_COLUMNS " FROM renwu WHERE today = ? AND intime IS NOT NULL"
                                  " AND intime <= ? ORDER BY intime DESC, id DESC LIMIT 1"),
                   {Db::dayValue(day), Db::timeValue(time)});
}

std::optional<Tasks::Task> Tasks::firstOpen(const QDate& day)
{
    return firstOf(QStringLiteral("SELECT " TASK_COLUMNS " FROM renwu WHERE zhuangtai = 0 AND today = ?"
                                  " ORDER BY intime, id DESC LIMIT 1"),
                   {Db::dayValue(day)});
}
