#include "shell/datafolder.h"

#include "data/db.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool writable(const QString& folder)
{
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

// Installed by `make install` or a package: <prefix>/bin beside <prefix>/share with our menu
// entry. Such a program never keeps data in its folder, even for a user who could write there.
bool installed(const QString& programFolder)
{
    const QDir dir(programFolder);
    return dir.dirName() == QLatin1String("bin")
           && QFileInfo::exists(dir.filePath(QStringLiteral("../share/applications/vantorel.desktop")));
}

// The user's data folder: $XDG_DATA_HOME, or ~/.local/share when it is unset, empty or relative
// (a relative path there is invalid and is ignored, or each working folder would get its own data).
QString userDataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    return QDir::home().filePath(QStringLiteral(".local/share"));
}

// Makes the folder and its missing parents; a folder made here is private to the user. Returns
// the folder.
QString make(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return folder;
    if (QFileInfo::exists(folder))
        throw Db::Error(
            QStringLiteral(
                "数据文件夹的位置上是一个文件，不是文件夹：%1\n请把这个文件移开，或用 --data-dir 指定另一个文件夹，再启动程序。")
                .arg(folder));
    if (!QDir().mkpath(QFileInfo(folder).absolutePath())
        || (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST))
        throw Db::Error(
            QStringLiteral("无法建立数据文件夹：%1（%2）").arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    return folder;
}
} // namespace

QString DataFolder::choose(const QString& programFolder, const QString& given)
{
    if (!given.isEmpty())
        return make(QDir(given).absolutePath());
    if (!installed(programFolder) && writable(programFolder))
        return QDir(programFolder).absolutePath();
    return make(QDir(userDataHome()).filePath(QStringLiteral("vantorel")));
}
