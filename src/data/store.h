#pragma once

#include <QString>

// The files of the program's folder that a first start creates when they are missing. Each
// returns an empty text on success, or the message for the user. Nothing that is there is ever
// replaced: a link, a folder or any other thing at a file's path is reported and left alone.
namespace Store {
// The main database with its tables, indexes and our sample data. An existing file is checked
// (quick_check) and brought to this build's version by the migrations; a damaged file, a file
// that is not a database and a file from a newer build are refused without being written.
// `damaged` (when given) tells whether the refusal is for a damaged file, which a copy may replace.
QString ensureMainDatabase(const QString& path, bool* damaged = nullptr);
// The magazine database with a few articles of our own.
QString ensureMagazineDatabase(const QString& path);
// The reminder chime.
QString ensureReminderSound(const QString& path);
} // namespace Store
