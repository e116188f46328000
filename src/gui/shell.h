#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

// What the program hands to the desktop: web pages, sounds, the save-file dialog and the tray.
// Tests install hooks to see what would open, sound or be saved, and whether there is a tray.
namespace Shell {
// Opens the page in the desktop's browser; a page that cannot be opened says so
// ("无法打开帮助页面"). False when it could not be opened.
bool openUrl(const QUrl& url);
// Plays a sound file without waiting; a sound still playing is not cut off, and a missing
// or unreadable file plays nothing.
void playSound(const QString& file);
QString saveFileName(QWidget* parent, const QString& filter);
// The file to read, or empty when the user cancelled.
QString openFileName(QWidget* parent, const QString& filter);
// The filter that asks the save and open dialogs for a folder instead of a file.
inline const QString kFolder = QStringLiteral("文件夹");
// Whether the desktop offers a notification area for the program's tray icon.
bool trayAvailable();

void setOpenUrlHook(std::function<void(const QUrl&)> hook);
void setPlaySoundHook(std::function<void(const QString&)> hook);
void setSaveFileNameHook(std::function<QString(const QString& filter)> hook);
void setOpenFileNameHook(std::function<QString(const QString& filter)> hook);
void setTrayAvailableHook(std::function<bool()> hook);
// Stands for the desktop when it opens a page: answers whether it could (taking precedence over
// the plain open-URL hook); an empty function restores the desktop.
void setOpenUrlResultHook(std::function<bool(const QUrl&)> hook);
} // namespace Shell
