#include "data/db.h"

#include "app/module1.h"

#include <QDebug>
#include <QFileInfo>
#include <QSqlError>
#include <QStringList>

namespace {
std::function<void(const QString&)>& reporter()
{
    static std::function<void(const QString&)> r;
    return r;
}

QStringList& openedConnections()
{
    static QStringList names;
    return names;
}

void report(const QString& text)
{
    if (reporter())
        reporter()(text);
    else
        qWarning("database error: %s", qPrintable(text));
}

QString connectionName(const QString& path)
{
    return QStringLiteral("vantorel:") + QFileInfo(path).absoluteFilePath();
}
} // namespace

void Db::setErrorReporter(std::function<void(const QString&)> r)
{
    reporter() = std::move(r);
}

QSqlDatabase Db::open(const QString& path)
{
    const QString name = connectionName(path);
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen() || db.open())
            return db;
        throw Error(db.lastError().text());
    }
    if (!QFileInfo(path).isFile())
        throw Error(QStringLiteral("找不到数据库文件：%1").arg(QFileInfo(path).absoluteFilePath()));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    openedConnections().append(name);
    if (!db.open())
        throw Error(db.lastError().text());
    // A change shown as done must survive a crash: wait for the disk on every commit.
    exec(db, QStringLiteral("PRAGMA synchronous = FULL"));
    return db;
}

QSqlDatabase Db::main()
{
    return open(Module1::ConnString);
}

void Db::closeAll()
{
    for (const QString& name : std::as_const(openedConnections())) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    openedConnections().clear();
}

QSqlQuery Db::exec(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw Error(query.lastError().text());
    for (const QVariant& v : values)
        query.addBindValue(v);
    if (!query.exec())
        throw Error(query.lastError().text());
    return query;
}

bool Db::run(const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const Error& e) {
        report(e.text());
        return false;
    }
}

bool Db::execute(const QString& sql, const QVariantList& values)
{
    return run([&] { exec(main(), sql, values); });
}

std::optional<int> Db::count(const QString& sql, const QVariantList& values)
{
    std::optional<int> result;
    run([&] {
        QSqlQuery q = exec(main(), sql, values);
        result = q.next() ? q.value(0).toInt() : 0;
    });
    return result;
}

bool Db::transaction(const std::function<void()>& work)
{
    QSqlDatabase db;
    if (!run([&] { db = main(); }))
        return false;
    return transaction(db, work);
}

bool Db::transaction(const QSqlDatabase& db, const std::function<void()>& work)
{
    QSqlDatabase conn = db;
    try {
        if (!conn.transaction())
            throw Error(conn.lastError().text());
        try {
            work();
        } catch (...) {
            conn.rollback();
            throw;
        }
        if (!conn.commit()) {
            const QString text = conn.lastError().text();
            conn.rollback();
            throw Error(text);
        }
        return true;
    } catch (const Error& e) {
        report(e.text());
        return false;
    }
}

QVariant Db::text(const QString& value)
{
    return value.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(value);
}

QVariant Db::dayValue(const QDate& day)
{
    return day.isValid() ? QVariant(day.toString(Qt::ISODate)) : QVariant(QMetaType(QMetaType::QString));
}

QVariant Db::timeValue(const QTime& time)
{
    return time.isValid() ? QVariant(time.toString(QStringLiteral("HH:mm:ss")))
                          : QVariant(QMetaType(QMetaType::QString));
}

QDate Db::dayFrom(const QVariant& value)
{
    if (value.isNull())
        return {};
    return QDate::fromString(value.toString().left(10), Qt::ISODate);
}

QTime Db::timeFrom(const QVariant& value)
{
    if (value.isNull())
        return {};
    const QString text = value.toString().trimmed();
    QTime t = QTime::fromString(text, QStringLiteral("HH:mm:ss"));
    if (!t.isValid())
        t = QTime::fromString(text, QStringLiteral("H:mm:ss"));
    return t;
}
