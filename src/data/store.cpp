#include "data/store.h"

#include "data/chime.h"
#include "data/db.h"
#include "data/resources.h"
#include "data/schema.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QUuid>

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

bool needsCreating(const QString& path)
{
    const QFileInfo info(path);
    return !info.exists() || (info.isFile() && info.size() == 0);
}

// Builds the database in a file beside the target and moves it into place only when it is
// complete, so an interrupted first start never leaves a half-made database behind.
QString createDatabase(const QString& path, const QStringList& schema, const QString& sampleScript)
{
    if (!needsCreating(path))
        return {};
    const QString partial = path + QStringLiteral(".new");
    QFile::remove(partial);
    QString error;
    {
        const QString name = QStringLiteral("vantorel-create-") + QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(partial);
            try {
                if (!db.open())
                    throw Db::Error(db.lastError().text());
                const QStringList sample = scriptStatements(sampleScript);
                Db::exec(db, QStringLiteral("BEGIN"));
                for (const QString& statement : schema)
                    Db::exec(db, statement);
                for (const QString& statement : sample)
                    Db::exec(db, statement);
                Db::exec(db, QStringLiteral("COMMIT"));
            } catch (const Db::Error& e) {
                error = e.text();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    if (error.isEmpty()) {
        QFile::remove(path); // an empty file left by an earlier failure
        if (!QFile::rename(partial, path))
            error = QStringLiteral("无法创建 %1").arg(QFileInfo(path).absoluteFilePath());
    }
    if (!error.isEmpty())
        QFile::remove(partial);
    return error;
}
} // namespace

QString Store::ensureMainDatabase(const QString& path)
{
    return createDatabase(path, Schema::mainStatements(), QStringLiteral(":/sample/mylive_sample.sql"));
}

QString Store::ensureMagazineDatabase(const QString& path)
{
    return createDatabase(path, Schema::magazineStatements(), QStringLiteral(":/sample/magazine_sample.sql"));
}

QString Store::ensureReminderSound(const QString& path)
{
    if (QFileInfo::exists(path))
        return {};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Chime::wav()) < 0 || !file.commit())
        return file.errorString();
    return {};
}
