#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

// The magazine database (magazine.mdb, table news): articles listed newest first, searched by
// title, author, magazine or body, and read. The program never writes this file: it is opened
// read-only. Every function throws Db::Error when the database fails.
namespace Magazine {

// One row of the article list: no body.
struct Heading
{
    qint64 id = 0;
    QString title;
    QString author;
    QString magazine;
};

struct Article
{
    qint64 id = 0;
    QString title;
    QString content; // as stored: "<BR>" for line breaks, "/news" paths for links
};

// What a search looks in; All looks in titles and contents (every article without a keyword).
enum class Field { All, Title, Author, Magazine, Content };

// A read-only connection to a magazine database file, closed when the object goes.
class Connection
{
public:
    // Opens the file; throws Db::Error when it is missing or cannot be opened.
    explicit Connection(const QString& path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QSqlDatabase db() const;

private:
    QString name_;
};

// The articles whose field contains the keyword as typed (quotes, '%' and '_' are plain
// characters); for Field::All those whose title or content contains it, or every article when the
// keyword is empty; newest publication first.
QList<Heading> search(const Connection& c, Field field, const QString& keyword);

std::optional<Article> load(const Connection& c, qint64 id);

// An article's body as text to read: every "<BR>" a line break, and every "/news" path made an
// address under `site` (e.g. "https://example.com"). A "/news" already inside an absolute
// address is left as it is.
QString readable(const QString& content, const QString& site);

} // namespace Magazine
