#pragma once

#include <QString>

// Names and addresses that belong to the program as a whole, kept in one place.
namespace AppInfo {
inline const QString kTitle = QStringLiteral("Vantorel时间管理软件");
inline const QString kLoginTitle = QStringLiteral("Vantorel时间管理软件 V3.8");

// The maker's web site: help pages, the video tutorial and magazine links live under it.
inline const QString kSite = QStringLiteral("https://www.vantorel.com");

// The address of a page of the maker's site, e.g. sitePage("/jiaocheng/class-1.asp").
QString sitePage(const QString& path);

// File names in the program's folder.
inline const QString kMainDatabase = QStringLiteral("mylive.dc");
inline const QString kMagazineDatabase = QStringLiteral("magazine.mdb");
inline const QString kReminderSound = QStringLiteral("5.wav");
} // namespace AppInfo
