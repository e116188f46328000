#include "data/knowledge.h"

#include "data/db.h"
#include "data/schema.h"
#include "data/undo.h"

namespace {

const QString kHeadingColumns = QStringLiteral("SELECT id, title, addtime FROM fangfa");

Knowledge::Heading headingFrom(const Db::Row& r)
{
    return {r.id(), r.text("title"), r.day("addtime")};
}

Knowledge::Article articleFrom(const Db::Row& r)
{
    return {r.id(), r.text("title"), r.text("content"), r.text("ltype"), r.day("addtime")};
}

QString nameFrom(const Db::Row& r)
{
    return r.text("fftype");
}

// A LIKE pattern that finds the text anywhere, with its own wildcards taken literally.
QString containsPattern(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    escaped.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

// A full-text query that finds every text holding each three-character piece of the text. The
// index keeps no positions (about half the size), so it cannot ask for the pieces in a row;
// the LIKE test that follows it does.
QString trigramQuery(const QString& text)
{
    const QList<uint> chars = text.toUcs4();
    QStringList pieces;
    for (qsizetype i = 0; i + 3 <= chars.size(); ++i) {
        QString piece = QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData() + i), 3);
        piece.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        piece = QLatin1Char('"') + piece + QLatin1Char('"');
        if (!pieces.contains(piece))
            pieces << piece;
    }
    return pieces.join(QStringLiteral(" AND "));
}

bool indexable(const QString& keyword)
{
    return keyword.toUcs4().size() >= 3;
}

const QString kIndexName = QStringLiteral("fangfa_fts");
// The migration that creates the index (the third).
constexpr int kSearchIndexMigration = 2;

} // namespace

QStringList Knowledge::categories()
{
    return Db::rows<QString>(QStringLiteral("SELECT fftype FROM fftype ORDER BY id"), {}, nameFrom);
}

bool Knowledge::categoryExists(const QString& name)
{
    return Db::count(QStringLiteral("SELECT count(*) FROM fftype WHERE fftype = ?"), {name}) > 0;
}

QList<Knowledge::Heading> Knowledge::ofCategory(const QString& category)
{
    return Db::rows<Heading>(kHeadingColumns + QStringLiteral(" WHERE ltype = ? ORDER BY addtime DESC, id DESC"),
                             {category}, headingFrom);
}

QList<Knowledge::Heading> Knowledge::search(const QString& keyword, const std::optional<QString>& category,
                                            bool withContent)
{
    const QString pattern = containsPattern(keyword);
    QString where;
    QVariantList values;
    if (withContent && indexable(keyword)) {
        // The index narrows the rows; LIKE then decides, so the result is that of a plain scan
        // (the index ignores case beyond ASCII and the order of the pieces, LIKE does not).
        ensureSearchIndex();
        where = QStringLiteral(" WHERE id IN (SELECT rowid FROM fangfa_fts WHERE fangfa_fts MATCH ?)"
                               " AND (title LIKE ? ESCAPE '\\' OR content LIKE ? ESCAPE '\\')");
        values << trigramQuery(keyword) << pattern << pattern;
    } else if (withContent) {
        where = QStringLiteral(" WHERE (title LIKE ? ESCAPE '\\' OR content LIKE ? ESCAPE '\\')");
        values << pattern << pattern;
    } else {
        where = QStringLiteral(" WHERE title LIKE ? ESCAPE '\\'");
        values << pattern;
    }
    if (category) {
        where += QStringLiteral(" AND ltype = ?");
        values << *category;
    }
    return Db::rows<Heading>(kHeadingColumns + where + QStringLiteral(" ORDER BY id"), values, headingFrom);
}

QList<Knowledge::Heading> Knowledge::addedAfter(qint64 id)
{
    return Db::rows<Heading>(kHeadingColumns + QStringLiteral(" WHERE id > ? ORDER BY id"), {id}, headingFrom);
}

qint64 Knowledge::lastId()
{
    return Db::count(QStringLiteral("SELECT coalesce(max(id), 0) FROM fangfa"));
}

std::optional<Knowledge::Article> Knowledge::load(qint64 id)
{
    return Db::first<Article>(QStringLiteral("SELECT id, title, content, ltype, addtime FROM fangfa WHERE id = ?"),
                              {id}, articleFrom);
}

qint64 Knowledge::add(const QString& title, const QString& content, const QString& category, const QDate& day)
{
    const QSqlQuery q =
        Db::exec(Db::main(), QStringLiteral("INSERT INTO fangfa (title, content, ltype, addtime) VALUES (?, ?, ?, ?)"),
                 {Db::text(title), Db::text(content), Db::text(category), Db::dayValue(day)});
    return q.lastInsertId().toLongLong();
}

bool Knowledge::update(qint64 id, const QString& title, const QString& content, const QString& category)
{
    return Db::execute(QStringLiteral("UPDATE fangfa SET title = ?, content = ?, ltype = ? WHERE id = ?"),
                       {Db::text(title), Db::text(content), Db::text(category), id})
           > 0;
}

void Knowledge::remove(qint64 id)
{
    Undo::record([&] { Db::execute(QStringLiteral("DELETE FROM fangfa WHERE id = ?"), {id}); });
}

Knowledge::CategoryChange Knowledge::addCategory(const QString& name)
{
    CategoryChange result = CategoryChange::Done;
    Db::transaction([&] {
        if (categoryExists(name)) {
            result = CategoryChange::NameTaken;
            return;
        }
        Db::execute(QStringLiteral("INSERT INTO fftype (fftype) VALUES (?)"), {Db::text(name)});
    });
    return result;
}

Knowledge::CategoryChange Knowledge::renameCategory(const QString& from, const QString& to)
{
    CategoryChange result = CategoryChange::Done;
    Db::transaction([&] {
        if (categoryExists(to)) {
            result = CategoryChange::NameTaken;
            return;
        }
        if (Db::execute(QStringLiteral("UPDATE fftype SET fftype = ? WHERE fftype = ?"), {Db::text(to), from}) == 0) {
            result = CategoryChange::Missing;
            return;
        }
        Db::execute(QStringLiteral("UPDATE fangfa SET ltype = ? WHERE ltype = ?"), {Db::text(to), from});
    });
    return result;
}

void Knowledge::removeCategory(const QString& name)
{
    Undo::record([&] {
        Db::execute(QStringLiteral("DELETE FROM fftype WHERE fftype = ?"), {name});
        Db::execute(QStringLiteral("DELETE FROM fangfa WHERE ltype = ?"), {name});
    });
}

void Knowledge::ensureSearchIndex()
{
    if (Db::count(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = ?"), {kIndexName}) > 0)
        return;
    // The schema's own statements for it (a database opened by this build has it already).
    Db::transaction([] {
        for (const QString& sql : Schema::mainMigrations().at(kSearchIndexMigration))
            Db::execute(sql);
    });
}
