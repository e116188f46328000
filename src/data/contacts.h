#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// Contacts (table renji), their relation categories (gxlb) and their dated notes (rjxx). Every
// function throws Db::Error when the database fails.
namespace Contacts {

struct Category
{
    qint64 id = 0;
    QString name;
};

struct Contact
{
    qint64 id = 0;
    QString name;
    QString title;       // relation name
    qint64 category = 0; // relation category, 0 for none
    int sex = 0;         // 0 male, 1 female
    QString tel;
    QString mob;
    QString address;
    QString zip;
    QString email;
    QString msn;
};

// A contact as the contact list shows it.
struct Listed
{
    qint64 id = 0;
    QString name;
    QString title;
    qint64 category = 0;
};

struct Note
{
    qint64 id = 0;
    qint64 contact = 0;
    QString title;
    QString content;
    QString kind; // "补充资料", "联系记录", "行动计划" (older rows: "资料", "行动")
    QDate day;
};

// The columns a contact search can look in.
enum class Field { Name, Title, Tel, Mob, Address, Email, Msn };

// Relation categories in table order.
QList<Category> categories();
qint64 addCategory(const QString& name);
void renameCategory(qint64 id, const QString& name);
// Contacts keep the id of a deleted category.
void removeCategory(qint64 id);

QList<Listed> byName();                    // every contact ordered by name
QList<Listed> all();                       // every contact in table order
QList<Listed> ofCategory(qint64 category); // table order
// Contacts whose field contains the keyword as typed (no wildcards), in table order.
QList<Listed> search(Field field, const QString& keyword);

std::optional<Contact> contact(qint64 id); // every field; empty when there is no such contact
qint64 addContact(const Contact& c);
void updateContact(const Contact& c);
// The contact's notes stay.
void removeContact(qint64 id);

// The notes of a contact in table order; with a keyword, only those whose title or content
// contains it as typed.
QList<Note> notesOf(qint64 contact, const QString& keyword = QString());
std::optional<Note> note(qint64 id);
// Adds the note dated `day`; its id.
qint64 addNote(const Note& n, const QDate& day);
// Writes title, content and kind.
void updateNote(const Note& n);
void removeNote(qint64 id);

} // namespace Contacts
