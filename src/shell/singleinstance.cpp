#include "shell/singleinstance.h"

#include "data/db.h"

#include <QDir>
#include <QHash>
#include <QLockFile>
#include <memory>

namespace {
QHash<QString, std::shared_ptr<QLockFile>>& held()
{
    static QHash<QString, std::shared_ptr<QLockFile>> locks;
    return locks;
}
} // namespace

QString SingleInstance::lockFile(const QString& folder)
{
    return QDir(folder).absoluteFilePath(QStringLiteral("vantorel.lock"));
}

bool SingleInstance::claim(const QString& folder)
{
    const QString path = lockFile(folder);
    if (held().contains(path))
        return false;
    auto lock = std::make_shared<QLockFile>(path);
    // Held for the whole run, however long: only a holder that no longer runs makes it stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return false;
        throw Db::Error(lock->error() == QLockFile::PermissionError ? QStringLiteral("没有写入权限")
                                                                    : QStringLiteral("无法建立锁文件"));
    }
    held().insert(path, lock);
    return true;
}

bool SingleInstance::acquire(const QString& folder)
{
    try {
        return claim(folder);
    } catch (const Db::Error&) {
        return false;
    }
}

void SingleInstance::releaseAll()
{
    for (const auto& lock : std::as_const(held()))
        lock->unlock();
    held().clear();
}
