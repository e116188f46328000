#include "data/exchange.h"

#include "data/csv.h"
#include "data/db.h"
#include "data/icaltask.h"
#include "data/money.h"
#include "data/tasks.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QUuid>

namespace {

const QString kDiary = QStringLiteral("日志");

QString formatError(int line, const QString& what)
{
    return QStringLiteral("文件格式不正确：第 %1 行 %2").arg(line).arg(what);
}

void tick(const Exchange::Progress& progress, int done, int total)
{
    if (progress && (done % 200 == 0 || done == total) && !progress(done, total))
        throw Exchange::Cancelled();
}

// ---- vCard ----

QString escapeValue(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char(','))
            out += QLatin1String("\\,");
        else if (c == QLatin1Char(';'))
            out += QLatin1String("\\;");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c != QLatin1Char('\r'))
            out += c;
    }
    return out;
}

QString unescapeValue(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\') && i + 1 < s.size()) {
            const QChar n = s[++i];
            out += (n == QLatin1Char('n') || n == QLatin1Char('N')) ? QChar(QLatin1Char('\n')) : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

// A parameter value, always quoted (RFC 6868 for quotes and line breaks).
QString paramValue(const QString& s)
{
    QString out = s;
    out.replace(QLatin1Char('^'), QLatin1String("^^"));
    out.replace(QLatin1Char('"'), QLatin1String("^'"));
    out.remove(QLatin1Char('\r'));
    out.replace(QLatin1Char('\n'), QLatin1String("^n"));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QString unParamValue(QString s)
{
    if (s.size() >= 2 && s.startsWith(QLatin1Char('"')) && s.endsWith(QLatin1Char('"')))
        s = s.mid(1, s.size() - 2);
    QString out;
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('^') && i + 1 < s.size()) {
            const QChar n = s[i + 1];
            if (n == QLatin1Char('^') || n == QLatin1Char('\'') || n == QLatin1Char('n')) {
                out += n == QLatin1Char('^')    ? QChar(QLatin1Char('^'))
                       : n == QLatin1Char('\'') ? QChar(QLatin1Char('"'))
                                                : QChar(QLatin1Char('\n'));
                ++i;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// One content line folded at 75 octets, without cutting a UTF-8 character.
void appendLine(QByteArray& out, const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    qsizetype pos = 0;
    int limit = 75;
    while (bytes.size() - pos > limit) {
        qsizetype cut = pos + limit;
        while (cut > pos && (uchar(bytes[cut]) & 0xC0) == 0x80)
            --cut;
        out += bytes.mid(pos, cut - pos);
        out += "\r\n ";
        pos = cut;
        limit = 74;
    }
    out += bytes.mid(pos);
    out += "\r\n";
}

struct Note
{
    QString title;
    QString content;
    QString kind;
    QDate day;
    bool operator==(const Note&) const = default;
};

struct Card
{
    QString uid, name, title, category, tel, mob, address, zip, email, msn;
    int sex = 0;
    QList<Note> notes;
    int line = 0;
};

struct Property
{
    QString name;                              // upper case, without a group
    QList<std::pair<QString, QString>> params; // upper-case names; bare 3.0 values under "TYPE"
    QString value;                             // raw (still escaped)
    int line = 0;

    QString param(const QString& key) const
    {
        for (const auto& [k, v] : params)
            if (k == key)
                return unParamValue(v);
        return {};
    }
    QStringList types() const
    {
        QStringList t;
        for (const auto& [k, v] : params)
            if (k == QLatin1String("TYPE"))
                for (const QString& part : unParamValue(v).split(QLatin1Char(',')))
                    t << part.trimmed().toLower();
        return t;
    }
};

// Splits at unquoted separators.
QStringList splitOutsideQuotes(const QString& s, QChar sep)
{
    QStringList parts;
    QString cur;
    bool quoted = false;
    for (const QChar c : s) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (c == sep && !quoted) {
            parts << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts << cur;
    return parts;
}

// Splits a structured value at unescaped semicolons.
QStringList components(const QString& value)
{
    QStringList parts;
    QString cur;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            cur += value[i];
            cur += value[++i];
        } else if (value[i] == QLatin1Char(';')) {
            parts << cur;
            cur.clear();
        } else {
            cur += value[i];
        }
    }
    parts << cur;
    return parts;
}

struct CardsParsed
{
    QList<Card> cards;
    QString error;
};

CardsParsed parseCards(const QByteArray& data)
{
    CardsParsed result;
    if (const int bad = IcalTasks::firstBadUtf8Line(data)) {
        result.error = formatError(bad, QStringLiteral("不是 UTF-8 编码的文字"));
        return result;
    }
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList physical = text.split(QLatin1Char('\n'));
    // Logical lines with the number of their first physical line.
    QList<std::pair<QString, int>> lines;
    for (int i = 0; i < physical.size(); ++i) {
        QString l = physical[i];
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
        if (!l.isEmpty() && (l[0] == QLatin1Char(' ') || l[0] == QLatin1Char('\t')) && !lines.isEmpty()) {
            lines.last().first += l.mid(1);
            continue;
        }
        if (l.trimmed().isEmpty())
            continue;
        lines.append({l, i + 1});
    }
    static const QRegularExpression nameRe(QStringLiteral("^(?:[A-Za-z0-9-]+\\.)?([A-Za-z0-9-]+)$"));
    Card* card = nullptr;
    QString version;
    for (const auto& [line, no] : lines) {
        const qsizetype colon = [&] {
            bool quoted = false;
            for (qsizetype i = 0; i < line.size(); ++i) {
                if (line[i] == QLatin1Char('"'))
                    quoted = !quoted;
                else if (line[i] == QLatin1Char(':') && !quoted)
                    return i;
            }
            return qsizetype(-1);
        }();
        if (colon <= 0) {
            result.error = formatError(no, card ? QStringLiteral("不是有效的内容行：%1").arg(line.left(40))
                                                : QStringLiteral("不是联系人文件（应以 BEGIN:VCARD 开头）"));
            return result;
        }
        const QStringList head = splitOutsideQuotes(line.left(colon), QLatin1Char(';'));
        const QRegularExpressionMatch m = nameRe.match(head[0]);
        if (!m.hasMatch()) {
            result.error = formatError(no, QStringLiteral("不是有效的内容行：%1").arg(line.left(40)));
            return result;
        }
        Property p;
        p.name = m.captured(1).toUpper();
        p.value = line.mid(colon + 1);
        p.line = no;
        for (int i = 1; i < head.size(); ++i) {
            const qsizetype eq = head[i].indexOf(QLatin1Char('='));
            if (eq < 0)
                p.params.append({QStringLiteral("TYPE"), head[i]});
            else
                p.params.append({head[i].left(eq).toUpper(), head[i].mid(eq + 1)});
        }
        if (p.name == QLatin1String("BEGIN")) {
            if (card || p.value.trimmed().toUpper() != QLatin1String("VCARD")) {
                result.error = formatError(no, card ? QStringLiteral("联系人缺少 END:VCARD")
                                                    : QStringLiteral("不是联系人文件（应以 BEGIN:VCARD 开头）"));
                return result;
            }
            result.cards.append(Card());
            card = &result.cards.last();
            card->line = no;
            version.clear();
            continue;
        }
        if (!card) {
            result.error = formatError(no, QStringLiteral("不是联系人文件（应以 BEGIN:VCARD 开头）"));
            return result;
        }
        if (p.name == QLatin1String("END")) {
            if (p.value.trimmed().toUpper() != QLatin1String("VCARD")) {
                result.error = formatError(no, QStringLiteral("END:%1 与 BEGIN:VCARD 不配对").arg(p.value));
                return result;
            }
            if (version != QLatin1String("3.0") && version != QLatin1String("4.0")) {
                result.error = formatError(card->line, QStringLiteral("只能读取 vCard 3.0 和 4.0"));
                return result;
            }
            if (card->name.isEmpty()) {
                result.error = formatError(card->line, QStringLiteral("联系人没有姓名（FN）"));
                return result;
            }
            card = nullptr;
            continue;
        }
        const QString value = unescapeValue(p.value);
        if (p.name == QLatin1String("VERSION")) {
            version = p.value.trimmed();
        } else if (p.name == QLatin1String("UID")) {
            card->uid = p.value.trimmed();
        } else if (p.name == QLatin1String("FN")) {
            card->name = value;
        } else if (p.name == QLatin1String("N")) {
            if (card->name.isEmpty()) {
                const QStringList n = components(p.value);
                card->name = (unescapeValue(n.value(0)) + unescapeValue(n.value(1))).trimmed();
            }
        } else if (p.name == QLatin1String("TEL")) {
            QString number = value;
            if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
                number = number.mid(4);
            const QStringList types = p.types();
            if ((types.contains(QLatin1String("cell")) && card->mob.isEmpty())
                || (!card->tel.isEmpty() && card->mob.isEmpty()))
                card->mob = number;
            else if (card->tel.isEmpty())
                card->tel = number;
        } else if (p.name == QLatin1String("EMAIL")) {
            if (card->email.isEmpty())
                card->email = value;
        } else if (p.name == QLatin1String("ADR")) {
            if (card->address.isEmpty() && card->zip.isEmpty()) {
                const QStringList a = components(p.value);
                QStringList parts;
                for (int i : {2, 3, 4, 6})
                    if (!a.value(i).isEmpty())
                        parts << unescapeValue(a.value(i));
                card->address = parts.join(QLatin1Char(' '));
                card->zip = unescapeValue(a.value(5));
            }
        } else if (p.name == QLatin1String("IMPP") || p.name == QLatin1String("X-MSN")) {
            if (card->msn.isEmpty()) {
                static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
                card->msn = p.name == QLatin1String("IMPP") ? value.mid(scheme.match(value).capturedLength()) : value;
            }
        } else if (p.name == QLatin1String("NOTE")) {
            card->title = value;
        } else if (p.name == QLatin1String("CATEGORIES")) {
            // The first category; commas escaped inside it stay.
            QString first;
            for (int i = 0; i < p.value.size(); ++i) {
                if (p.value[i] == QLatin1Char('\\') && i + 1 < p.value.size()) {
                    first += p.value[i];
                    first += p.value[++i];
                } else if (p.value[i] == QLatin1Char(',')) {
                    break;
                } else {
                    first += p.value[i];
                }
            }
            card->category = unescapeValue(first);
        } else if (p.name == QLatin1String("GENDER")) {
            card->sex = p.value.trimmed().toUpper().startsWith(QLatin1Char('F')) ? 1 : 0;
        } else if (p.name == QLatin1String("X-VANTOREL-NOTE")) {
            Note n;
            n.day = QDate::fromString(p.param(QStringLiteral("DATE")), Qt::ISODate);
            if (!n.day.isValid()) {
                result.error = formatError(no, QStringLiteral("记录的日期无法读取"));
                return result;
            }
            n.title = p.param(QStringLiteral("X-TITLE"));
            n.kind = p.param(QStringLiteral("X-TYPE"));
            n.content = value;
            card->notes.append(n);
        }
    }
    if (card) {
        result.error =
            formatError(lines.isEmpty() ? 1 : lines.last().second, QStringLiteral("文件不完整，缺少 END:VCARD"));
        return result;
    }
    if (result.cards.isEmpty())
        result.error = formatError(1, QStringLiteral("文件中没有联系人"));
    return result;
}

// ---- Markdown ----

QString yamlString(const QString& s)
{
    QString out = s;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QLatin1Char('"'), QLatin1String("\\\""));
    out.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    out.remove(QLatin1Char('\r'));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QString yamlValue(QString s)
{
    s = s.trimmed();
    if (s.size() >= 2 && s.startsWith(QLatin1Char('"')) && s.endsWith(QLatin1Char('"'))) {
        const QString in = s.mid(1, s.size() - 2);
        QString out;
        for (int i = 0; i < in.size(); ++i) {
            if (in[i] == QLatin1Char('\\') && i + 1 < in.size()) {
                const QChar n = in[++i];
                out += n == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : n;
            } else {
                out += in[i];
            }
        }
        return out;
    }
    if (s.size() >= 2 && s.startsWith(QLatin1Char('\'')) && s.endsWith(QLatin1Char('\'')))
        return s.mid(1, s.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
    return s;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw Db::Error(QStringLiteral("无法写入文件“%1”：%2").arg(path, f.errorString()));
}

// A name not yet taken in `taken` (compared without case), made by numbering.
QString uniqueName(const QString& base, const QString& ext, QSet<QString>& taken)
{
    QString name = base + ext;
    for (int n = 2; taken.contains(name.toLower()); ++n)
        name = QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(ext);
    taken.insert(name.toLower());
    return name;
}

struct Article
{
    QString title, content, category;
    QDate day;
};

QList<Article> articles(bool diary)
{
    QList<Article> list;
    QSqlQuery q = Db::exec(Db::main(),
                           diary ? QStringLiteral("SELECT title, content, ltype, addtime FROM fangfa WHERE ltype = ?"
                                                  " ORDER BY addtime, id")
                                 : QStringLiteral("SELECT title, content, ltype, addtime FROM fangfa WHERE ltype <> ?"
                                                  " ORDER BY ltype, addtime, id"),
                           {kDiary});
    while (q.next())
        list.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), Db::dayFrom(q.value(3))});
    return list;
}

QString dayText(const QDate& d)
{
    return d.isValid() ? d.toString(Qt::ISODate) : QString();
}

Exchange::Summary cancelledSummary()
{
    Exchange::Summary s;
    s.cancelled = true;
    return s;
}

} // namespace

QString Exchange::Summary::text() const
{
    QString s =
        QStringLiteral("导入 %1 项：新增 %2，更新 %3，跳过重复 %4").arg(total).arg(added).arg(updated).arg(skipped);
    if (skippedEvents > 0)
        s += QStringLiteral("；另有 %1 个日程事件未导入").arg(skippedEvents);
    return s;
}

QString Exchange::safeFileName(const QString& name, int maxBytes)
{
    QString s;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control
            || c == QLatin1Char(':') || c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('"')
            || c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('|'))
            s += QLatin1Char('_');
        else
            s += c;
    }
    s = s.trimmed();
    while (s.startsWith(QLatin1Char('.')))
        s.remove(0, 1);
    while (s.toUtf8().size() > maxBytes)
        s.chop(s.size() >= 2 && s[s.size() - 1].isLowSurrogate() ? 2 : 1);
    s = s.trimmed();
    return s.isEmpty() ? QStringLiteral("未命名") : s;
}

// ---- tasks ----

QByteArray Exchange::exportTasks(const Progress& progress)
{
    const QList<IcalTask> tasks = IcalTasks::readAll(progress ? [&](int d, int t) { return progress(d, 2 * t); }
                                                              : std::function<bool(int, int)>());
    const int total = int(tasks.size());
    if (progress && !progress(total, 2 * std::max(total, 1)))
        throw Cancelled();
    return IcalTasks::toCalendar(tasks, progress ? [&](int d, int) { return progress(total + d, 2 * total); }
                                                 : std::function<bool(int, int)>());
}

Exchange::Summary Exchange::importTasks(const QByteArray& ics, const Progress& progress)
{
    Summary s;
    const IcalParseResult parsed = IcalTasks::parse(ics);
    if (!parsed.ok()) {
        s.error = parsed.error;
        return s;
    }
    s.skippedEvents = parsed.skippedEvents;
    const int total = int(parsed.tasks.size());
    try {
        Db::transaction([&] {
            IcalTasks::Writer writer;
            int done = 0;
            for (const IcalTask& t : parsed.tasks) {
                switch (writer.write(t).outcome) {
                case IcalTasks::Outcome::Inserted:
                    ++s.added;
                    break;
                case IcalTasks::Outcome::Updated:
                    ++s.updated;
                    break;
                case IcalTasks::Outcome::Unchanged:
                    ++s.skipped;
                    break;
                }
                tick(progress, ++done, total);
            }
        });
    } catch (const Cancelled&) {
        return cancelledSummary();
    }
    s.total = total;
    return s;
}

// ---- contacts ----

QByteArray Exchange::exportContacts(const Progress& progress)
{
    QHash<qint64, QList<Note>> notes;
    {
        QSqlQuery q =
            Db::exec(Db::main(), QStringLiteral("SELECT renji, title, content, type1, addtime FROM rjxx ORDER BY id"));
        while (q.next())
            notes[q.value(0).toLongLong()].append(
                {q.value(1).toString(), q.value(2).toString(), q.value(3).toString(), Db::dayFrom(q.value(4))});
    }
    const int total = int(Db::count(QStringLiteral("SELECT count(*) FROM renji")));
    QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT r.id, r.uid, r.name, r.title, r.sex, r.tel, r.mob,"
                                                      " r.\"add\", r.zip, r.email, r.msn, g.gxlb FROM renji r"
                                                      " LEFT JOIN gxlb g ON g.id = r.leibie ORDER BY r.id"));
    QByteArray out;
    int done = 0;
    while (q.next()) {
        const QString name = q.value(2).toString();
        appendLine(out, QStringLiteral("BEGIN:VCARD"));
        appendLine(out, QStringLiteral("VERSION:4.0"));
        appendLine(out, QStringLiteral("UID:") + q.value(1).toString());
        appendLine(out, QStringLiteral("FN:") + escapeValue(name));
        appendLine(out, QStringLiteral("N:%1;;;;").arg(escapeValue(name)));
        appendLine(out, QStringLiteral("GENDER:") + (q.value(4).toInt() == 1 ? QLatin1Char('F') : QLatin1Char('M')));
        if (const QString mob = q.value(6).toString(); !mob.isEmpty())
            appendLine(out, QStringLiteral("TEL;TYPE=cell:") + escapeValue(mob));
        if (const QString tel = q.value(5).toString(); !tel.isEmpty())
            appendLine(out, QStringLiteral("TEL;TYPE=voice:") + escapeValue(tel));
        if (const QString email = q.value(9).toString(); !email.isEmpty())
            appendLine(out, QStringLiteral("EMAIL:") + escapeValue(email));
        const QString add = q.value(7).toString(), zip = q.value(8).toString();
        if (!add.isEmpty() || !zip.isEmpty())
            appendLine(out, QStringLiteral("ADR:;;%1;;;%2;").arg(escapeValue(add), escapeValue(zip)));
        if (const QString msn = q.value(10).toString(); !msn.isEmpty())
            appendLine(out, QStringLiteral("IMPP:im:") + escapeValue(msn));
        if (const QString title = q.value(3).toString(); !title.isEmpty())
            appendLine(out, QStringLiteral("NOTE:") + escapeValue(title));
        if (const QString category = q.value(11).toString(); !category.isEmpty())
            appendLine(out, QStringLiteral("CATEGORIES:") + escapeValue(category));
        for (const Note& n : notes.value(q.value(0).toLongLong()))
            appendLine(out, QStringLiteral("X-VANTOREL-NOTE;DATE=%1;X-TYPE=%2;X-TITLE=%3:%4")
                                .arg(dayText(n.day.isValid() ? n.day : QDate(2000, 1, 1)), paramValue(n.kind),
                                     paramValue(n.title), escapeValue(n.content)));
        appendLine(out, QStringLiteral("END:VCARD"));
        tick(progress, ++done, total);
    }
    return out;
}

Exchange::Summary Exchange::importContacts(const QByteArray& vcf, const Progress& progress)
{
    Summary s;
    const CardsParsed parsed = parseCards(vcf);
    if (!parsed.error.isEmpty()) {
        s.error = parsed.error;
        return s;
    }
    const int total = int(parsed.cards.size());
    try {
        Db::transaction([&] {
            QHash<QString, qint64> categories;
            {
                QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT id, gxlb FROM gxlb ORDER BY id DESC"));
                while (q.next())
                    categories.insert(q.value(1).toString(), q.value(0).toLongLong());
            }
            // Who is there already, by UID and by name; kept up to date while importing.
            struct Known
            {
                qint64 id;
                QString mob, tel;
            };
            QHash<QString, qint64> byUid;
            QHash<QString, QList<Known>> byName;
            {
                QSqlQuery q =
                    Db::exec(Db::main(), QStringLiteral("SELECT id, uid, name, mob, tel FROM renji ORDER BY id"));
                while (q.next()) {
                    if (!q.value(1).isNull())
                        byUid.insert(q.value(1).toString(), q.value(0).toLongLong());
                    byName[q.value(2).toString()].append(
                        {q.value(0).toLongLong(), q.value(3).toString(), q.value(4).toString()});
                }
            }
            QSqlQuery current(Db::main()), notesOf(Db::main()), insert(Db::main()), addNote(Db::main()),
                update(Db::main());
            current.prepare(QStringLiteral("SELECT name, title, leibie, sex, tel, mob, \"add\", zip, email, msn, uid"
                                           " FROM renji WHERE id = ?"));
            notesOf.prepare(QStringLiteral("SELECT title, content, type1, addtime FROM rjxx WHERE renji = ?"));
            insert.prepare(QStringLiteral("INSERT INTO renji (name, title, leibie, sex, tel, mob, \"add\", zip, email,"
                                          " msn, uid) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
            addNote.prepare(
                QStringLiteral("INSERT INTO rjxx (renji, title, content, type1, addtime) VALUES (?, ?, ?, ?, ?)"));
            update.prepare(QStringLiteral("UPDATE renji SET name = ?, title = ?, leibie = ?, sex = ?, tel = ?,"
                                          " mob = ?, \"add\" = ?, zip = ?, email = ?, msn = ? WHERE id = ?"));
            auto run = [](QSqlQuery& q, const QVariantList& values) {
                for (int i = 0; i < values.size(); ++i)
                    q.bindValue(i, values[i]);
                if (!q.exec())
                    throw Db::Error(q.lastError().text());
            };
            int done = 0;
            for (const Card& c : parsed.cards) {
                qint64 leibie = 0;
                if (!c.category.isEmpty()) {
                    leibie = categories.value(c.category, 0);
                    if (!leibie) {
                        leibie =
                            Db::exec(Db::main(), QStringLiteral("INSERT INTO gxlb (gxlb) VALUES (?)"), {c.category})
                                .lastInsertId()
                                .toLongLong();
                        categories.insert(c.category, leibie);
                    }
                }
                qint64 id = c.uid.isEmpty() ? 0 : byUid.value(c.uid, 0);
                bool isNew = false;
                if (!id) {
                    // The same person: the same name and a phone number in common, or both
                    // without any number.
                    for (const Known& k : byName.value(c.name)) {
                        const bool phone = (!k.mob.isEmpty() && (k.mob == c.mob || k.mob == c.tel))
                                           || (!k.tel.isEmpty() && (k.tel == c.mob || k.tel == c.tel));
                        const bool none = k.mob.isEmpty() && k.tel.isEmpty() && c.mob.isEmpty() && c.tel.isEmpty();
                        if (phone || none) {
                            id = k.id;
                            break;
                        }
                    }
                }
                const QVariantList fields = {Db::text(c.name),
                                             Db::text(c.title),
                                             leibie,
                                             c.sex,
                                             Db::text(c.tel),
                                             Db::text(c.mob),
                                             Db::text(c.address),
                                             Db::text(c.zip),
                                             Db::text(c.email),
                                             Db::text(c.msn)};
                bool changed = false;
                if (id) {
                    run(current, {id});
                    current.next();
                    for (int i = 0; i < fields.size() && !changed; ++i)
                        changed = current.value(i).toString() != fields[i].toString();
                    const bool uidDiffers = !c.uid.isEmpty() && current.value(10).toString() != c.uid;
                    current.finish();
                    if (changed) {
                        run(update, QVariantList(fields) << id);
                        for (Known& k : byName[c.name])
                            if (k.id == id)
                                k = {id, c.mob, c.tel};
                    }
                    if (uidDiffers && !byUid.contains(c.uid)) {
                        Db::execute(QStringLiteral("UPDATE renji SET uid = ? WHERE id = ?"), {c.uid, id});
                        byUid.insert(c.uid, id);
                    }
                } else {
                    QVariantList values = fields;
                    values << (c.uid.isEmpty() ? QVariant() : QVariant(c.uid));
                    run(insert, values);
                    id = insert.lastInsertId().toLongLong();
                    if (!c.uid.isEmpty())
                        byUid.insert(c.uid, id);
                    byName[c.name].append({id, c.mob, c.tel});
                    ++s.added;
                    isNew = true;
                }
                // Dated notes: those not already there are added.
                QList<Note> have;
                if (!isNew) {
                    run(notesOf, {id});
                    while (notesOf.next())
                        have.append({notesOf.value(0).toString(), notesOf.value(1).toString(),
                                     notesOf.value(2).toString(), Db::dayFrom(notesOf.value(3))});
                    notesOf.finish();
                }
                bool notesAdded = false;
                for (const Note& n : c.notes) {
                    if (have.contains(n))
                        continue;
                    run(addNote, {id, Db::text(n.title), Db::text(n.content), Db::text(n.kind), Db::dayValue(n.day)});
                    have.append(n);
                    notesAdded = true;
                }
                if (!isNew) {
                    if (changed || notesAdded)
                        ++s.updated;
                    else
                        ++s.skipped;
                }
                tick(progress, ++done, total);
            }
        });
    } catch (const Cancelled&) {
        return cancelledSummary();
    }
    s.total = total;
    return s;
}

// ---- Markdown ----

int Exchange::exportDiary(const QString& folder, const Progress& progress)
{
    const QList<Article> list = articles(true);
    QSet<QString> taken;
    int done = 0;
    for (const Article& a : list) {
        const QString base = a.day.isValid() ? a.day.toString(Qt::ISODate) : safeFileName(a.title);
        writeFile(QDir(folder).filePath(uniqueName(base, QStringLiteral(".md"), taken)), a.content.toUtf8());
        if (progress && !progress(++done, int(list.size())))
            throw Cancelled();
    }
    return int(list.size());
}

int Exchange::exportKnowledge(const QString& folder, const Progress& progress)
{
    const QList<Article> list = articles(false);
    QHash<QString, QString> folders; // category -> folder name
    QSet<QString> takenFolders;
    QHash<QString, QSet<QString>> taken;
    int done = 0;
    for (const Article& a : list) {
        if (!folders.contains(a.category)) {
            const QString name = uniqueName(safeFileName(a.category, 80), QString(), takenFolders);
            folders.insert(a.category, name);
            if (!QDir(folder).mkpath(name))
                throw Db::Error(QStringLiteral("无法建立文件夹“%1”").arg(QDir(folder).filePath(name)));
        }
        const QString dir = folders.value(a.category);
        const QString file = uniqueName(safeFileName(a.title), QStringLiteral(".md"), taken[dir]);
        QString text = QStringLiteral("---\ntitle: %1\ncategory: %2\ndate: %3\n---\n\n")
                           .arg(yamlString(a.title), yamlString(a.category), dayText(a.day));
        text += a.content;
        writeFile(QDir(folder).filePath(dir + QLatin1Char('/') + file), text.toUtf8());
        if (progress && !progress(++done, int(list.size())))
            throw Cancelled();
    }
    return int(list.size());
}

Exchange::Summary Exchange::importKnowledge(const QString& folder, const Progress& progress)
{
    Summary s;
    QList<Article> incoming;
    QDirIterator it(folder, {QStringLiteral("*.md")}, QDir::Files, QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext())
        files << it.next();
    files.sort();
    for (const QString& path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            s.error = QStringLiteral("无法读取文件“%1”").arg(path);
            return s;
        }
        const QByteArray bytes = f.readAll();
        if (const int bad = IcalTasks::firstBadUtf8Line(bytes)) {
            s.error = QStringLiteral("%1：%2").arg(QFileInfo(path).fileName(),
                                                   formatError(bad, QStringLiteral("不是 UTF-8 编码的文字")));
            return s;
        }
        QString text = QString::fromUtf8(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        Article a;
        const QString relative = QDir(folder).relativeFilePath(QFileInfo(path).path());
        a.category =
            relative == QLatin1String(".") ? QStringLiteral("未分类") : relative.section(QLatin1Char('/'), 0, 0);
        a.title = QFileInfo(path).completeBaseName();
        if (text.startsWith(QLatin1String("---\n"))) {
            const qsizetype end = text.indexOf(QLatin1String("\n---\n"), 3);
            if (end < 0) {
                s.error = QStringLiteral("%1：%2").arg(QFileInfo(path).fileName(),
                                                       formatError(1, QStringLiteral("开头的标题信息没有结束行“---”")));
                return s;
            }
            for (const QString& line : text.mid(4, end - 4).split(QLatin1Char('\n'))) {
                const qsizetype colon = line.indexOf(QLatin1Char(':'));
                if (colon < 0)
                    continue;
                const QString key = line.left(colon).trimmed(), value = yamlValue(line.mid(colon + 1));
                if (key == QLatin1String("title"))
                    a.title = value;
                else if (key == QLatin1String("category") && !value.isEmpty())
                    a.category = value;
                else if (key == QLatin1String("date"))
                    a.day = QDate::fromString(value, Qt::ISODate);
            }
            text = text.mid(end + 5);
            if (text.startsWith(QLatin1Char('\n')))
                text.remove(0, 1);
        }
        a.content = text;
        incoming.append(a);
    }
    const int total = int(incoming.size());
    try {
        Db::transaction([&] {
            int done = 0;
            for (const Article& a : incoming) {
                if (Db::count(
                        QStringLiteral("SELECT count(*) FROM fangfa WHERE title = ? AND content = ? AND ltype = ?"),
                        {a.title, a.content, a.category})
                    > 0) {
                    ++s.skipped;
                } else {
                    Db::execute(QStringLiteral("INSERT OR IGNORE INTO fftype (fftype) VALUES (?)"), {a.category});
                    if (a.day.isValid())
                        Db::execute(
                            QStringLiteral("INSERT INTO fangfa (title, content, ltype, addtime) VALUES (?, ?, ?, ?)"),
                            {Db::text(a.title), Db::text(a.content), a.category, Db::dayValue(a.day)});
                    else
                        Db::execute(QStringLiteral("INSERT INTO fangfa (title, content, ltype) VALUES (?, ?, ?)"),
                                    {Db::text(a.title), Db::text(a.content), a.category});
                    ++s.added;
                }
                tick(progress, ++done, total);
            }
        });
    } catch (const Cancelled&) {
        return cancelledSummary();
    }
    s.total = total;
    return s;
}

// ---- CSV ----

namespace {
QByteArray csvOf(const QStringList& header, const QString& sql, int columns,
                 const std::function<QString(int, const QVariant&)>& cell = {})
{
    QList<QStringList> rows{header};
    QSqlQuery q = Db::exec(Db::main(), sql);
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < columns; ++i)
            row << (cell ? cell(i, q.value(i)) : q.value(i).toString());
        rows.append(row);
    }
    return Csv::encode(rows);
}

QString stateText(int state)
{
    switch (state) {
    case 1:
        return QStringLiteral("已完成");
    case 2:
        return QStringLiteral("已放弃");
    case 3:
        return QStringLiteral("已推迟");
    default:
        return QStringLiteral("正在进行");
    }
}
} // namespace

QByteArray Exchange::csvTasks()
{
    return csvOf(
        {QStringLiteral("状态"), QStringLiteral("任务名称"), QStringLiteral("安排日期"), QStringLiteral("时间"),
         QStringLiteral("主题"), QStringLiteral("目标"), QStringLiteral("任务排序"), QStringLiteral("重要"),
         QStringLiteral("紧急"), QStringLiteral("说明")},
        QStringLiteral("SELECT r.zhuangtai, r.title, r.today, r.intime, coalesce(j.name, ''),"
                       " coalesce(m.title, ''), r.xuhao, r.zhongyao, r.jinpo, r.content FROM renwu r"
                       " LEFT JOIN juese j ON j.id = r.juese LEFT JOIN mubiao m ON m.id = r.mubiao ORDER BY r.id"),
        10, [](int i, const QVariant& v) -> QString {
            if (i == 0)
                return stateText(v.toInt());
            if (i == 6)
                return Tasks::orderText(v);
            if (i == 7 || i == 8)
                return v.toInt() ? QStringLiteral("是") : QStringLiteral("否");
            return v.toString();
        });
}

QByteArray Exchange::csvGoals()
{
    return csvOf({QStringLiteral("目标名称"), QStringLiteral("主题"), QStringLiteral("开始日期"),
                  QStringLiteral("完成期限"), QStringLiteral("状态"), QStringLiteral("目标描述")},
                 QStringLiteral("SELECT m.title, coalesce(j.name, ''), m.ksdate, m.jsdate, m.zhuangtai, m.content"
                                " FROM mubiao m LEFT JOIN juese j ON j.id = m.juese ORDER BY m.id"),
                 6, [](int i, const QVariant& v) -> QString {
                     if (i == 4)
                         return v.toInt() == 1   ? QStringLiteral("已完成")
                                : v.toInt() == 2 ? QStringLiteral("已放弃")
                                                 : QStringLiteral("正在进行");
                     return v.toString();
                 });
}

QByteArray Exchange::csvContacts()
{
    return csvOf({QStringLiteral("姓名"), QStringLiteral("关系"), QStringLiteral("关系类别"), QStringLiteral("性别"),
                  QStringLiteral("电话"), QStringLiteral("手机"), QStringLiteral("地址"), QStringLiteral("邮编"),
                  QStringLiteral("电子邮件"), QStringLiteral("即时通信")},
                 QStringLiteral("SELECT r.name, r.title, coalesce(g.gxlb, ''), r.sex, r.tel, r.mob, r.\"add\", r.zip,"
                                " r.email, r.msn FROM renji r LEFT JOIN gxlb g ON g.id = r.leibie ORDER BY r.id"),
                 10, [](int i, const QVariant& v) -> QString {
                     if (i == 3)
                         return v.toInt() == 1 ? QStringLiteral("女") : QStringLiteral("男");
                     return v.toString();
                 });
}

QByteArray Exchange::csvFinance()
{
    return csvOf({QStringLiteral("日期"), QStringLiteral("收支"), QStringLiteral("类别"), QStringLiteral("金额"),
                  QStringLiteral("账户"), QStringLiteral("原因"), QStringLiteral("备注")},
                 QStringLiteral("SELECT addtime, shouzhi, leixing, moneys, zhanghao, yuanyin, beizhu FROM shouzhi"
                                " ORDER BY addtime, id"),
                 7, [](int i, const QVariant& v) -> QString {
                     if (i == 1)
                         return v.toInt() == 0   ? QStringLiteral("收入")
                                : v.toInt() == 1 ? QStringLiteral("支出")
                                                 : QStringLiteral("转帐");
                     if (i == 3)
                         return Money::format(v.toLongLong());
                     return v.toString();
                 });
}
