#include "data/privatefile.h"

#include "data/db.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Flushes the file's bytes to the disk, so that a file reported as saved survives a power cut.
bool syncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

PrivateFile::Staged::Staged(const QString& target) : target_(target)
{
    const QFileInfo info(target);
    if (target.isEmpty() || info.isDir())
        throw Db::Error(QStringLiteral("“%1”是一个文件夹").arg(target));
    QTemporaryFile part(info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(info.fileName())));
    part.setAutoRemove(false);
    if (!part.open())
        throw Db::Error(QStringLiteral("无法在“%1”建立文件：%2")
                            .arg(QDir::toNativeSeparators(info.absolutePath()), part.errorString()));
    path_ = part.fileName();
    part.close();
    QFile::setPermissions(path_, kMode);
}

PrivateFile::Staged::~Staged()
{
    if (!path_.isEmpty())
        QFile::remove(path_);
}

void PrivateFile::Staged::commit(qint64 expectedSize)
{
    const QString failed = QStringLiteral("无法写入文件 %1").arg(target_);
    if (path_.isEmpty())
        throw Db::Error(failed); // committed already
    const qint64 size = QFileInfo(path_).size();
    if (size <= 0 || (expectedSize >= 0 && size != expectedSize))
        throw Db::Error(QStringLiteral("文件没有写完整（%1 字节）").arg(size));
    // The mode is set again: a writer that recreated the file gets the umask's mode otherwise.
    if (!QFile::setPermissions(path_, kMode) || !syncFile(path_))
        throw Db::Error(failed);
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(target_).constData()) != 0)
        throw Db::Error(failed);
    path_.clear();
}

void PrivateFile::write(const QString& target, const QByteArray& data)
{
    Staged staged(target);
    QFile file(staged.path());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size() || !file.flush())
        throw Db::Error(QStringLiteral("无法写入文件 %1：%2").arg(target, file.errorString()));
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw Db::Error(QStringLiteral("无法写入文件 %1：%2").arg(target, file.errorString()));
    staged.commit(data.size());
}
