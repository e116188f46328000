#pragma once

#include <QString>

// The files of the program's folder that a first start creates when they are missing.
// Each returns an empty text on success, or the reason it failed.
namespace Store {
// The main database with its tables, indexes and our sample data.
QString ensureMainDatabase(const QString& path);
// The magazine database with a few articles of our own.
QString ensureMagazineDatabase(const QString& path);
// The reminder chime.
QString ensureReminderSound(const QString& path);
} // namespace Store
