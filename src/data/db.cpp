#include "data/db.h"

#include "data/filestate.h"

#include "data/searchindex.h"
#include <QCoreApplication>

#include <QFileInfo>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <sqlite3.h>

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

// How deep the current action's runs are nested; only the outermost reports.
int& runDepth()
{
    static int depth = 0;
    return depth;
}

// Open transactions per connection: 0 none, 1 the outer one, more for savepoints inside it.
QHash<QString, int>& transactionDepth()
{
    static QHash<QString, int> depth;
    return depth;
}

// A file held by another program is waited for once per turn of the event loop: after the
// first wait fails, the statements of the same action fail at once, and the action reports it
// once. The next turn of the loop waits again.
struct BusyTurn
{
    bool held = false;     // a wait failed in this turn
    bool reported = false; // and the user has been told
};

BusyTurn& busyTurn()
{
    static BusyTurn turn;
    return turn;
}

constexpr int kBusyTimeoutMs = 5000;

void setBusyTimeout(const QSqlDatabase& db, int ms)
{
    if (auto* h = static_cast<sqlite3*>(Db::handle(db)))
        sqlite3_busy_timeout(h, ms);
}

void holdBusyTurn(const QSqlDatabase& db)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    setBusyTimeout(db, 0);
    if (busyTurn().held)
        return;
    busyTurn().held = true;
    const QString name = db.connectionName();
    QMetaObject::invokeMethod(
        app,
        [name] {
            busyTurn() = {};
            if (QSqlDatabase::contains(name))
                setBusyTimeout(QSqlDatabase::database(name, false), kBusyTimeoutMs);
        },
        Qt::QueuedConnection);
}

void report(const Db::Error& e)
{
    QString text = e.text();
    if (e.busy()) {
        if (busyTurn().reported)
            return;
        busyTurn().reported = busyTurn().held;
        text = Db::busyText();
    }
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

QString& Db::path()
{
    static QString p;
    return p;
}

Db::Error Db::errorOf(const QSqlDatabase& db, const QSqlError& error)
{
    // The driver gives the primary code of the failed call; the connection still holds its
    // extended form.
    int code = error.nativeErrorCode().toInt();
    if (auto* h = static_cast<sqlite3*>(handle(db))) {
        const int extended = sqlite3_extended_errcode(h);
        const bool failed = extended != SQLITE_OK && extended != SQLITE_ROW && extended != SQLITE_DONE;
        if (failed && (code == 0 || (extended & 0xff) == (code & 0xff)))
            code = extended;
    }
    return Error(error.text(), code);
}

void* Db::handle(const QSqlDatabase& db)
{
    if (!db.isValid() || !db.driver())
        return nullptr;
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

QString Db::busyText()
{
    return QStringLiteral("另一个程序正在使用数据文件，请稍后再试。");
}

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
        throw errorOf(db, db.lastError());
    }
    if (!QFileInfo(path).isFile())
        throw Error(QStringLiteral("找不到数据库文件：%1").arg(QFileInfo(path).absoluteFilePath()));

    SearchIndex::registerTokenizer(); // the knowledge index's triggers need it on every connection
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    // Another program holding the file is waited for, not failed at once.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    openedConnections().append(name);
    if (!db.open())
        throw errorOf(db, db.lastError());
    // A change shown as done survives a power cut: the rollback journal, synced on every commit,
    // and the folder synced after the journal is removed (EXTRA). One file, nothing beside it
    // between runs, so a copy of mylive.dc is always the whole database.
    exec(db, QStringLiteral("PRAGMA journal_mode = DELETE"));
    exec(db, QStringLiteral("PRAGMA synchronous = EXTRA"));
    // Room for the pages of the larger lists (planning grids over many tasks) in memory.
    exec(db, QStringLiteral("PRAGMA cache_size = -16384"));
    return db;
}

QSqlDatabase Db::main()
{
    return open(path());
}

Db::NoWait::NoWait(int waitMs)
{
    exec(main(), QStringLiteral("PRAGMA busy_timeout = %1").arg(std::max(0, waitMs)));
}

Db::NoWait::~NoWait()
{
    try {
        exec(main(), QStringLiteral("PRAGMA busy_timeout = 5000"));
    } catch (const Error&) {}
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
    transactionDepth().clear();
    // Everything is closed: the file's state is recorded for the next start (when it was checked).
    if (!path().isEmpty())
        FileState::finish(path());
}

QSqlQuery Db::exec(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw errorOf(db, query.lastError());
    for (const QVariant& v : values)
        query.addBindValue(v);
    if (!query.exec()) {
        const Error e = errorOf(db, query.lastError());
        if (e.busy())
            holdBusyTurn(db);
        throw e;
    }
    return query;
}

int Db::execute(const QString& sql, const QVariantList& values)
{
    return exec(main(), sql, values).numRowsAffected();
}

qint64 Db::count(const QString& sql, const QVariantList& values)
{
    QSqlQuery q = exec(main(), sql, values);
    return q.next() ? q.value(0).toLongLong() : 0;
}

void Db::transaction(const std::function<void()>& work)
{
    transaction(main(), work);
}

void Db::transaction(const QSqlDatabase& db, const std::function<void()>& work)
{
    int& depth = transactionDepth()[db.connectionName()];
    const QString savepoint = QStringLiteral("step%1").arg(depth);
    exec(db, depth == 0 ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("SAVEPOINT ") + savepoint);
    ++depth;
    const int mine = depth;
    auto undo = [&] {
        // The depth entry may have been dropped by closeAll inside the work.
        int& d = transactionDepth()[db.connectionName()];
        d = mine - 1;
        try {
            if (d == 0) {
                exec(db, QStringLiteral("ROLLBACK"));
            } else {
                exec(db, QStringLiteral("ROLLBACK TO ") + savepoint);
                exec(db, QStringLiteral("RELEASE ") + savepoint);
            }
        } catch (const Error&) {
            // SQLite may have rolled the transaction back itself; there is nothing left to undo.
        }
    };
    try {
        work();
    } catch (...) {
        undo();
        throw;
    }
    try {
        exec(db, mine == 1 ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ") + savepoint);
    } catch (...) {
        undo();
        throw;
    }
    transactionDepth()[db.connectionName()] = mine - 1;
}

bool Db::run(const std::function<void()>& work)
{
    struct Depth
    {
        Depth() { ++runDepth(); }
        ~Depth() { --runDepth(); }
    };
    try {
        const Depth nested;
        work();
        return true;
    } catch (const Error& e) {
        if (runDepth() > 0)
            throw; // an outer run reports it, once
        report(e);
        return false;
    }
}

Db::FreshEdge::FreshEdge() : saved_(runDepth())
{
    runDepth() = 0;
}

Db::FreshEdge::~FreshEdge()
{
    runDepth() = saved_;
}

QVariant Db::Row::value(const char* column) const
{
    const int i = record_.indexOf(QLatin1String(column));
    if (i < 0)
        throw Error(QStringLiteral("查询结果中没有列 %1").arg(QLatin1String(column)));
    return query_.value(i);
}

QDate Db::Row::day(const char* column) const
{
    return dayFrom(value(column));
}

QTime Db::Row::time(const char* column) const
{
    return timeFrom(value(column));
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
