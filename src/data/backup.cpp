#include "data/backup.h"

#include "data/db.h"
#include "data/store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kPrefix = QStringLiteral("mylive-");
const QString kSuffix = QStringLiteral(".dc");

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// A connection of its own to a file, opened read-only, for the calling thread only. The work
// runs with it and the connection is gone afterwards.
template <class F>
auto withConnection(const QString& file, F&& work)
{
    const QString name = QStringLiteral("vantorel-backup-") + QUuid::createUuid().toString(QUuid::Id128);
    struct Remove
    {
        QString name;
        ~Remove() { QSqlDatabase::removeDatabase(name); }
    } remove{name};
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(file);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
    struct Close
    {
        QSqlDatabase& db;
        ~Close() { db.close(); }
    } close{db};
    if (!db.open())
        throw Db::errorOf(db, db.lastError());
    return work(db);
}

// Creates an empty file of mode 0600 (the copies hold the user's private life); it must not exist.
void createPrivate(const QString& path)
{
    const int fd = ::open(native(path).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        throw Db::Error(QStringLiteral("无法写入备份文件：%1\n%2").arg(path, systemError()));
    ::close(fd);
}

// Flushes a file's (or a folder's) content to the disk, so a copy counted as made survives a
// power cut.
void sync(const QString& path, bool folder = false)
{
    const int fd = ::open(native(path).constData(), (folder ? O_RDONLY | O_DIRECTORY : O_RDONLY) | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

void setWritten(const QString& path, const QDateTime& when)
{
    if (!when.isValid())
        return;
    const qint64 ms = when.toMSecsSinceEpoch();
    timespec times[2];
    times[0].tv_sec = times[1].tv_sec = ms / 1000;
    times[0].tv_nsec = times[1].tv_nsec = (ms % 1000) * 1000000;
    ::utimensat(AT_FDCWD, native(path).constData(), times, 0);
}

// A name beside `path` for a file being written; it takes the final name only when whole.
QString partialBeside(const QString& path)
{
    const QFileInfo info(path);
    return info.absoluteDir().filePath(
        QStringLiteral(".%1.%2.partial").arg(info.fileName(), QUuid::createUuid().toString(QUuid::Id128)));
}

// SQLite's online backup of the database into `partial` (an empty file), in steps of a few
// hundred pages. Between steps the database is free, so the window's writes go on; a write by
// another connection makes SQLite start the copy again, and after a few such restarts the rest is
// copied in one step, inside one read transaction. Either way the copy is one consistent state.
void onlineCopy(const QString& databasePath, const QString& partial)
{
    constexpr int kPagesPerStep = 256;
    constexpr int kRestartsBeforeOneStep = 3;
    withConnection(databasePath, [&](QSqlDatabase& db) {
        Db::exec(db, QStringLiteral("PRAGMA mmap_size = 1073741824"));
        auto* source = static_cast<sqlite3*>(Db::handle(db));
        if (!source)
            throw Db::Error(QStringLiteral("无法读取数据库文件：%1").arg(databasePath));
        sqlite3* target = nullptr;
        int rc = sqlite3_open_v2(native(partial).constData(), &target, SQLITE_OPEN_READWRITE, nullptr);
        struct CloseTarget
        {
            sqlite3*& db;
            ~CloseTarget() { sqlite3_close_v2(db); }
        } closeTarget{target};
        auto fail = [&](sqlite3* on, int code) {
            throw Db::Error(QStringLiteral("备份没有完成：%1")
                                .arg(QString::fromUtf8(on ? sqlite3_errmsg(on) : sqlite3_errstr(code))),
                            code);
        };
        if (rc != SQLITE_OK)
            fail(target, rc);
        // The copy is checked before it counts and only then named: it needs no journal of its own.
        sqlite3_exec(target, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
        sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
        if (!backup)
            fail(target, sqlite3_errcode(target));
        int restarts = 0;
        int lastRemaining = -1;
        int busyWaits = 0;
        for (;;) {
            const int pages = restarts >= kRestartsBeforeOneStep ? -1 : kPagesPerStep;
            rc = sqlite3_backup_step(backup, pages);
            if (rc == SQLITE_DONE)
                break;
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
                // Another program holds the file: wait as long as a statement would.
                if (++busyWaits > 100)
                    break;
                QThread::msleep(50);
                continue;
            }
            if (rc != SQLITE_OK)
                break;
            const int remaining = sqlite3_backup_remaining(backup);
            if (lastRemaining >= 0 && remaining > lastRemaining)
                ++restarts;
            lastRemaining = remaining;
        }
        const int finished = sqlite3_backup_finish(backup);
        if (rc != SQLITE_DONE)
            fail(target, rc == SQLITE_OK ? finished : rc);
        return 0;
    });
}

// Writes a consistent copy of the database into `partial` (a new file of mode 0600) and checks
// it before it counts.
void writeChecked(const QString& databasePath, const QString& partial)
{
    createPrivate(partial);
    try {
        onlineCopy(databasePath, partial);
        sync(partial);
        if (!Backup::isIntact(partial))
            throw Db::Error(QStringLiteral("备份副本未通过检查，已删除。"));
    } catch (...) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
        throw;
    }
}

// Whether two paths name the same file (device and inode, links followed), whatever the text
// of the paths: a folder reached through a link, a hard link.
bool sameFile(const QString& a, const QString& b)
{
    struct stat sa, sb;
    return ::stat(native(a).constData(), &sa) == 0 && ::stat(native(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev
           && sa.st_ino == sb.st_ino;
}

// Copies a file byte for byte into `partial` (a new file of mode 0600), flushed.
void copyBytes(const QString& source, const QString& partial)
{
    createPrivate(partial);
    try {
        QFile in(source);
        QFile out(partial);
        if (!in.open(QIODevice::ReadOnly))
            throw Db::Error(QStringLiteral("无法读取备份：%1\n%2").arg(source, in.errorString()));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw Db::Error(QStringLiteral("无法写入：%1\n%2").arg(partial, out.errorString()));
        while (!in.atEnd()) {
            const QByteArray block = in.read(1 << 20);
            if (block.isEmpty() && in.error() != QFileDevice::NoError)
                throw Db::Error(QStringLiteral("无法读取备份：%1\n%2").arg(source, in.errorString()));
            if (out.write(block) != block.size())
                throw Db::Error(QStringLiteral("无法写入：%1\n%2").arg(partial, out.errorString()));
        }
        out.close();
        sync(partial);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
}

// The same, and the result checked.
void copyChecked(const QString& source, const QString& partial)
{
    copyBytes(source, partial);
    if (!Backup::isIntact(partial)) {
        QFile::remove(partial);
        throw Db::Error(QStringLiteral("备份副本未通过检查，数据没有改动。"));
    }
}

// Newest first: by day, then a later copy of the same day (the time in its longer name) first.
bool newerFirst(const Backup::Copy& a, const Backup::Copy& b)
{
    if (a.day != b.day)
        return a.day > b.day;
    if (a.path.size() != b.path.size())
        return a.path.size() > b.path.size();
    return a.path > b.path;
}

QDate dayOfName(const QString& fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^mylive-(\\d{4}-\\d{2}-\\d{2})(-\\d{6})?\\.dc$"));
    const QRegularExpressionMatch m = pattern.match(fileName);
    return m.hasMatch() ? QDate::fromString(m.captured(1), Qt::ISODate) : QDate();
}

void ensureFolder(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return;
    if (::mkdir(native(folder).constData(), 0700) != 0 && errno != EEXIST)
        throw Db::Error(QStringLiteral("无法创建备份文件夹：%1\n%2").arg(folder, systemError()));
}

} // namespace

QString Backup::folderFor(const QString& databasePath)
{
    return QFileInfo(databasePath).absoluteDir().filePath(QStringLiteral("backup"));
}

QList<Backup::Copy> Backup::list(const QString& folder)
{
    QList<Copy> copies;
    const QFileInfoList files = QDir(folder).entryInfoList({kPrefix + QLatin1Char('*') + kSuffix}, QDir::Files);
    for (const QFileInfo& f : files) {
        const QDate day = dayOfName(f.fileName());
        if (!day.isValid() || f.isSymLink())
            continue;
        copies.append({f.absoluteFilePath(), day, f.lastModified(), f.size()});
    }
    std::sort(copies.begin(), copies.end(), newerFirst);
    return copies;
}

bool Backup::hasCopyOf(const QString& folder, const QDate& day)
{
    const QList<Copy> copies = list(folder);
    return std::any_of(copies.begin(), copies.end(), [&](const Copy& c) { return c.day == day; });
}

QString Backup::makeCopy(const QString& databasePath, const QString& folder, const QDateTime& now)
{
    ensureFolder(folder);
    const QDir dir(folder);
    QString target = dir.filePath(kPrefix + now.date().toString(Qt::ISODate) + kSuffix);
    QDateTime stamp = now;
    while (QFileInfo::exists(target)) {
        target = dir.filePath(kPrefix + now.date().toString(Qt::ISODate) + stamp.toString(QStringLiteral("-HHmmss"))
                              + kSuffix);
        stamp = stamp.addSecs(1);
    }
    const QString partial = partialBeside(target);
    writeChecked(databasePath, partial);
    setWritten(partial, now);
    // A hard link gives the copy its name without ever replacing a file that took it meanwhile.
    if (::link(native(partial).constData(), native(target).constData()) != 0) {
        const QString why = systemError();
        QFile::remove(partial);
        throw Db::Error(QStringLiteral("无法写入备份文件：%1\n%2").arg(target, why));
    }
    QFile::remove(partial);
    sync(folder, true);
    return target;
}

bool Backup::isSameFile(const QString& a, const QString& b)
{
    return sameFile(a, b);
}

void Backup::exportCopy(const QString& databasePath, const QString& target)
{
    if (sameFile(databasePath, target))
        throw Db::Error(QStringLiteral("不能把副本导出到数据库文件本身，请换一个文件名。"));
    const QString partial = partialBeside(target);
    writeChecked(databasePath, partial);
    // Checked again just before: the target may have become a link to the database meanwhile.
    if (sameFile(databasePath, target)) {
        QFile::remove(partial);
        throw Db::Error(QStringLiteral("不能把副本导出到数据库文件本身，请换一个文件名。"));
    }
    if (::rename(native(partial).constData(), native(target).constData()) != 0) {
        const QString why = systemError();
        QFile::remove(partial);
        throw Db::Error(QStringLiteral("无法写入：%1\n%2").arg(target, why));
    }
    sync(QFileInfo(target).absolutePath(), true);
}

bool Backup::isIntact(const QString& file)
{
    if (!QFileInfo(file).isFile() || QFileInfo(file).size() == 0)
        return false;
    try {
        return withConnection(file, [](QSqlDatabase& db) {
            // Pages read through a memory map rather than copied into the cache: the same check,
            // less work per page.
            Db::exec(db, QStringLiteral("PRAGMA mmap_size = 1073741824"));
            QSqlQuery check = Db::exec(db, QStringLiteral("PRAGMA quick_check"));
            return check.next() && check.value(0).toString() == QLatin1String("ok");
        });
    } catch (const Db::Error&) {
        return false;
    }
}

QList<Backup::Copy> Backup::expired(const QList<Copy>& copies, const QDate& today)
{
    QList<Copy> sorted = copies;
    std::stable_sort(sorted.begin(), sorted.end(), newerFirst);
    // Weeks and months are the calendar's, so that the copy a week or a month keeps stays the
    // same from one day to the next (its last one) instead of sliding away.
    const QDate yearBack = today.addMonths(-12);
    QSet<qint64> weeks;
    QSet<int> months;
    QList<Copy> gone;
    for (int i = 0; i < sorted.size(); ++i) {
        const Copy& c = sorted.at(i);
        const qint64 age = c.day.daysTo(today);
        bool keep = false;
        if (i == 0 || age < 7) {
            keep = true;
        } else if (age < 7 * 5) {
            const qint64 week = c.day.toJulianDay() / 7; // Monday to Sunday
            keep = !weeks.contains(week);
            weeks.insert(week);
        } else if (c.day > yearBack) {
            const int month = c.day.year() * 12 + c.day.month();
            keep = !months.contains(month);
            months.insert(month);
        }
        if (!keep)
            gone.append(c);
    }
    return gone;
}

QStringList Backup::rotate(const QString& folder, const QDate& today)
{
    QStringList removed;
    for (const Copy& c : expired(list(folder), today)) {
        if (QFile::remove(c.path))
            removed.append(c.path);
    }
    return removed;
}

Backup::PreparedRestore Backup::prepareRestore(const QString& copy, const QString& databasePath,
                                               const QString& safetyFolder, const QDateTime& now)
{
    PreparedRestore prepared;
    prepared.partial = partialBeside(databasePath);
    copyBytes(copy, prepared.partial);
    // The same check as at start-up, on the copy being put in place: an older copy is brought
    // to this build's version; anything else is refused and nothing is replaced.
    const Store::Checked checked = Store::checkCandidate(prepared.partial);
    if (checked.verdict != Store::Verdict::Sound) {
        QFile::remove(prepared.partial);
        QFile::remove(prepared.partial + QStringLiteral("-journal"));
        const QString shown = QDir::toNativeSeparators(copy);
        switch (checked.verdict) {
        case Store::Verdict::Damaged:
        case Store::Verdict::Empty:
            throw Db::Error(QStringLiteral("所选备份已损坏，不能用来恢复：%1\n当前数据没有改动。").arg(shown));
        case Store::Verdict::NotADatabase:
        case Store::Verdict::NotOurs:
            throw Db::Error(
                QStringLiteral("所选文件不是本程序的数据库，不能用来恢复：%1\n当前数据没有改动。").arg(shown));
        case Store::Verdict::Newer:
            throw Db::Error(
                QStringLiteral("所选备份由更新版本的程序创建，这个版本的程序不能使用它：%1\n当前数据没有改动。")
                    .arg(shown));
        default:
            throw Db::Error(QStringLiteral("无法使用所选备份：%1\n%2\n当前数据没有改动。").arg(shown, checked.detail));
        }
    }
    try {
        prepared.safety = makeCopy(databasePath, safetyFolder, now);
    } catch (...) {
        QFile::remove(prepared.partial);
        throw;
    }
    return prepared;
}

void Backup::completeRestore(const PreparedRestore& prepared, const QString& databasePath)
{
    if (::rename(native(prepared.partial).constData(), native(databasePath).constData()) != 0) {
        const QString why = systemError();
        QFile::remove(prepared.partial);
        throw Db::Error(QStringLiteral("无法替换数据库文件：%1\n%2").arg(databasePath, why));
    }
    // A journal left by the replaced file must never be played into the restored one.
    QFile::remove(databasePath + QStringLiteral("-journal"));
    sync(QFileInfo(databasePath).absolutePath(), true);
}

void Backup::removeLeftovers(const QString& databasePath)
{
    // Only the names this program gives to files it writes and renames into place.
    static const QRegularExpression own(
        QStringLiteral("^\\.(mylive\\.dc|magazine\\.mdb|mylive-\\d{4}-\\d{2}-\\d{2}(-\\d{6})?\\.dc)"
                       "\\.[0-9a-f]{32}\\.(partial|new)(-journal)?$|^\\.mylive\\.dc\\.state\\.[0-9a-f]{32}\\.new$"));
    for (const QString& folder : {QFileInfo(databasePath).absolutePath(), folderFor(databasePath)}) {
        const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QFileInfo& f : files) {
            if (own.match(f.fileName()).hasMatch() && !f.isSymLink())
                QFile::remove(f.absoluteFilePath());
        }
    }
}

QString Backup::newestIntact(const QString& folder, const QDate& today)
{
    for (const Copy& c : list(folder)) {
        if (today.isValid() && c.day > today)
            continue;
        if (isIntact(c.path))
            return c.path;
    }
    return {};
}

QString Backup::replaceDamaged(const QString& copy, const QString& databasePath, const QDateTime& now)
{
    const QString partial = partialBeside(databasePath);
    copyChecked(copy, partial);

    QString kept = databasePath + now.toString(QStringLiteral(".'damaged'-yyyyMMdd-HHmmss"));
    for (int n = 2; QFileInfo::exists(kept) || QFileInfo(kept).isSymLink(); ++n)
        kept = databasePath + now.toString(QStringLiteral(".'damaged'-yyyyMMdd-HHmmss")) + QStringLiteral("-%1").arg(n);
    // The damaged file keeps its content under the new name; the path always holds one of the two.
    const bool linked = ::link(native(databasePath).constData(), native(kept).constData()) == 0;
    if (!linked && ::rename(native(databasePath).constData(), native(kept).constData()) != 0) {
        const QString why = systemError();
        QFile::remove(partial);
        throw Db::Error(QStringLiteral("无法保留损坏的数据库文件：%1\n%2").arg(databasePath, why));
    }
    const QString journal = databasePath + QStringLiteral("-journal");
    if (QFileInfo::exists(journal))
        ::rename(native(journal).constData(), native(kept + QStringLiteral("-journal")).constData());
    if (::rename(native(partial).constData(), native(databasePath).constData()) != 0) {
        const QString why = systemError();
        QFile::remove(partial);
        throw Db::Error(QStringLiteral("无法替换数据库文件：%1\n%2").arg(databasePath, why));
    }
    sync(QFileInfo(databasePath).absolutePath(), true);
    return kept;
}
