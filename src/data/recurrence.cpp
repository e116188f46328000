#include "data/recurrence.h"

#include "data/db.h"

#include <QSqlError>
#include <algorithm>

namespace {
const QString kRuleColumns =
    QStringLiteral("id, title, content, mubiao, juese, zhongyao, jinpo, xuhao, intime, pinlv, xingqi, jiange,"
                   " ksday, jzday, lastday, zhuangtai");

Recurrence::Rule ruleFrom(const Db::Row& r)
{
    Recurrence::Rule rule;
    rule.id = r.id();
    Tasks::Task& t = rule.pattern;
    t.title = r.text("title");
    t.content = r.text("content");
    t.goal = r.id("mubiao");
    t.theme = r.id("juese");
    t.important = r.integer("zhongyao");
    t.urgent = r.integer("jinpo");
    t.kind = Tasks::Recurring;
    t.order = r.value("xuhao");
    t.time = r.time("intime");
    rule.frequency = Recurrence::Frequency(r.integer("pinlv"));
    rule.weekdays = r.integer("xingqi");
    rule.every = r.integer("jiange");
    rule.start = r.day("ksday");
    rule.until = r.day("jzday");
    rule.last = r.day("lastday");
    rule.active = r.integer("zhuangtai") == 0;
    t.day = rule.start;
    return rule;
}

QVariantList patternValues(const Recurrence::Rule& rule)
{
    const Tasks::Task& t = rule.pattern;
    return {Db::text(t.title), Db::text(t.content),  t.goal, t.theme, t.important, t.urgent,
            t.order,           Db::timeValue(t.time)};
}

void check(QSqlQuery& q, bool ok)
{
    if (!ok)
        throw Db::errorOf(Db::main(), q.lastError());
}
} // namespace

bool Recurrence::fallsOn(const Rule& rule, const QDate& day)
{
    if (!day.isValid() || !rule.start.isValid() || day < rule.start)
        return false;
    if (rule.until.isValid() && day > rule.until)
        return false;
    switch (rule.frequency) {
    case Daily:
        return true;
    case Workdays:
        return day.dayOfWeek() <= 5;
    case Weekly:
        return (rule.weekdays & (1 << (day.dayOfWeek() - 1))) != 0;
    case Monthly:
        // The 29th to 31st fall on the last day of a shorter month.
        return day.day() == std::min(rule.start.day(), day.daysInMonth());
    case EveryNDays:
        return rule.every > 0 && rule.start.daysTo(day) % rule.every == 0;
    }
    return false;
}

qint64 Recurrence::create(const Rule& rule, qint64 firstTaskId)
{
    qint64 id = 0;
    Db::transaction([&] {
        QVariantList values = patternValues(rule);
        values << rule.frequency << rule.weekdays << rule.every << Db::dayValue(rule.start) << Db::dayValue(rule.until)
               << Db::dayValue(rule.start);
        QSqlQuery q = Db::exec(Db::main(),
                               QStringLiteral("INSERT INTO chongfu (title, content, mubiao, juese, zhongyao, jinpo,"
                                              " xuhao, intime, pinlv, xingqi, jiange, ksday, jzday, lastday)"
                                              " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                               values);
        id = q.lastInsertId().toLongLong();
        Db::execute(QStringLiteral("UPDATE renwu SET type1 = 0, chongfu = ?, cfday = ? WHERE id = ?"),
                    {id, Db::dayValue(rule.start), firstTaskId});
    });
    return id;
}

int Recurrence::generate(const QDate& today)
{
    int made = 0;
    Db::transaction([&] {
        const QList<Rule> rules = Db::rows<Rule>(
            QStringLiteral("SELECT %1 FROM chongfu WHERE zhuangtai = 0 AND (lastday IS NULL OR lastday <> ?)")
                .arg(kRuleColumns),
            {Db::dayValue(today)}, ruleFrom);
        if (rules.isEmpty())
            return;
        QSqlQuery insert(Db::main());
        check(insert,
              insert.prepare(QStringLiteral(
                  "INSERT OR IGNORE INTO renwu (title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao,"
                  " today, intime, zhuangtai, chongfu, cfday) VALUES (?, ?, ?, ?, ?, ?, 0, ?, ?, ?, 0, ?, ?)")));
        const QDate oldest = today.addDays(1 - kCatchUpDays);
        for (const Rule& rule : rules) {
            const QVariantList pattern = patternValues(rule);
            // A last day after today was stored by a clock that was ahead: generation resumes
            // from today (the days made then keep their occurrences, never made twice).
            QDate from = !rule.last.isValid() ? rule.start : rule.last < today ? rule.last.addDays(1) : today;
            from = std::max(from, oldest);
            for (QDate day = from; day <= today; day = day.addDays(1)) {
                if (!fallsOn(rule, day))
                    continue;
                const QString dayText = Db::dayValue(day).toString();
                int i = 0;
                for (int k = 0; k < 6; ++k)
                    insert.bindValue(i++, pattern[k]);
                insert.bindValue(i++, pattern[6]);
                insert.bindValue(i++, dayText);
                insert.bindValue(i++, pattern[7]);
                insert.bindValue(i++, rule.id);
                insert.bindValue(i++, dayText);
                check(insert, insert.exec());
                made += insert.numRowsAffected();
            }
            Db::execute(QStringLiteral("UPDATE chongfu SET lastday = ? WHERE id = ?"), {Db::dayValue(today), rule.id});
        }
    });
    return made;
}

QList<Tasks::Task> Recurrence::planned(const QDate& day, const QDate& today)
{
    QList<Tasks::Task> tasks;
    if (!day.isValid() || day < today)
        return tasks;
    const QList<Rule> rules = Db::rows<Rule>(
        QStringLiteral("SELECT %1 FROM chongfu WHERE zhuangtai = 0 AND (lastday IS NULL OR lastday < ?)"
                       " AND NOT EXISTS (SELECT 1 FROM renwu WHERE renwu.chongfu = chongfu.id AND renwu.cfday = ?)")
            .arg(kRuleColumns),
        {Db::dayValue(day), Db::dayValue(day)}, ruleFrom);
    for (const Rule& rule : rules) {
        if (!fallsOn(rule, day))
            continue;
        Tasks::Task t = rule.pattern;
        t.id = 0;
        t.kind = Tasks::Recurring;
        t.state = Tasks::Open;
        t.day = day;
        tasks << t;
    }
    std::stable_sort(tasks.begin(), tasks.end(), [](const Tasks::Task& a, const Tasks::Task& b) {
        return a.time.isValid() && (!b.time.isValid() || a.time < b.time);
    });
    return tasks;
}

std::optional<Recurrence::Rule> Recurrence::rule(qint64 ruleId)
{
    return Db::first<Rule>(QStringLiteral("SELECT %1 FROM chongfu WHERE id = ?").arg(kRuleColumns), {ruleId}, ruleFrom);
}

std::optional<Recurrence::Rule> Recurrence::activeRuleOf(qint64 taskId)
{
    return Db::first<Rule>(QStringLiteral("SELECT %1 FROM chongfu WHERE zhuangtai = 0 AND id ="
                                          " (SELECT chongfu FROM renwu WHERE id = ? AND type1 = 0)")
                               .arg(kRuleColumns),
                           {taskId}, ruleFrom);
}

void Recurrence::stop(qint64 ruleId)
{
    Db::execute(QStringLiteral("UPDATE chongfu SET zhuangtai = 1 WHERE id = ?"), {ruleId});
}

void Recurrence::changeFuture(const Rule& rule, const QDate& fromDay)
{
    Db::transaction([&] {
        QVariantList values = patternValues(rule);
        values << rule.frequency << rule.weekdays << rule.every << Db::dayValue(rule.until) << rule.id;
        Db::execute(QStringLiteral("UPDATE chongfu SET title = ?, content = ?, mubiao = ?, juese = ?, zhongyao = ?,"
                                   " jinpo = ?, xuhao = ?, intime = ?, pinlv = ?, xingqi = ?, jiange = ?, jzday = ?"
                                   " WHERE id = ?"),
                    values);
        QVariantList occurrence = patternValues(rule);
        occurrence << rule.id << Db::dayValue(fromDay);
        Db::execute(
            QStringLiteral("UPDATE renwu SET title = ?, content = ?, mubiao = ?, juese = ?, zhongyao = ?,"
                           " jinpo = ?, xuhao = ?, intime = ? WHERE chongfu = ? AND zhuangtai = 0 AND today > ?"),
            occurrence);
    });
}
