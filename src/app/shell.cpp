#include "app/shell.h"

#include "app/prompt.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QSoundEffect>
#include <QSystemTrayIcon>

namespace {
std::function<void(const QUrl&)>& openUrlHook()
{
    static std::function<void(const QUrl&)> h;
    return h;
}
std::function<bool(const QUrl&)>& openUrlResultHook()
{
    static std::function<bool(const QUrl&)> h;
    return h;
}
std::function<void(const QString&)>& playSoundHook()
{
    static std::function<void(const QString&)> h;
    return h;
}
std::function<QString(const QString&)>& saveFileNameHook()
{
    static std::function<QString(const QString&)> h;
    return h;
}
std::function<bool()>& trayAvailableHook()
{
    static std::function<bool()> h;
    return h;
}

// One effect per file, kept for the run so that a repeated reminder does not reload the file.
QSoundEffect* effectFor(const QString& file)
{
    static QHash<QString, QPointer<QSoundEffect>> effects;
    QPointer<QSoundEffect>& effect = effects[file];
    if (!effect) {
        effect = new QSoundEffect(QCoreApplication::instance());
        effect->setSource(QUrl::fromLocalFile(file));
    }
    return effect;
}
} // namespace

bool Shell::openUrl(const QUrl& url)
{
    bool opened = true;
    if (openUrlResultHook())
        opened = openUrlResultHook()(url);
    else if (openUrlHook())
        openUrlHook()(url);
    else
        opened = QDesktopServices::openUrl(url);
    if (!opened)
        MsgBox(QStringLiteral("无法打开帮助页面"));
    return opened;
}

void Shell::playSound(const QString& file)
{
    if (playSoundHook()) {
        playSoundHook()(file);
        return;
    }
    if (!QFileInfo(file).isFile())
        return;
    QSoundEffect* effect = effectFor(file);
    if (effect->isPlaying())
        return;
    effect->play();
}

QString Shell::saveFileName(QWidget* parent, const QString& filter)
{
    if (saveFileNameHook())
        return saveFileNameHook()(filter);
    return QFileDialog::getSaveFileName(parent, QString(), QString(), filter);
}

bool Shell::trayAvailable()
{
    if (trayAvailableHook())
        return trayAvailableHook()();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void Shell::setOpenUrlHook(std::function<void(const QUrl&)> hook)
{
    openUrlHook() = std::move(hook);
}

void Shell::setOpenUrlResultHook(std::function<bool(const QUrl&)> hook)
{
    openUrlResultHook() = std::move(hook);
}

void Shell::setPlaySoundHook(std::function<void(const QString&)> hook)
{
    playSoundHook() = std::move(hook);
}

void Shell::setSaveFileNameHook(std::function<QString(const QString&)> hook)
{
    saveFileNameHook() = std::move(hook);
}

void Shell::setTrayAvailableHook(std::function<bool()> hook)
{
    trayAvailableHook() = std::move(hook);
}
