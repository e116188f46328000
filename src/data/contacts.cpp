#include "data/contacts.h"

#include "data/db.h"
#include "data/undo.h"

namespace {

const QString kListColumns = QStringLiteral("SELECT id, name, title, leibie FROM renji ");
const QString kNoteColumns = QStringLiteral("SELECT id, renji, title, content, type1, addtime FROM rjxx ");

Contacts::Category categoryFrom(const Db::Row& r)
{
    return {r.id(), r.text("gxlb")};
}

// Contact lists may hold every contact: their columns are looked up by name once per query
// rather than once per row.
QList<Contacts::Listed> listed(const QString& whereAndOrder, const QVariantList& values)
{
    QSqlQuery q = Db::exec(Db::main(), kListColumns + whereAndOrder, values);
    const QSqlRecord record = q.record();
    const int id = record.indexOf(QStringLiteral("id"));
    const int name = record.indexOf(QStringLiteral("name"));
    const int title = record.indexOf(QStringLiteral("title"));
    const int leibie = record.indexOf(QStringLiteral("leibie"));
    QList<Contacts::Listed> list;
    while (q.next())
        list.append({q.value(id).toLongLong(), q.value(name).toString(), q.value(title).toString(),
                     q.value(leibie).toLongLong()});
    return list;
}

Contacts::Contact contactFrom(const Db::Row& r)
{
    Contacts::Contact c;
    c.id = r.id();
    c.name = r.text("name");
    c.title = r.text("title");
    c.category = r.id("leibie");
    c.sex = r.integer("sex");
    c.tel = r.text("tel");
    c.mob = r.text("mob");
    c.address = r.text("add");
    c.zip = r.text("zip");
    c.email = r.text("email");
    c.msn = r.text("msn");
    return c;
}

Contacts::Note noteFrom(const Db::Row& r)
{
    Contacts::Note n;
    n.id = r.id();
    n.contact = r.id("renji");
    n.title = r.text("title");
    n.content = r.text("content");
    n.kind = r.text("type1");
    n.day = r.day("addtime");
    return n;
}

// A LIKE pattern that finds the keyword anywhere, its own % and _ taken literally.
QString containing(const QString& keyword)
{
    QString escaped = keyword;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('%'), QLatin1String("\\%"));
    escaped.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

const char* columnOf(Contacts::Field field)
{
    switch (field) {
    case Contacts::Field::Name:
        return "name";
    case Contacts::Field::Title:
        return "title";
    case Contacts::Field::Tel:
        return "tel";
    case Contacts::Field::Mob:
        return "mob";
    case Contacts::Field::Address:
        return "\"add\"";
    case Contacts::Field::Email:
        return "email";
    case Contacts::Field::Msn:
        return "msn";
    }
    return "name";
}

QVariantList contactValues(const Contacts::Contact& c)
{
    return {Db::text(c.name), Db::text(c.title),   c.category,      c.sex ? 1 : 0,     Db::text(c.tel),
            Db::text(c.mob),  Db::text(c.address), Db::text(c.zip), Db::text(c.email), Db::text(c.msn)};
}

} // namespace

QList<Contacts::Category> Contacts::categories()
{
    return Db::rows<Category>(QStringLiteral("SELECT id, gxlb FROM gxlb ORDER BY id"), {}, categoryFrom);
}

qint64 Contacts::addCategory(const QString& name)
{
    QSqlQuery q = Db::exec(Db::main(), QStringLiteral("INSERT INTO gxlb (gxlb) VALUES (?)"), {Db::text(name)});
    return q.lastInsertId().toLongLong();
}

void Contacts::renameCategory(qint64 id, const QString& name)
{
    Db::execute(QStringLiteral("UPDATE gxlb SET gxlb = ? WHERE id = ?"), {Db::text(name), id});
}

void Contacts::removeCategory(qint64 id)
{
    Undo::record([&] { Db::execute(QStringLiteral("DELETE FROM gxlb WHERE id = ?"), {id}); });
}

QList<Contacts::Listed> Contacts::byName()
{
    return listed(QStringLiteral("ORDER BY name, id"), {});
}

QList<Contacts::Listed> Contacts::all()
{
    return listed(QStringLiteral("ORDER BY id"), {});
}

QList<Contacts::Listed> Contacts::ofCategory(qint64 category)
{
    return listed(QStringLiteral("WHERE leibie = ? ORDER BY id"), {category});
}

QList<Contacts::Listed> Contacts::search(Field field, const QString& keyword)
{
    return listed(QStringLiteral("WHERE %1 LIKE ? ESCAPE '\\' ORDER BY id").arg(QLatin1String(columnOf(field))),
                  {containing(keyword)});
}

std::optional<Contacts::Contact> Contacts::contact(qint64 id)
{
    return Db::first<Contact>(QStringLiteral("SELECT id, name, title, leibie, sex, tel, mob, \"add\", zip, email, msn"
                                             " FROM renji WHERE id = ?"),
                              {id}, contactFrom);
}

qint64 Contacts::addContact(const Contact& c)
{
    QSqlQuery q =
        Db::exec(Db::main(),
                 QStringLiteral("INSERT INTO renji (name, title, leibie, sex, tel, mob, \"add\", zip, email, msn)"
                                " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 contactValues(c));
    return q.lastInsertId().toLongLong();
}

void Contacts::updateContact(const Contact& c)
{
    QVariantList values = contactValues(c);
    values.append(c.id);
    Db::execute(QStringLiteral("UPDATE renji SET name = ?, title = ?, leibie = ?, sex = ?, tel = ?, mob = ?,"
                               " \"add\" = ?, zip = ?, email = ?, msn = ? WHERE id = ?"),
                values);
}

void Contacts::removeContact(qint64 id)
{
    Undo::record([&] { Db::execute(QStringLiteral("DELETE FROM renji WHERE id = ?"), {id}); });
}

QList<Contacts::Note> Contacts::notesOf(qint64 contact, const QString& keyword)
{
    if (keyword.isEmpty())
        return Db::rows<Note>(kNoteColumns + QStringLiteral("WHERE renji = ? ORDER BY id"), {contact}, noteFrom);
    const QString pattern = containing(keyword);
    return Db::rows<Note>(
        kNoteColumns
            + QStringLiteral("WHERE renji = ? AND (title LIKE ? ESCAPE '\\' OR content LIKE ? ESCAPE '\\')"
                             " ORDER BY id"),
        {contact, pattern, pattern}, noteFrom);
}

std::optional<Contacts::Note> Contacts::note(qint64 id)
{
    return Db::first<Note>(kNoteColumns + QStringLiteral("WHERE id = ?"), {id}, noteFrom);
}

qint64 Contacts::addNote(const Note& n, const QDate& day)
{
    QSqlQuery q = Db::exec(
        Db::main(), QStringLiteral("INSERT INTO rjxx (renji, title, content, type1, addtime) VALUES (?, ?, ?, ?, ?)"),
        {n.contact, Db::text(n.title), Db::text(n.content), Db::text(n.kind), Db::dayValue(day)});
    return q.lastInsertId().toLongLong();
}

void Contacts::updateNote(const Note& n)
{
    Db::execute(QStringLiteral("UPDATE rjxx SET title = ?, content = ?, type1 = ? WHERE id = ?"),
                {Db::text(n.title), Db::text(n.content), Db::text(n.kind), n.id});
}

void Contacts::removeNote(qint64 id)
{
    Undo::record([&] { Db::execute(QStringLiteral("DELETE FROM rjxx WHERE id = ?"), {id}); });
}
