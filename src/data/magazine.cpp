#include "data/magazine.h"

#include "data/db.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// The list's columns under names the rows are read by.
const QString kHeadingColumns = QStringLiteral("SELECT id, 标题 AS title, 作者 AS author, 杂志 AS magazine FROM news");
// Newest first; articles published at the same moment keep a fixed order. The index on 发布时间
// (with the row id inside it) gives this order without sorting.
const QString kNewestFirst = QStringLiteral(" ORDER BY 发布时间 DESC, id DESC");

// A LIKE pattern that finds the text anywhere, with its own wildcards taken literally.
QString containsPattern(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    escaped.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

QString columnOf(Magazine::Field field)
{
    switch (field) {
    case Magazine::Field::Title:
        return QStringLiteral("标题");
    case Magazine::Field::Author:
        return QStringLiteral("作者");
    case Magazine::Field::Magazine:
        return QStringLiteral("杂志");
    case Magazine::Field::Content:
        return QStringLiteral("内容");
    case Magazine::Field::All:
        break;
    }
    return {};
}

int& connectionCount()
{
    static int count = 0;
    return count;
}

} // namespace

Magazine::Connection::Connection(const QString& path)
    : name_(QStringLiteral("vantorel-magazine:%1").arg(++connectionCount()))
{
    const QFileInfo file(path);
    if (!file.isFile())
        throw Db::Error(QStringLiteral("找不到数据库文件：%1").arg(file.absoluteFilePath()));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db.setDatabaseName(file.absoluteFilePath());
    // Read-only: nothing this program does can change the file, not even a journal beside it.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        const Db::Error error = Db::errorOf(db, db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
        throw error;
    }
}

Magazine::Connection::~Connection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

QSqlDatabase Magazine::Connection::db() const
{
    return QSqlDatabase::database(name_, false);
}

QList<Magazine::Heading> Magazine::search(const Connection& c, Field field, const QString& keyword)
{
    QSqlQuery q =
        field == Field::All && keyword.isEmpty() ? Db::exec(c.db(), kHeadingColumns + kNewestFirst)
        : field == Field::All
            ? Db::exec(c.db(),
                       kHeadingColumns + QStringLiteral(" WHERE 标题 LIKE ? ESCAPE '\\' OR 内容 LIKE ? ESCAPE '\\'")
                           + kNewestFirst,
                       {containsPattern(keyword), containsPattern(keyword)})
            : Db::exec(c.db(),
                       kHeadingColumns + QStringLiteral(" WHERE %1 LIKE ? ESCAPE '\\'").arg(columnOf(field))
                           + kNewestFirst,
                       {containsPattern(keyword)});
    // The whole list can be ten thousand rows: the columns are looked up by name once.
    const QSqlRecord record = q.record();
    const int id = record.indexOf(QLatin1String("id"));
    const int title = record.indexOf(QLatin1String("title"));
    const int author = record.indexOf(QLatin1String("author"));
    const int magazine = record.indexOf(QLatin1String("magazine"));
    QList<Heading> list;
    while (q.next())
        list.append({q.value(id).toLongLong(), q.value(title).toString(), q.value(author).toString(),
                     q.value(magazine).toString()});
    return list;
}

std::optional<Magazine::Article> Magazine::load(const Connection& c, qint64 id)
{
    QSqlQuery q =
        Db::exec(c.db(), QStringLiteral("SELECT id, 标题 AS title, 内容 AS content FROM news WHERE id = ?"), {id});
    if (!q.next())
        return std::nullopt;
    const Db::Row r(q);
    return Article{r.id(), r.text("title"), r.text("content")};
}

QString Magazine::readable(const QString& content, const QString& site)
{
    QString text = content;
    text.replace(QStringLiteral("<BR>"), QStringLiteral("\n"), Qt::CaseInsensitive);
    // A path "/news..." that does not follow a host name or another path piece.
    static const QRegularExpression newsPath(QStringLiteral("(?<![A-Za-z0-9.:/_~-])/news"));
    text.replace(newsPath, site + QStringLiteral("/news"));
    return text;
}
