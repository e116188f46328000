#include "data/store.h"

#include "data/chime.h"
#include "data/db.h"
#include "data/filestate.h"
#include "data/knowledge.h"
#include "data/resources.h"
#include "data/schema.h"
#include "data/searchindex.h"
#include "data/users.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUuid>

#include <algorithm>
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

bool& lastFullCheck()
{
    static bool full = true;
    return full;
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
                throw Db::errorOf(db, db.lastError());
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

Store::Refused refusal(Found found, const QString& shown)
{
    QString text;
    if (found == Found::Link)
        text = QStringLiteral(
            "数据库文件的位置上是一个链接：%1\n程序不会改动或替换它。请把真正的数据库文件放在这个位置，再启动程序。");
    else
        text = QStringLiteral("数据库文件的位置上不是普通文件：%1\n程序不会改动或替换它。请把它移开，再启动程序。");
    return {text.arg(shown), false};
}

// Makes sure a database file is there, creating it when missing and filling it when empty.
// Throws Refused when the path holds something else.
void ensure(const QString& path, const Content& content)
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
            throw refusal(found, shown);
        }
    } catch (const Db::Error& e) {
        throw Store::Refused(QStringLiteral("无法创建数据库文件：%1").arg(e.text()), false, e.extendedCode());
    }
    // Something may have taken the path meanwhile (a link made by another program).
    const Found now = lookAt(path);
    if (now == Found::Nothing)
        throw Store::Refused(QStringLiteral("无法创建数据库文件：%1").arg(shown), false);
    if (now != Found::File)
        throw refusal(now, shown);
}

} // namespace

namespace {

// The tables of the first version: a file of this program holds them all, whatever its version.
QStringList baseTables()
{
    static const QRegularExpression name(QStringLiteral("^CREATE TABLE \"?(\\w+)\"?"));
    QStringList tables;
    for (const QString& statement : Schema::mainStatements()) {
        const QRegularExpressionMatch m = name.match(statement);
        if (m.hasMatch())
            tables.append(m.captured(1));
    }
    return tables;
}

// A journal beside the file that belongs to another file: the record of the last run names
// another file (a copy was put in its place by hand). Played into this file, it would corrupt it,
// so it is moved aside under a name that says so, never deleted. Returns the new name, or empty.
QString moveStrayJournal(const QString& path)
{
    const QString journal = path + QStringLiteral("-journal");
    const QFileInfo info(journal);
    if (!info.exists() || info.isSymLink() || !FileState::replacedSinceRecord(path))
        return {};
    // Named by the journal's own time: when the run it belongs to ended.
    const QString stamp = journal + info.lastModified().toString(QStringLiteral(".'stray'-yyyyMMdd-HHmmss"));
    QString aside = stamp;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = stamp + QStringLiteral("-%1").arg(n);
    if (::rename(QFile::encodeName(journal).constData(), QFile::encodeName(aside).constData()) != 0)
        return {};
    return aside;
}

} // namespace

Store::Checked Store::checkCandidate(const QString& path, bool full)
{
    const QString name = QStringLiteral("vantorel-check-") + QUuid::createUuid().toString(QUuid::Id128);
    Checked result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        try {
            if (!db.open())
                throw Db::errorOf(db, db.lastError());
            // Damage anywhere in the file, also in tables start-up does not read, stops it before
            // anything is written into it.
            if (full) {
                QSqlQuery check = Db::exec(db, QStringLiteral("PRAGMA quick_check"));
                const bool ok = check.next() && check.value(0).toString() == QLatin1String("ok");
                check.finish();
                if (!ok)
                    result.verdict = Verdict::Damaged;
            }
            if (result.verdict == Verdict::Sound) {
                QSqlQuery version = Db::exec(db, QStringLiteral("PRAGMA user_version"));
                const int stored = version.next() ? version.value(0).toInt() : 0;
                version.finish();
                QSet<QString> tables;
                QSqlQuery names = Db::exec(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
                while (names.next())
                    tables.insert(names.value(0).toString());
                names.finish();
                const QStringList wanted = baseTables();
                const bool ours =
                    std::all_of(wanted.begin(), wanted.end(), [&](const QString& t) { return tables.contains(t); });
                if (!ours)
                    result.verdict = Verdict::NotOurs;
                else if (stored > Schema::mainVersion())
                    result.verdict = Verdict::Newer;
                // Only a file known to be ours is written: each migration is one transaction with
                // the version it reaches.
                if (result.verdict == Verdict::Sound && stored < Schema::mainVersion()) {
                    Db::exec(db, QStringLiteral("PRAGMA journal_mode = DELETE"));
                    Db::exec(db, QStringLiteral("PRAGMA synchronous = EXTRA"));
                }
                // Plain statements rather than Db::transaction: this may run off the window's thread.
                for (int v = stored; result.verdict == Verdict::Sound && v < Schema::mainVersion(); ++v) {
                    Db::exec(db, QStringLiteral("BEGIN IMMEDIATE"));
                    try {
                        for (const QString& statement : Schema::mainMigrations().at(v))
                            Db::exec(db, statement);
                        Db::exec(db, QStringLiteral("PRAGMA user_version = %1").arg(v + 1));
                        Db::exec(db, QStringLiteral("COMMIT"));
                    } catch (const Db::Error&) {
                        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
                        throw;
                    }
                }
            }
        } catch (const Db::Error& e) {
            if (e.notADatabase())
                result.verdict = Verdict::NotADatabase;
            else if (e.corrupt())
                result.verdict = Verdict::Damaged;
            else if (e.busy())
                result.verdict = Verdict::Busy;
            else
                result.verdict = Verdict::Failed;
            result.detail = e.text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

QString Store::candidateText(const Checked& checked, const QString& shown)
{
    switch (checked.verdict) {
    case Verdict::Sound:
        return {};
    case Verdict::Damaged:
        return QStringLiteral(
                   "数据库文件已损坏：%1\n程序不会改动它。请退出程序，用备份的副本替换这个文件，再启动程序。")
            .arg(shown);
    case Verdict::Empty:
        return QStringLiteral(
                   "数据库文件是空的：%1\n程序不会改动它。请退出程序，用备份的副本替换这个文件，再启动程序。")
            .arg(shown);
    case Verdict::NotADatabase:
    case Verdict::NotOurs:
        return QStringLiteral(
                   "这个文件不是本程序的数据库：%1\n程序不会改动它。请把它移开，或换成备份的数据库文件，再启动程序。")
            .arg(shown);
    case Verdict::Newer:
        return QStringLiteral(
                   "数据库文件由更新版本的程序创建：%1\n这个版本的程序不能使用它，也不会改动它。请使用新版本的程序。")
            .arg(shown);
    case Verdict::Busy:
        return QStringLiteral("另一个程序正在使用数据文件：%1\n请关闭那个程序，或稍后再试。").arg(shown);
    case Verdict::Failed:
        break;
    }
    return QStringLiteral("无法打开数据库文件：%1\n%2").arg(shown, checked.detail);
}

void Store::ensureMainDatabase(const QString& path, const std::function<bool()>& goodCopyExists)
{
    const QString shown = QFileInfo(path).absoluteFilePath();
    // An empty file is refilled with the sample data only when there is no good copy to offer.
    if (lookAt(path) == Found::EmptyFile && goodCopyExists && goodCopyExists())
        throw Refused(candidateText({Verdict::Empty, {}}, shown), true);
    ensure(path, {Schema::mainStatements(), Schema::mainMigrations(), QStringLiteral(":/sample/mylive_sample.sql"),
                  [](const QSqlDatabase& db) {
                      // The sample password is stored as its hash from the start, never as
                      // typed; the sample articles are searchable from the start.
                      Users::addSamplePassword(db);
                      Knowledge::indexWaiting(db);
                  }});

    moveStrayJournal(path);
    // A file unchanged since the last run ended cleanly needs no full check; any other is read
    // whole before anything is written into it.
    const bool full = !FileState::unchangedSinceCleanEnd(path) || QFileInfo::exists(path + QStringLiteral("-journal"));
    lastFullCheck() = full;
    const Checked checked = checkCandidate(path, full);
    if (checked.verdict == Verdict::Sound) {
        FileState::checked(path);
        return;
    }
    // A damaged file and a file whose header is gone may be replaced by a good copy.
    throw Refused(candidateText(checked, shown),
                  checked.verdict == Verdict::Damaged || checked.verdict == Verdict::NotADatabase);
}

bool Store::fullCheckSkipped()
{
    return !lastFullCheck();
}

void Store::ensureMagazineDatabase(const QString& path)
{
    static const QList<QStringList> none;
    ensure(path, {Schema::magazineStatements(), none, QStringLiteral(":/sample/magazine_sample.sql")});
}

void Store::ensureReminderSound(const QString& path)
{
    if (lookAt(path) != Found::Nothing)
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Chime::wav()) < 0 || !file.commit())
        throw Db::Error(file.errorString());
}
