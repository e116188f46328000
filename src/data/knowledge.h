#pragma once

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

// The knowledge base: articles (table fangfa) filed by category name (table fftype). The diary
// lives here too, under the category "日志", which can be neither renamed nor deleted.
// Every function throws Db::Error when the database fails.
namespace Knowledge {

struct Article
{
    qint64 id = 0;
    QString title;
    QString content;
    QString category; // its name
    QDate day;        // added on
};

// One row of an article list: no body.
struct Heading
{
    qint64 id = 0;
    QString title;
    QDate day; // added on
};

// The category names in table order.
QStringList categories();
bool categoryExists(const QString& name);

// The articles of a category, newest day first (the newest article first within a day).
QList<Heading> ofCategory(const QString& category);

// Articles whose title (and, with `withContent`, whose body) contains the keyword as typed:
// quotes, '%' and '_' are plain characters. Without a category every category is searched. In
// table order.
QList<Heading> search(const QString& keyword, const std::optional<QString>& category, bool withContent);

// Articles with a larger id than `id`, in table order (those added since that id was the largest).
QList<Heading> addedAfter(qint64 id);
// The largest article id (0 for none).
qint64 lastId();

std::optional<Article> load(qint64 id);
// Adds the article and returns its id.
qint64 add(const QString& title, const QString& content, const QString& category, const QDate& day);
// Writes title, body and category; false when the article no longer exists.
bool update(qint64 id, const QString& title, const QString& content, const QString& category);
void remove(qint64 id);

enum class CategoryChange { Done, NameTaken, Missing };
// Adds a category; NameTaken when one of that name exists.
CategoryChange addCategory(const QString& name);
// Renames a category and moves its articles with it, as one change; NameTaken when the new name
// exists, Missing when the old one is gone.
CategoryChange renameCategory(const QString& from, const QString& to);
// Deletes a category and every article filed under it, as one change.
void removeCategory(const QString& name);

// The full-text index of titles and bodies (two-character pieces, data/searchindex.h) and the
// triggers that keep it up to date come with the schema; this makes them again on a database
// that lacks them (the benchmark drops them to measure their cost).
void ensureSearchIndex();
// Whether every article is in the index.
bool searchIndexReady();

// New and changed articles, and all articles of a file older than the index, wait in a list
// until the program adds them to the index in the background, a batch per transaction: start-up
// and saving never wait for it, and a program ended meanwhile goes on where it was. Searches scan
// the waiting articles meanwhile.
qint64 searchIndexBacklog(const QSqlDatabase& db);
// Adds every waiting article within the caller's transaction (a new database's sample).
void indexWaiting(const QSqlDatabase& db);
// Adds the next batch of at most `articles` waiting articles in one transaction on `db` (which may
// be a connection of a worker thread); returns how many are left.
qint64 buildSearchIndexStep(const QSqlDatabase& db, int articles);

} // namespace Knowledge
