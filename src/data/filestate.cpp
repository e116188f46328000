#include "data/filestate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUuid>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Record
{
    bool clean = false;
    FileState::State state;
};

QSet<QString>& checkedInThisProcess()
{
    static QSet<QString> paths;
    return paths;
}

QString key(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

std::optional<Record> read(const QString& path)
{
    QFile f(FileState::recordFile(path));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> fields = f.read(512).trimmed().split(' ');
    if (fields.size() != 7 || fields[0] != "vantorel-state")
        return std::nullopt;
    Record r;
    bool ok[6];
    const int clean = fields[1].toInt(&ok[0]);
    r.state.size = fields[2].toLongLong(&ok[1]);
    r.state.modifiedNs = fields[3].toLongLong(&ok[2]);
    r.state.device = fields[4].toULongLong(&ok[3]);
    r.state.inode = fields[5].toULongLong(&ok[4]);
    r.state.changeCounter = fields[6].toUInt(&ok[5]);
    for (bool b : ok) {
        if (!b)
            return std::nullopt;
    }
    r.clean = clean == 1;
    return r;
}

// Written under a name of its own and renamed over the record, so a reader never sees half a
// record. Not flushed: a record lost in a power cut only costs the next start a full check.
void write(const QString& path, const Record& r)
{
    const QString target = FileState::recordFile(path);
    const QString temp = target + QStringLiteral(".%1.new").arg(QUuid::createUuid().toString(QUuid::Id128));
    QFile f(temp);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return;
    const QByteArray line = QByteArrayLiteral("vantorel-state ") + QByteArray::number(r.clean ? 1 : 0) + ' '
                            + QByteArray::number(r.state.size) + ' ' + QByteArray::number(r.state.modifiedNs) + ' '
                            + QByteArray::number(r.state.device) + ' ' + QByteArray::number(r.state.inode) + ' '
                            + QByteArray::number(r.state.changeCounter) + '\n';
    const bool written = f.write(line) == line.size();
    f.close();
    if (!written || ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0)
        QFile::remove(temp);
}

} // namespace

std::optional<FileState::State> FileState::of(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    unsigned char counter[4] = {0, 0, 0, 0};
    const bool ok =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (st.st_size < 100 || ::pread(fd, counter, 4, 24) == 4);
    ::close(fd);
    if (!ok)
        return std::nullopt;
    State s;
    s.size = st.st_size;
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.changeCounter = quint32(counter[0]) << 24 | quint32(counter[1]) << 16 | quint32(counter[2]) << 8 | counter[3];
    return s;
}

QString FileState::recordFile(const QString& path)
{
    const QFileInfo info(path);
    return info.absoluteDir().filePath(QStringLiteral(".%1.state").arg(info.fileName()));
}

void FileState::checked(const QString& path)
{
    const std::optional<State> now = of(path);
    if (!now) {
        QFile::remove(recordFile(path));
        return;
    }
    write(path, {false, *now});
    checkedInThisProcess().insert(key(path));
}

void FileState::finish(const QString& path)
{
    if (!checkedInThisProcess().remove(key(path)))
        return;
    if (const std::optional<State> now = of(path))
        write(path, {true, *now});
}

bool FileState::unchangedSinceCleanEnd(const QString& path)
{
    const std::optional<Record> r = read(path);
    const std::optional<State> now = of(path);
    return r && now && r->clean && r->state == *now;
}

bool FileState::replacedSinceRecord(const QString& path)
{
    const std::optional<Record> r = read(path);
    const std::optional<State> now = of(path);
    return r && now && (r->state.device != now->device || r->state.inode != now->inode);
}
