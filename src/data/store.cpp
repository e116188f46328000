#include "data/store.h"

#include "data/chime.h"
#include "data/db.h"
#include "data/knowledge.h"
#include "data/resources.h"
#include "data/schema.h"
#include "data/searchindex.h"
#include "data/users.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The statements of a bundled SQL script; each ends with ';' at the end of a line.
QStringList scriptStatements(const QString& resource)
{
    initDataResources();
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        throw Db::Error(QStringLiteral("无法读取 %1").arg(resource));
    const QString text = QString::fromUtf8(file.readAll());
    QStringList statements;
    QString current;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (current.isEmpty() && (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("--"))))
            continue;
        current += line + QLatin1Char('\n');
        if (trimmed.endsWith(QLatin1Char(';'))) {
            statements.append(current.trimmed());
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements.append(current.trimmed());
    return statements;
}

// What lies at a path, without following a symbolic link.
enum class Found { Nothing, EmptyFile, File, Link, Other };

Found lookAt(const QString& path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT ? Found::Nothing : Found::Other;
    if (S_ISLNK(st.st_mode))
        return Found::Link;
    if (!S_ISREG(st.st_mode))
        return Found::Other;
    return st.st_size == 0 ? Found::EmptyFile : Found::File;
}

struct Content
{
    const QStringList& schema;
    const QList<QStringList>& migrations;
    QString sampleScript;
    // What the sample script cannot hold, such as values made in code; may be empty.
    std::function<void(const QSqlDatabase&)> finish = {};
};

// Fills an empty database file in one transaction: tables, migrations, sample data, version.
void fill(const QString& file, const Content& content)
{
    SearchIndex::registerTokenizer(); // the schema's search index needs it
    const QString name = QStringLiteral("vantorel-create-") + QUuid::createUuid().toString();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        try {
            if (!db.open())
                throw Db::Error(db.lastError().text());
            const QStringList sample = scriptStatements(content.sampleScript);
            Db::exec(db, QStringLiteral("PRAGMA synchronous = EXTRA"));
            Db::exec(db, QStringLiteral("BEGIN IMMEDIATE"));
            for (const QString& statement : content.schema)
                Db::exec(db, statement);
            for (const QStringList& migration : content.migrations) {
                for (const QString& statement : migration)
                    Db::exec(db, statement);
            }
            for (const QString& statement : sample)
                Db::exec(db, statement);
            if (content.finish)
                content.finish(db);
            Db::exec(db, QStringLiteral("PRAGMA user_version = %1").arg(content.migrations.size()));
            Db::exec(db, QStringLiteral("COMMIT"));
        } catch (const Db::Error& e) {
            error = e.text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty())
        throw Db::Error(error);
}

// Builds the database under a name of its own (mode 0600: it holds the user's private life)
// and moves it into place without ever replacing a file that appeared there meanwhile. An
// interrupted first start leaves no half-made database at the path.
void create(const QString& path, const Content& content)
{
    const QFileInfo target(path);
    const QString partial = target.absoluteDir().filePath(
        QStringLiteral(".%1.%2.new").arg(target.fileName(), QUuid::createUuid().toString(QUuid::Id128)));
    const QByteArray partialName = QFile::encodeName(partial);
    const int fd = ::open(partialName.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        throw Db::Error(QString::fromLocal8Bit(strerror(errno)));
    ::close(fd);
    try {
        fill(partial, content);
        if (::link(partialName.constData(), QFile::encodeName(path).constData()) != 0 && errno != EEXIST)
            throw Db::Error(QString::fromLocal8Bit(strerror(errno)));
    } catch (...) {
        ::unlink(partialName.constData());
        QFile::remove(partial + QStringLiteral("-journal"));
        throw;
    }
    ::unlink(partialName.constData());
}

QString refusal(Found found, const QString& shown)
{
    if (found == Found::Link)
        return QStringLiteral("数据库文件的位置上是一个链接：%"
                              "1\n程序不会改动或替换它。请把真正的数据库文件放在这个位置，再启动程序。")
            .arg(shown);
    return QStringLiteral("数据库文件的位置上不是普通文件：%1\n程序不会改动或替换它。请把它移开，再启动程序。")
        .arg(shown);
}

// Makes sure a database file is there, creating it when missing and filling it when empty.
// Returns the message for the user when the path holds something else.
QString ensure(const QString& path, const Content& content)
{
    const QString shown = QFileInfo(path).absoluteFilePath();
    const Found found = lookAt(path);
    try {
        switch (found) {
        case Found::Nothing:
            create(path, content);
            break;
        case Found::EmptyFile:
            fill(path, content);
            break;
        case Found::File:
            break;
        case Found::Link:
        case Found::Other:
            return refusal(found, shown);
        }
    } catch (const Db::Error& e) {
        return QStringLiteral("无法创建数据库文件：%1").arg(e.text());
    }
    // Something may have taken the path meanwhile (a link made by another program).
    const Found now = lookAt(path);
    if (now != Found::File)
        return now == Found::Nothing ? QStringLiteral("无法创建数据库文件：%1").arg(shown) : refusal(now, shown);
    return {};
}

} // namespace

QString Store::ensureMainDatabase(const QString& path, bool* damaged)
{
    if (damaged)
        *damaged = false;
    const QString created = ensure(path, {Schema::mainStatements(), Schema::mainMigrations(),
                                          QStringLiteral(":/sample/mylive_sample.sql"), [](const QSqlDatabase& db) {
                                              // The sample password is stored as its hash from the start, never as
                                              // typed; the sample articles are searchable from the start.
                                              Users::addSamplePassword(db);
                                              Knowledge::indexWaiting(db);
                                          }});
    if (!created.isEmpty())
        return created;

    const QString shown = QFileInfo(path).absoluteFilePath();
    const QString damagedText =
        QStringLiteral("数据库文件已损坏：%1\n程序不会改动它。请退出程序，用备份的副本替换这个文件，再启动程序。")
            .arg(shown);
    try {
        const QSqlDatabase db = Db::open(path);
        // Damage anywhere in the file, also in tables start-up does not read, stops the program
        // before anything is written into it.
        QSqlQuery check = Db::exec(db, QStringLiteral("PRAGMA quick_check"));
        if (!check.next() || check.value(0).toString() != QLatin1String("ok")) {
            if (damaged)
                *damaged = true;
            return damagedText;
        }
        check.finish();

        QSqlQuery version = Db::exec(db, QStringLiteral("PRAGMA user_version"));
        const int stored = version.next() ? version.value(0).toInt() : 0;
        version.finish();
        if (stored > Schema::mainVersion())
            return QStringLiteral("数据库文件由更新版本的程序创建：%"
                                  "1\n这个版本的程序不能使用它，也不会改动它。请使用新版本的程序。")
                .arg(shown);
        // Each migration is one transaction with the version it reaches.
        for (int v = stored; v < Schema::mainVersion(); ++v) {
            Db::transaction(db, [&] {
                for (const QString& statement : Schema::mainMigrations().at(v))
                    Db::exec(db, statement);
                Db::exec(db, QStringLiteral("PRAGMA user_version = %1").arg(v + 1));
            });
        }
    } catch (const Db::Error& e) {
        Db::closeAll();
        if (e.text().contains(QLatin1String("not a database")))
            return QStringLiteral("这个文件不是本程序的数据库：%"
                                  "1\n程序不会改动它。请把它移开，或换成备份的数据库文件，再启动程序。")
                .arg(shown);
        if (e.text().contains(QLatin1String("malformed"))) {
            if (damaged)
                *damaged = true;
            return damagedText;
        }
        return QStringLiteral("无法打开数据库文件：%1\n%2").arg(shown, e.text());
    }
    return {};
}

QString Store::ensureMagazineDatabase(const QString& path)
{
    static const QList<QStringList> none;
    return ensure(path, {Schema::magazineStatements(), none, QStringLiteral(":/sample/magazine_sample.sql")});
}

QString Store::ensureReminderSound(const QString& path)
{
    if (lookAt(path) != Found::Nothing)
        return {};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Chime::wav()) < 0 || !file.commit())
        return file.errorString();
    return {};
}
