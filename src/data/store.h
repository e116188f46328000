#pragma once

#include "data/db.h"

#include <QString>
#include <functional>

// The files of the program's folder that a first start creates when they are missing. Each
// throws Db::Error, whose text is the message for the user, when the file cannot be had. Nothing
// that is there is ever replaced: a link, a folder or any other thing at a file's path is
// reported and left alone.
namespace Store {

// A file refused at start-up. `replaceable`: a damaged, empty or headless main database, which a
// good copy may replace.
class Refused : public Db::Error
{
public:
    Refused(const QString& text, bool replaceable, int code = 0) : Db::Error(text, code), replaceable_(replaceable) {}
    bool replaceable() const { return replaceable_; }

private:
    bool replaceable_ = false;
};

// The main database with its tables, indexes and our sample data. An existing file goes through
// checkCandidate; a damaged file, a file that is not a database (or not ours) and a file from a
// newer build are refused (Refused) without being written. An empty file for which
// `goodCopyExists` (when given) says there is no good copy is filled with the sample data.
void ensureMainDatabase(const QString& path, const std::function<bool()>& goodCopyExists = {});
// What the check of a database file found.
enum class Verdict { Sound, Damaged, Empty, NotADatabase, NotOurs, Newer, Busy, Failed };
struct Checked
{
    Verdict verdict = Verdict::Sound;
    QString detail; // SQLite's text, for Failed
};
// The one check of a file that is to hold the program's data, at start-up and before a copy is
// restored. A sound file of an older build is migrated to this build's version (each migration
// one transaction); nothing is written into a file found to be anything else. `full` reads every
// page (quick_check); without it, the file is trusted as recorded at the last clean end. Opens a
// connection of its own, so it may run on any thread.
Checked checkCandidate(const QString& path, bool full = true);
// The message for the user about a file that is not sound, naming it by `shown`.
QString candidateText(const Checked& checked, const QString& shown);
// Whether the last ensureMainDatabase trusted the file without reading it whole (a check off the
// window's thread follows after login).
bool fullCheckSkipped();

// The magazine database with a few articles of our own.
void ensureMagazineDatabase(const QString& path);
// The reminder chime.
void ensureReminderSound(const QString& path);
} // namespace Store
