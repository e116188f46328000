#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

// What the program hands to the desktop: web pages, sounds and the save-file dialog.
// Tests install hooks to see what would open, sound or be saved.
namespace Shell {
void openUrl(const QUrl& url);
// Plays a sound file without waiting; a sound still playing is not cut off, and a missing
// or unreadable file plays nothing.
void playSound(const QString& file);
QString saveFileName(QWidget* parent, const QString& filter);

void setOpenUrlHook(std::function<void(const QUrl&)> hook);
void setPlaySoundHook(std::function<void(const QString&)> hook);
void setSaveFileNameHook(std::function<QString(const QString& filter)> hook);
} // namespace Shell
