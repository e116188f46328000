#include "data/knowledge.h"

#include "data/db.h"
#include "data/schema.h"
#include "data/searchindex.h"
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

const QString kIndexName = QStringLiteral("fangfa_grams");
// The migration that creates the index and its triggers (the seventh).
constexpr int kSearchIndexMigration = 6;

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
    if (withContent && SearchIndex::indexable(keyword)) {
        // The index narrows the rows, with the articles not yet in it; LIKE then decides, so the
        // result is that of a plain scan (the index knows neither the order of the pieces nor
        // the title/content boundary).
        where = QStringLiteral(" WHERE id IN (SELECT rowid FROM fangfa_grams WHERE fangfa_grams MATCH ?"
                               " UNION ALL SELECT id FROM fangfa_grams_todo)"
                               " AND (title LIKE ? ESCAPE '\\' OR content LIKE ? ESCAPE '\\')");
        values << SearchIndex::query(keyword) << pattern << pattern;
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
    // The schema's own statements for it (a database opened by this build has it already); the
    // rows already there are left to buildSearchIndex().
    Db::transaction([] {
        for (const QString& sql : Schema::mainMigrations().at(kSearchIndexMigration))
            Db::execute(sql);
    });
}

bool Knowledge::searchIndexReady()
{
    return searchIndexBacklog(Db::main()) == 0;
}

qint64 Knowledge::searchIndexBacklog(const QSqlDatabase& db)
{
    QSqlQuery q = Db::exec(db, QStringLiteral("SELECT count(*) FROM fangfa_grams_todo"));
    return q.next() ? q.value(0).toLongLong() : 0;
}

void Knowledge::indexWaiting(const QSqlDatabase& db)
{
    Db::exec(db,
             QStringLiteral("INSERT INTO fangfa_grams (rowid, title, content)"
                            " SELECT id, title, content FROM fangfa WHERE id IN (SELECT id FROM fangfa_grams_todo)"));
    Db::exec(db, QStringLiteral("DELETE FROM fangfa_grams_todo"));
}

qint64 Knowledge::buildSearchIndexStep(const QSqlDatabase& db, int articles)
{
    qint64 left = 0;
    // Its own transaction, not Db::transaction: this may run on a worker thread.
    Db::exec(db, QStringLiteral("BEGIN IMMEDIATE"));
    try {
        const QString batch = QStringLiteral("SELECT id FROM fangfa_grams_todo ORDER BY id LIMIT ?");
        Db::exec(db,
                 QStringLiteral("INSERT INTO fangfa_grams (rowid, title, content)"
                                " SELECT id, title, content FROM fangfa WHERE id IN (%1)")
                     .arg(batch),
                 {articles});
        Db::exec(db, QStringLiteral("DELETE FROM fangfa_grams_todo WHERE id IN (%1)").arg(batch), {articles});
        left = searchIndexBacklog(db);
        Db::exec(db, QStringLiteral("COMMIT"));
    } catch (...) {
        try {
            Db::exec(db, QStringLiteral("ROLLBACK"));
        } catch (const Db::Error&) {}
        throw;
    }
    return left;
}
