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

bool SingleInstance::acquire(const QString& folder)
{
    const QString path = lockFile(folder);
    if (held().contains(path))
        return false;
    auto lock = std::make_shared<QLockFile>(path);
    // Held for the whole run, however long: only a holder that no longer runs makes it stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    held().insert(path, lock);
    return true;
}

void SingleInstance::releaseAll()
{
    for (const auto& lock : std::as_const(held()))
        lock->unlock();
    held().clear();
}
