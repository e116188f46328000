#include "data/icaltask.h"

#include "data/db.h"
#include "data/tasks.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QTimeZone>
#include <QUuid>
#include <libical/ical.h>
#include <memory>

namespace {

// Pinlv of the recurring rules (Recurrence::Frequency).
enum { kDaily = 0, kWorkdays = 1, kWeekly = 2, kMonthly = 3, kEveryNDays = 4 };
constexpr int kWorkdayBits = 0x1F;

const char* const kWeekdayNames[7] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};

struct ComponentFree
{
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

void initLibical()
{
    static const bool done = [] {
        icalerror_set_errors_are_fatal(0);
        return true;
    }();
    (void)done;
}

QByteArray utf8(const QString& s)
{
    return s.toUtf8();
}

QString text(const char* s)
{
    return s ? QString::fromUtf8(s) : QString();
}

// ---- database rows <-> IcalTask ----

const QString kSelect = QStringLiteral(
    "SELECT r.id, r.uid, r.title, r.content, r.today, r.intime, r.zhuangtai, r.zhongyao, r.jinpo, r.xuhao,"
    " r.modified, r.cfday, coalesce(j.name, '') AS theme, coalesce(m.title, '') AS goal, c.pinlv, c.xingqi,"
    " c.jiange, c.ksday, c.jzday, c.zhuangtai AS cstate, c.uid AS cuid"
    " FROM renwu r LEFT JOIN juese j ON j.id = r.juese LEFT JOIN mubiao m ON m.id = r.mubiao"
    " LEFT JOIN chongfu c ON c.id = r.chongfu AND r.chongfu > 0 ");

int quadrantOf(int zhongyao, int jinpo)
{
    const bool important = zhongyao != 0, urgent = jinpo != 0;
    return important && urgent ? 0 : important ? 1 : urgent ? 2 : 3;
}

IcalRule ruleFromStored(int frequency, int weekdays, int every, const QDate& start, const QDate& until, bool active,
                        const QString& uid, const QDate& occurrence)
{
    IcalRule r;
    switch (frequency) {
    case kDaily:
        r.freq = IcalRule::Daily;
        break;
    case kWorkdays:
        r.freq = IcalRule::Weekly;
        r.weekdays = kWorkdayBits;
        break;
    case kWeekly:
        r.freq = IcalRule::Weekly;
        r.weekdays = weekdays;
        break;
    case kMonthly:
        r.freq = IcalRule::Monthly;
        break;
    case kEveryNDays:
        r.freq = IcalRule::Daily;
        r.interval = std::max(1, every);
        break;
    default:
        r.freq = IcalRule::Daily;
    }
    r.start = start;
    r.until = until;
    r.active = active;
    r.uid = uid;
    r.occurrence = occurrence;
    return r;
}

// The stored form of a rule (columns pinlv, xingqi, jiange).
struct StoredRule
{
    int frequency = kDaily;
    int weekdays = 0;
    int every = 1;
};

StoredRule storedRule(const IcalRule& r, const QDate& start)
{
    StoredRule s;
    switch (r.freq) {
    case IcalRule::Daily:
        if (r.interval > 1) {
            s.frequency = kEveryNDays;
            s.every = r.interval;
        } else {
            s.frequency = kDaily;
        }
        break;
    case IcalRule::Weekly:
        s.weekdays = r.weekdays ? r.weekdays : (start.isValid() ? 1 << (start.dayOfWeek() - 1) : 1);
        s.frequency = s.weekdays == kWorkdayBits ? kWorkdays : kWeekly;
        break;
    case IcalRule::Monthly:
        s.frequency = kMonthly;
        break;
    }
    return s;
}

IcalTask taskFrom(const Db::Row& r)
{
    IcalTask t;
    t.uid = r.text("uid");
    t.name = r.text("title");
    t.description = r.text("content");
    t.day = r.day("today");
    t.time = t.day.isValid() ? r.time("intime") : QTime();
    t.reminder = t.time;
    t.state = r.integer("zhuangtai");
    t.quadrant = quadrantOf(r.integer("zhongyao"), r.integer("jinpo"));
    t.order = r.value("xuhao");
    t.theme = r.text("theme");
    t.goal = r.text("goal");
    const QString modified = r.text("modified");
    if (!modified.isEmpty()) {
        t.lastModified = QDateTime::fromString(modified, Qt::ISODate);
        t.lastModified.setTimeSpec(Qt::UTC);
    }
    if (!r.value("cuid").isNull()) {
        t.rule = ruleFromStored(r.integer("pinlv"), r.integer("xingqi"), r.integer("jiange"), r.day("ksday"),
                                r.day("jzday"), r.integer("cstate") == 0, r.text("cuid"), r.day("cfday"));
    }
    return t;
}

void check(QSqlQuery& q, bool ok)
{
    if (!ok)
        throw Db::Error(q.lastError().text());
}

QSqlQuery prepared(const QString& sql)
{
    QSqlQuery q(Db::main());
    check(q, q.prepare(sql));
    return q;
}

void run(QSqlQuery& q, const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    check(q, q.exec());
}

QVariant orderValue(const QVariant& order)
{
    const QVariant v = Tasks::orderNumber(order.toString());
    return v.isValid() ? v : QVariant(0);
}

QString modifiedText(const QDateTime& dt)
{
    return dt.isValid() ? dt.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")) : QString();
}

// ---- libical helpers ----

icaltimetype icalDay(const QDate& d)
{
    icaltimetype t = icaltime_null_date();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    return t;
}

icaltimetype icalFloating(const QDate& d, const QTime& time)
{
    icaltimetype t = icaltime_null_time();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    t.hour = time.hour();
    t.minute = time.minute();
    t.second = time.second();
    t.is_date = 0;
    return t;
}

icaltimetype icalUtc(const QDateTime& dt)
{
    return icaltime_from_timet_with_zone(time_t(dt.toSecsSinceEpoch()), 0, icaltimezone_get_utc_timezone());
}

// A time read from a file, in local time: floating times as written, zoned ones converted.
QDateTime localOf(const icaltimetype& t)
{
    if (icaltime_is_null_time(t) || !icaltime_is_valid_time(t))
        return {};
    const QDate day(t.year, t.month, t.day);
    if (t.is_date)
        return QDateTime(day, QTime());
    if (t.zone == nullptr && !icaltime_is_utc(t))
        return QDateTime(day, QTime(t.hour, t.minute, t.second));
    const time_t secs = icaltime_as_timet_with_zone(t, t.zone ? t.zone : icaltimezone_get_utc_timezone());
    return QDateTime::fromSecsSinceEpoch(qint64(secs)).toLocalTime();
}

void addX(icalcomponent* c, const char* name, const QString& value)
{
    icalproperty* p = icalproperty_new_x(utf8(value).constData());
    icalproperty_set_x_name(p, name);
    icalcomponent_add_property(c, p);
}

QString rruleText(const IcalRule& r, const QDate& start)
{
    QStringList parts;
    parts << (r.freq == IcalRule::Weekly    ? QStringLiteral("FREQ=WEEKLY")
              : r.freq == IcalRule::Monthly ? QStringLiteral("FREQ=MONTHLY")
                                            : QStringLiteral("FREQ=DAILY"));
    if (r.interval > 1)
        parts << QStringLiteral("INTERVAL=%1").arg(r.interval);
    if (r.until.isValid())
        parts << QStringLiteral("UNTIL=") + r.until.toString(QStringLiteral("yyyyMMdd"));
    if (r.freq == IcalRule::Weekly) {
        int bits = r.weekdays ? r.weekdays : (start.isValid() ? 1 << (start.dayOfWeek() - 1) : 1);
        QStringList days;
        for (int i = 0; i < 7; ++i)
            if (bits & (1 << i))
                days << QString::fromLatin1(kWeekdayNames[i]);
        parts << QStringLiteral("BYDAY=") + days.join(QLatin1Char(','));
    }
    return parts.join(QLatin1Char(';'));
}

icalcomponent* vtodo(const IcalTask& t)
{
    icalcomponent* c = icalcomponent_new_vtodo();
    const QDateTime stamp = t.lastModified.isValid() ? t.lastModified : QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    icalcomponent_add_property(c, icalproperty_new_uid(utf8(t.uid).constData()));
    icalcomponent_add_property(c, icalproperty_new_dtstamp(icalUtc(stamp)));
    if (t.lastModified.isValid())
        icalcomponent_add_property(c, icalproperty_new_lastmodified(icalUtc(t.lastModified)));
    icalcomponent_add_property(c, icalproperty_new_summary(utf8(t.name).constData()));
    if (!t.description.isEmpty())
        icalcomponent_add_property(c, icalproperty_new_description(utf8(t.description).constData()));
    const bool recurring = t.rule.freq != IcalRule::None;
    if (recurring && t.day.isValid()) {
        const QDate start = t.rule.start.isValid() ? t.rule.start : t.day;
        icalcomponent_add_property(
            c, icalproperty_new_dtstart(t.time.isValid() ? icalFloating(start, t.time) : icalDay(start)));
    }
    if (t.day.isValid())
        icalcomponent_add_property(
            c, icalproperty_new_due(t.time.isValid() ? icalFloating(t.day, t.time) : icalDay(t.day)));
    const icalproperty_status status = t.state == Tasks::Done        ? ICAL_STATUS_COMPLETED
                                       : t.state == Tasks::Abandoned ? ICAL_STATUS_CANCELLED
                                                                     : ICAL_STATUS_NEEDSACTION;
    icalcomponent_add_property(c, icalproperty_new_status(status));
    static const int priorities[4] = {1, 3, 5, 9};
    const int quadrant = std::clamp(t.quadrant, 0, 3);
    icalcomponent_add_property(c, icalproperty_new_priority(priorities[quadrant]));
    // One CATEGORIES line: some readers take only the first of several. libical cannot keep a
    // comma inside a name there; the exact names travel in X-VANTOREL-THEME and -GOAL.
    QStringList categories;
    for (const QString& name : QStringList{t.theme, t.goal} + t.categories)
        if (!name.isEmpty())
            categories << name;
    if (!categories.isEmpty())
        icalcomponent_add_property(c, icalproperty_new_categories(utf8(categories.join(QLatin1Char(','))).constData()));
    if (recurring) {
        const QByteArray rule = utf8(rruleText(t.rule, t.rule.start.isValid() ? t.rule.start : t.day));
        icalcomponent_add_property(c, icalproperty_new_rrule(icalrecurrencetype_from_string(rule.constData())));
    }
    addX(c, "X-VANTOREL-QUADRANT", QString::number(quadrant + 1));
    addX(c, "X-VANTOREL-STATE", QString::number(t.state));
    addX(c, "X-VANTOREL-ORDER", Tasks::orderText(t.order));
    if (!t.theme.isEmpty())
        addX(c, "X-VANTOREL-THEME", t.theme);
    if (!t.goal.isEmpty())
        addX(c, "X-VANTOREL-GOAL", t.goal);
    if (recurring) {
        if (!t.rule.uid.isEmpty())
            addX(c, "X-VANTOREL-RULE", t.rule.uid);
        if (t.rule.occurrence.isValid())
            addX(c, "X-VANTOREL-RULE-DAY", t.rule.occurrence.toString(Qt::ISODate));
        if (!t.rule.active)
            addX(c, "X-VANTOREL-RULE-STOPPED", QStringLiteral("1"));
    }
    if (t.reminder.isValid() && t.day.isValid()) {
        icalcomponent* alarm = icalcomponent_new_valarm();
        icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icalcomponent_add_property(alarm, icalproperty_new_description(utf8(t.name).constData()));
        icaltriggertype trigger;
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_null_duration();
        if (t.time.isValid() && t.reminder != t.time)
            trigger.duration = icaldurationtype_from_int(t.time.secsTo(t.reminder));
        icalproperty* p = icalproperty_new_trigger(trigger);
        icalproperty_add_parameter(p, icalparameter_new_related(ICAL_RELATED_END));
        icalcomponent_add_property(alarm, p);
        icalcomponent_add_component(c, alarm);
    }
    return c;
}

QByteArray asText(icalcomponent* c)
{
    char* s = icalcomponent_as_ical_string_r(c);
    QByteArray out(s);
    icalmemory_free_buffer(s);
    return out;
}

// The calendar's opening lines (BEGIN, VERSION, PRODID) and its END line.
std::pair<QByteArray, QByteArray> calendarFrame()
{
    initLibical();
    Component cal(icalcomponent_new_vcalendar());
    icalcomponent_add_property(cal.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(cal.get(), icalproperty_new_prodid("-//Vantorel//Vantorel//ZH"));
    const QByteArray all = asText(cal.get());
    const qsizetype end = all.lastIndexOf("END:VCALENDAR");
    return {all.left(end), all.mid(end)};
}

// ---- parsing ----

struct Block
{
    int line = 0;                            // of BEGIN:VTODO
    QList<std::pair<QByteArray, int>> props; // property names and their lines
};

QString formatError(int line, const QString& what)
{
    return QStringLiteral("文件格式不正确：第 %1 行 %2").arg(line).arg(what);
}

// Checks the lines' structure (encoding, content lines, BEGIN/END nesting) and finds the line of
// every to-do and its properties. Returns false with result.error set on the first fault.
bool scan(const QByteArray& data, IcalParseResult& result, QList<Block>& todos)
{
    QList<QByteArray> stack;
    int lineNo = 0;
    qsizetype pos = 0;
    bool any = false;
    Block* current = nullptr;
    auto fail = [&](int line, const QString& what) {
        result.errorLine = line;
        result.error = formatError(line, what);
        return false;
    };
    while (pos < data.size()) {
        qsizetype end = data.indexOf('\n', pos);
        if (end < 0)
            end = data.size();
        QByteArray line = data.mid(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (line.endsWith('\r'))
            line.chop(1);
        if (lineNo == 1 && line.startsWith("\xEF\xBB\xBF"))
            line.remove(0, 3);
        if (line.isEmpty())
            continue;
        if (line[0] == ' ' || line[0] == '\t') {
            if (!any)
                return fail(lineNo, QStringLiteral("不是日历文件（应以 BEGIN:VCALENDAR 开头）"));
            continue;
        }
        qsizetype nameEnd = 0;
        while (nameEnd < line.size() && (std::isalnum(uchar(line[nameEnd])) || line[nameEnd] == '-'))
            ++nameEnd;
        const qsizetype colon = line.indexOf(':');
        if (nameEnd == 0 || colon < 0 || (line[nameEnd] != ':' && line[nameEnd] != ';'))
            return fail(lineNo, any ? QStringLiteral("不是有效的内容行：%1").arg(QString::fromUtf8(line.left(40)))
                                    : QStringLiteral("不是日历文件（应以 BEGIN:VCALENDAR 开头）"));
        const QByteArray name = line.left(nameEnd).toUpper();
        const QByteArray value = line.mid(colon + 1).trimmed().toUpper();
        if (!any) {
            if (name != "BEGIN" || value != "VCALENDAR")
                return fail(lineNo, QStringLiteral("不是日历文件（应以 BEGIN:VCALENDAR 开头）"));
            any = true;
        }
        if (name == "BEGIN") {
            if (stack.isEmpty() && value != "VCALENDAR")
                return fail(lineNo, QStringLiteral("日历之外出现了 %1").arg(QString::fromUtf8(value)));
            if (stack.size() == 1) {
                if (value == "VTODO") {
                    todos.append(Block{lineNo, {}});
                    current = &todos.last();
                } else if (value == "VEVENT") {
                    ++result.skippedEvents;
                }
            }
            stack.append(value);
            continue;
        }
        if (name == "END") {
            if (stack.isEmpty() || stack.last() != value)
                return fail(lineNo, QStringLiteral("END:%1 与前面的 BEGIN 不配对").arg(QString::fromUtf8(value)));
            stack.removeLast();
            if (stack.size() <= 1)
                current = nullptr;
            continue;
        }
        if (current)
            current->props.append({name, lineNo});
    }
    if (!any)
        return fail(1, QStringLiteral("不是日历文件（文件是空的）"));
    if (!stack.isEmpty())
        return fail(lineNo, QStringLiteral("文件不完整，缺少 END:%1").arg(QString::fromUtf8(stack.last())));
    return true;
}

int quadrantFromPriority(int priority)
{
    if (priority >= 1 && priority <= 2)
        return 0;
    if (priority >= 3 && priority <= 4)
        return 1;
    if (priority == 5)
        return 2;
    return 3;
}

bool fromTodo(icalcomponent* c, const Block& block, IcalTask& t, QString& error, int& errorLine)
{
    t.line = block.line;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY)) {
        const QString message = text(icalproperty_get_xlicerror(p));
        errorLine = block.line;
        QString what = QStringLiteral("待办事项无法读取");
        for (const auto& [name, line] : block.props) {
            if (message.contains(QString::fromLatin1(name), Qt::CaseInsensitive)) {
                errorLine = line;
                what = QStringLiteral("%1 的值无法读取").arg(QString::fromLatin1(name));
                break;
            }
        }
        error = formatError(errorLine, what);
        return false;
    }
    t.uid = text(icalcomponent_get_uid(c)).trimmed();
    t.name = text(icalcomponent_get_summary(c));
    if (icalcomponent_get_first_property(c, ICAL_DESCRIPTION_PROPERTY))
        t.description = text(icalcomponent_get_description(c));
    QDateTime due, start;
    bool dueIsDate = false, startIsDate = false;
    if (icalcomponent_get_first_property(c, ICAL_DUE_PROPERTY)) {
        const icaltimetype v = icalcomponent_get_due(c);
        due = localOf(v);
        dueIsDate = v.is_date;
    }
    if (icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY)) {
        const icaltimetype v = icalcomponent_get_dtstart(c);
        start = localOf(v);
        startIsDate = v.is_date;
    }
    const QDateTime when = due.isValid() ? due : start;
    if (when.isValid()) {
        t.day = when.date();
        if (!(due.isValid() ? dueIsDate : startIsDate))
            t.time = when.time();
    }
    t.state = Tasks::Open;
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_STATUS_PROPERTY)) {
        const icalproperty_status s = icalproperty_get_status(p);
        t.state = s == ICAL_STATUS_COMPLETED   ? Tasks::Done
                  : s == ICAL_STATUS_CANCELLED ? Tasks::Abandoned
                                               : Tasks::Open;
    } else if (icalcomponent_get_first_property(c, ICAL_COMPLETED_PROPERTY)) {
        t.state = Tasks::Done;
    }
    t.quadrant = 3;
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_PRIORITY_PROPERTY))
        t.quadrant = quadrantFromPriority(icalproperty_get_priority(p));
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_LASTMODIFIED_PROPERTY))
        t.lastModified = localOf(icalproperty_get_lastmodified(p)).toUTC();
    QStringList categories;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_CATEGORIES_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_CATEGORIES_PROPERTY)) {
        for (const QString& value : text(icalproperty_get_categories(p)).split(QLatin1Char(',')))
            if (!value.trimmed().isEmpty())
                categories << value.trimmed();
    }
    bool hasTheme = false, hasGoal = false;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY)) {
        const QByteArray name = QByteArray(icalproperty_get_x_name(p)).toUpper();
        const QString value = text(icalproperty_get_x(p));
        if (name == "X-VANTOREL-QUADRANT") {
            const int q = value.toInt();
            if (q >= 1 && q <= 4)
                t.quadrant = q - 1;
        } else if (name == "X-VANTOREL-STATE") {
            const int s = value.toInt();
            if (s >= 0 && s <= 3)
                t.state = s;
        } else if (name == "X-VANTOREL-ORDER") {
            t.order = orderValue(value);
        } else if (name == "X-VANTOREL-THEME") {
            t.theme = value;
            hasTheme = true;
        } else if (name == "X-VANTOREL-GOAL") {
            t.goal = value;
            hasGoal = true;
        } else if (name == "X-VANTOREL-RULE") {
            t.rule.uid = value;
        } else if (name == "X-VANTOREL-RULE-DAY") {
            t.rule.occurrence = QDate::fromString(value, Qt::ISODate);
        } else if (name == "X-VANTOREL-RULE-STOPPED") {
            t.rule.active = value != QLatin1String("1");
        }
    }
    // With our own names present, the categories are only their copy.
    if (!hasTheme && !hasGoal)
        t.categories = categories;
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype r = icalproperty_get_rrule(p);
        t.rule.freq = r.freq == ICAL_WEEKLY_RECURRENCE    ? IcalRule::Weekly
                      : r.freq == ICAL_MONTHLY_RECURRENCE ? IcalRule::Monthly
                                                          : IcalRule::Daily;
        t.rule.interval = std::max<int>(1, r.interval);
        for (int i = 0; i < ICAL_BY_DAY_SIZE && r.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
            const int weekday = icalrecurrencetype_day_day_of_week(r.by_day[i]); // 1 Sunday .. 7 Saturday
            if (weekday >= 1 && weekday <= 7)
                t.rule.weekdays |= 1 << ((weekday + 5) % 7);
        }
        if (!icaltime_is_null_time(r.until))
            t.rule.until = localOf(r.until).date();
        t.rule.start = start.isValid() ? start.date() : t.day;
    } else {
        t.rule = IcalRule();
    }
    t.reminder = QTime();
    for (icalcomponent* a = icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(c, ICAL_VALARM_COMPONENT)) {
        icalproperty* p = icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY);
        if (!p)
            continue;
        const icaltriggertype trigger = icalproperty_get_trigger(p);
        if (!icaltime_is_null_time(trigger.time)) {
            const QDateTime at = localOf(trigger.time);
            if (at.isValid() && (!t.day.isValid() || at.date() == t.day)) {
                t.reminder = at.time();
                if (!t.day.isValid())
                    t.day = at.date();
            }
        } else {
            icalparameter* rel = icalproperty_get_first_parameter(p, ICAL_RELATED_PARAMETER);
            const bool fromStart = rel && icalparameter_get_related(rel) == ICAL_RELATED_START;
            QDateTime base = fromStart && start.isValid() ? start : due.isValid() ? due : start;
            const bool baseIsDate = base == start ? startIsDate : dueIsDate;
            if (base.isValid() && !baseIsDate) {
                const QDateTime at = base.addSecs(icaldurationtype_as_int(trigger.duration));
                if (at.date() == t.day || !t.day.isValid())
                    t.reminder = at.time();
            }
        }
        if (t.reminder.isValid())
            break;
    }
    if (t.uid.isEmpty()) {
        // A to-do without a UID (not allowed, but written by some programs) gets one made from
        // its content, so that importing the same file again finds it.
        QCryptographicHash h(QCryptographicHash::Sha1);
        h.addData(utf8(t.name + QChar(0) + t.description + QChar(0) + t.day.toString(Qt::ISODate)));
        t.uid = QStringLiteral("import-") + QString::fromLatin1(h.result().toHex());
    }
    return true;
}

} // namespace

bool IcalTask::sameContent(const IcalTask& o) const
{
    return uid == o.uid && name == o.name && description == o.description && day == o.day && time == o.time
           && state == o.state && quadrant == o.quadrant && reminder == o.reminder && rule == o.rule && theme == o.theme
           && goal == o.goal && Tasks::orderText(order) == Tasks::orderText(o.order);
}

std::optional<IcalTask> IcalTasks::read(qint64 taskId)
{
    return Db::first<IcalTask>(kSelect + QStringLiteral("WHERE r.id = ?"), {taskId}, taskFrom);
}

std::optional<IcalTask> IcalTasks::readByUid(const QString& uid)
{
    return Db::first<IcalTask>(kSelect + QStringLiteral("WHERE r.uid = ?"), {uid}, taskFrom);
}

QList<IcalTask> IcalTasks::readAll(const std::function<bool(int, int)>& progress)
{
    const int total = int(Db::count(QStringLiteral("SELECT count(*) FROM renwu")));
    QSqlQuery q = Db::exec(Db::main(), kSelect + QStringLiteral("ORDER BY r.id"));
    q.setForwardOnly(true);
    QList<IcalTask> list;
    list.reserve(total);
    const Db::Row row(q);
    while (q.next()) {
        list.append(taskFrom(row));
        if (progress && list.size() % 1000 == 0 && !progress(int(list.size()), total))
            break;
    }
    return list;
}

// ---- writing ----

struct IcalTasks::Writer::Impl
{
    QSqlQuery current = prepared(QStringLiteral(
        "SELECT r.title, r.content, r.today, r.intime, r.zhuangtai, r.zhongyao, r.jinpo, r.xuhao, r.mubiao, r.juese,"
        " r.chongfu, r.cfday, c.uid AS cuid FROM renwu r LEFT JOIN chongfu c ON c.id = r.chongfu AND r.chongfu > 0"
        " WHERE r.id = ?"));
    QSqlQuery insert = prepared(QStringLiteral(
        "INSERT INTO renwu (uid, title, content, today, intime, zhuangtai, zhongyao, jinpo, xuhao, mubiao, juese,"
        " type1, chongfu, cfday, modified) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    QSqlQuery update = prepared(QStringLiteral(
        "UPDATE renwu SET title = ?, content = ?, today = ?, intime = ?, zhuangtai = ?, zhongyao = ?, jinpo = ?,"
        " xuhao = ?, mubiao = ?, juese = ?, type1 = ?, chongfu = ?, cfday = ?,"
        " modified = coalesce(?, strftime('%Y-%m-%dT%H:%M:%SZ', 'now')) WHERE id = ?"));
    QSqlQuery ruleByUid = prepared(QStringLiteral("SELECT id FROM chongfu WHERE uid = ?"));
    QSqlQuery ruleDayTaken = prepared(QStringLiteral("SELECT id FROM renwu WHERE chongfu = ? AND cfday = ?"));
    QSqlQuery ruleInsert = prepared(QStringLiteral(
        "INSERT INTO chongfu (title, content, mubiao, juese, zhongyao, jinpo, xuhao, intime, pinlv, xingqi, jiange,"
        " ksday, jzday, lastday, zhuangtai, uid) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    QSqlQuery ruleLast =
        prepared(QStringLiteral("UPDATE chongfu SET lastday = ? WHERE id = ? AND (lastday IS NULL OR lastday < ?)"));

    // The tasks there are, by uid: read once, kept up to date by this writer's inserts.
    QHash<QString, qint64> uids;
    bool uidsLoaded = false;
    qint64 existing(const QString& uid)
    {
        if (!uidsLoaded) {
            uidsLoaded = true;
            QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT uid, id FROM renwu WHERE uid IS NOT NULL"));
            while (q.next())
                uids.insert(q.value(0).toString(), q.value(1).toLongLong());
        }
        return uids.value(uid, 0);
    }

    QHash<QString, qint64> themes;                          // name -> id (0: none)
    QHash<QString, QList<std::pair<qint64, qint64>>> goals; // title -> (id, theme)
    bool namesLoaded = false;

    void loadNames()
    {
        if (namesLoaded)
            return;
        namesLoaded = true;
        QSqlQuery t = Db::exec(Db::main(), QStringLiteral("SELECT id, name FROM juese ORDER BY id"));
        while (t.next())
            if (!themes.contains(t.value(1).toString()))
                themes.insert(t.value(1).toString(), t.value(0).toLongLong());
        QSqlQuery g = Db::exec(Db::main(), QStringLiteral("SELECT id, title, juese FROM mubiao ORDER BY id"));
        while (g.next())
            goals[g.value(1).toString()].append({g.value(0).toLongLong(), g.value(2).toLongLong()});
    }

    // The goal and theme the task goes under: the named goal (preferring one of the named theme)
    // and the named theme, else the goal's theme; from a file of another program, the first
    // category that names a goal, else the first that names a theme.
    std::pair<qint64, qint64> place(const IcalTask& t)
    {
        loadNames();
        qint64 theme = t.theme.isEmpty() ? 0 : themes.value(t.theme, 0);
        qint64 goal = 0;
        auto findGoal = [&](const QString& title) -> std::pair<qint64, qint64> {
            const auto list = goals.value(title);
            for (const auto& g : list)
                if (theme && g.second == theme)
                    return g;
            return list.isEmpty() ? std::pair<qint64, qint64>{0, 0} : list.first();
        };
        if (!t.goal.isEmpty()) {
            const auto g = findGoal(t.goal);
            goal = g.first;
            if (!theme)
                theme = g.second;
        }
        if (t.theme.isEmpty() && t.goal.isEmpty()) {
            for (const QString& c : t.categories) {
                if (const auto g = findGoal(c); g.first) {
                    goal = g.first;
                    theme = g.second;
                    break;
                }
            }
            if (!theme)
                for (const QString& c : t.categories)
                    if ((theme = themes.value(c, 0)))
                        break;
        }
        return {goal, theme};
    }
};

IcalTasks::Writer::Writer() : d(std::make_unique<Impl>())
{}
IcalTasks::Writer::~Writer() = default;

IcalTasks::WriteResult IcalTasks::Writer::write(const IcalTask& in)
{
    IcalTask t = in;
    if (t.uid.isEmpty())
        t.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (!t.day.isValid()) {
        t.time = QTime();
        t.reminder = QTime();
    }
    // One time of day is stored: the due time, else the reminder's.
    const QTime time = t.time.isValid() ? t.time : t.reminder;
    const auto [goal, theme] = d->place(t);
    const int q = std::clamp(t.quadrant, 0, 3);
    const int zhongyao = q <= 1 ? 1 : 0, jinpo = (q == 0 || q == 2) ? 1 : 0;
    const int state = std::clamp(t.state, 0, 3);
    const QVariant order = orderValue(t.order);

    // The rule the task is an occurrence of.
    qint64 ruleId = 0;
    QVariant ruleDay;
    const QString ruleUid = t.rule.uid.isEmpty() ? t.uid : t.rule.uid;
    const QDate occurrence = t.rule.occurrence.isValid() ? t.rule.occurrence : t.day;
    if (t.rule.freq != IcalRule::None && occurrence.isValid()) {
        run(d->ruleByUid, {ruleUid});
        if (d->ruleByUid.next())
            ruleId = d->ruleByUid.value(0).toLongLong();
        d->ruleByUid.finish();
        ruleDay = Db::dayValue(occurrence);
    }

    const qint64 existing = d->existing(t.uid);

    if (existing && (ruleId || t.rule.freq == IcalRule::None)) {
        // Unchanged when every stored value is the same.
        run(d->current, {existing});
        if (d->current.next()) {
            const Db::Row r(d->current);
            const bool same = r.text("title") == t.name && r.text("content") == t.description && r.day("today") == t.day
                              && r.time("intime") == time && r.integer("zhuangtai") == state
                              && r.integer("zhongyao") == zhongyao && r.integer("jinpo") == jinpo
                              && Tasks::orderText(r.value("xuhao")) == Tasks::orderText(order) && r.id("mubiao") == goal
                              && r.id("juese") == theme && r.id("chongfu") == ruleId
                              && (!ruleId || r.day("cfday") == occurrence);
            d->current.finish();
            if (same)
                return {Outcome::Unchanged, existing};
        }
    }

    if (t.rule.freq != IcalRule::None && occurrence.isValid() && !ruleId) {
        const QDate start = t.rule.start.isValid() ? t.rule.start : occurrence;
        const StoredRule s = storedRule(t.rule, start);
        run(d->ruleInsert, {Db::text(t.name), Db::text(t.description), goal, theme, zhongyao, jinpo, order,
                            Db::timeValue(time), s.frequency, s.weekdays, s.every, Db::dayValue(start),
                            Db::dayValue(t.rule.until), Db::dayValue(occurrence), t.rule.active ? 0 : 1, ruleUid});
        ruleId = d->ruleInsert.lastInsertId().toLongLong();
    }
    if (ruleId) {
        // A day of the rule holds one occurrence; another task already there keeps it.
        run(d->ruleDayTaken, {ruleId, ruleDay});
        const qint64 holder = d->ruleDayTaken.next() ? d->ruleDayTaken.value(0).toLongLong() : 0;
        d->ruleDayTaken.finish();
        if (holder && holder != existing) {
            ruleId = 0;
            ruleDay = QVariant();
        } else {
            run(d->ruleLast, {ruleDay, ruleId, ruleDay});
        }
    } else {
        ruleDay = QVariant();
    }
    const QVariant modified = t.lastModified.isValid() ? QVariant(modifiedText(t.lastModified)) : QVariant();
    const QVariantList values = {Db::text(t.name),
                                 Db::text(t.description),
                                 Db::dayValue(t.day),
                                 Db::timeValue(time),
                                 state,
                                 zhongyao,
                                 jinpo,
                                 order,
                                 goal,
                                 theme,
                                 ruleId ? 0 : 1,
                                 ruleId,
                                 ruleDay,
                                 modified};
    if (existing) {
        run(d->update, QVariantList(values) << existing);
        return {Outcome::Updated, existing};
    }
    run(d->insert, QVariantList{t.uid} << values);
    const qint64 id = d->insert.lastInsertId().toLongLong();
    d->uids.insert(t.uid, id);
    return {Outcome::Inserted, id};
}

IcalTasks::WriteResult IcalTasks::write(const IcalTask& task)
{
    WriteResult result;
    Db::transaction([&] {
        Writer writer;
        result = writer.write(task);
    });
    return result;
}

// ---- text ----

QByteArray IcalTasks::toCalendar(const IcalTask& task)
{
    return toCalendar(QList<IcalTask>{task});
}

QByteArray IcalTasks::toCalendar(const QList<IcalTask>& tasks, const std::function<bool(int, int)>& progress)
{
    const auto [head, tail] = calendarFrame();
    QByteArray out = head;
    for (int i = 0; i < tasks.size(); ++i) {
        Component c(vtodo(tasks[i]));
        out += asText(c.get());
        if (progress && (i + 1) % 1000 == 0 && !progress(i + 1, int(tasks.size())))
            return {};
    }
    out += tail;
    return out;
}

IcalParseResult IcalTasks::parse(const QByteArray& data)
{
    initLibical();
    IcalParseResult result;
    {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString decoded = decoder.decode(data);
        if (decoder.hasError()) {
            result.errorLine = qMax(1, IcalTasks::firstBadUtf8Line(data));
            result.error = formatError(result.errorLine, QStringLiteral("不是 UTF-8 编码的文字"));
            return result;
        }
    }
    QList<Block> todos;
    if (!scan(data, result, todos))
        return result;
    QByteArray body = data;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    if (body.contains('\0')) {
        result.errorLine = qMax(1, IcalTasks::firstBadUtf8Line(data));
        result.error = formatError(1, QStringLiteral("文件中有不可见的控制字符"));
        return result;
    }
    Component root(icalparser_parse_string(body.constData()));
    if (!root) {
        result.errorLine = 1;
        result.error = formatError(1, QStringLiteral("日历无法读取"));
        return result;
    }
    QList<icalcomponent*> calendars;
    if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        calendars << root.get();
    } else {
        for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT); c;
             c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
            calendars << c;
    }
    int index = 0;
    result.tasks.reserve(todos.size());
    for (icalcomponent* cal : calendars) {
        for (icalcomponent* c = icalcomponent_get_first_component(cal, ICAL_VTODO_COMPONENT); c;
             c = icalcomponent_get_next_component(cal, ICAL_VTODO_COMPONENT)) {
            const Block block = index < todos.size() ? todos[index] : Block{};
            ++index;
            IcalTask t;
            if (!fromTodo(c, block, t, result.error, result.errorLine)) {
                result.tasks.clear();
                return result;
            }
            result.tasks.append(t);
        }
    }
    if (index != todos.size()) {
        result.errorLine = todos.isEmpty() ? 1 : todos.last().line;
        result.error = formatError(result.errorLine, QStringLiteral("待办事项无法读取"));
        result.tasks.clear();
    }
    return result;
}

int IcalTasks::firstBadUtf8Line(const QByteArray& data)
{
    QStringDecoder whole(QStringDecoder::Utf8);
    const QString decoded = whole.decode(data);
    if (!whole.hasError())
        return 0;
    int line = 1;
    qsizetype start = 0;
    while (start <= data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString part = decoder.decode(QByteArrayView(data).sliced(start, end - start));
        if (decoder.hasError())
            return line;
        start = end + 1;
        ++line;
    }
    return 1;
}
