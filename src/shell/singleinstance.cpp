#include "shell/singleinstance.h"

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

SingleInstance::Claim SingleInstance::claim(const QString& folder, QString* error)
{
    const QString path = lockFile(folder);
    if (held().contains(path))
        return Claim::Running;
    auto lock = std::make_shared<QLockFile>(path);
    // Held for the whole run, however long: only a holder that no longer runs makes it stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return Claim::Running;
        if (error)
            *error = lock->error() == QLockFile::PermissionError ? QStringLiteral("没有写入权限")
                                                                 : QStringLiteral("无法建立锁文件");
        return Claim::Failed;
    }
    held().insert(path, lock);
    return Claim::Taken;
}

bool SingleInstance::acquire(const QString& folder)
{
    return claim(folder) == Claim::Taken;
}

void SingleInstance::releaseAll()
{
    for (const auto& lock : std::as_const(held()))
        lock->unlock();
    held().clear();
}
