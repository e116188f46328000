#include "gui/shell.h"

#include "gui/prompt.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QRegularExpression>
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
std::function<QString(const QString&)>& openFileNameHook()
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
    if (filter == Shell::kFolder)
        return QFileDialog::getExistingDirectory(parent);
    QString chosenFilter;
    QString name = QFileDialog::getSaveFileName(parent, QString(), QString(), filter, &chosenFilter);
    // "CSV (UTF-8) (*.csv)": a name typed without a suffix gets ".csv".
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch m = pattern.match(chosenFilter);
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty() && m.hasMatch())
        name += QLatin1Char('.') + m.captured(1);
    return name;
}

QString Shell::openFileName(QWidget* parent, const QString& filter)
{
    if (openFileNameHook())
        return openFileNameHook()(filter);
    if (filter == Shell::kFolder)
        return QFileDialog::getExistingDirectory(parent);
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
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

void Shell::setOpenFileNameHook(std::function<QString(const QString&)> hook)
{
    openFileNameHook() = std::move(hook);
}

void Shell::setTrayAvailableHook(std::function<bool()> hook)
{
    trayAvailableHook() = std::move(hook);
}
