#include "shell/datafolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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

// Makes the folder and its missing parents; a folder made here is private to the user.
bool make(const QString& folder, QString* error)
{
    if (QFileInfo(folder).isDir())
        return true;
    if (!QDir().mkpath(QFileInfo(folder).absolutePath())
        || (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)) {
        if (error)
            *error = QStringLiteral("无法建立数据文件夹：%1（%2）")
                         .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}
} // namespace

QString DataFolder::choose(const QString& programFolder, const QString& given, QString* error)
{
    if (!given.isEmpty()) {
        const QString folder = QDir(given).absolutePath();
        return make(folder, error) ? folder : QString();
    }
    if (!installed(programFolder) && writable(programFolder))
        return QDir(programFolder).absolutePath();
    const QString folder = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                               .filePath(QStringLiteral("vantorel"));
    return make(folder, error) ? folder : QString();
}
