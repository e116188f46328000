#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

// What the program hands to the desktop: web pages, sounds, the save-file dialog and the tray.
// Tests install hooks to see what would open, sound or be saved, and whether there is a tray.
namespace Shell {
void openUrl(const QUrl& url);
// Plays a sound file without waiting; a sound still playing is not cut off, and a missing
// or unreadable file plays nothing.
void playSound(const QString& file);
// The file to save to, or empty when cancelled. A name typed without a suffix gets the suffix of
// the filter chosen in the dialog.
QString saveFileName(QWidget* parent, const QString& filter);
// The existing file to read, or empty when cancelled.
QString openFileName(QWidget* parent, const QString& filter);
// Whether the desktop offers a notification area for the program's tray icon.
bool trayAvailable();

void setOpenUrlHook(std::function<void(const QUrl&)> hook);
void setPlaySoundHook(std::function<void(const QString&)> hook);
void setSaveFileNameHook(std::function<QString(const QString& filter)> hook);
void setOpenFileNameHook(std::function<QString(const QString& filter)> hook);
void setTrayAvailableHook(std::function<bool()> hook);
} // namespace Shell
