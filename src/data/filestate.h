#pragma once

#include <QString>
#include <optional>

// What identifies the state of a database file between two runs: its size, modification time,
// device and inode, and SQLite's file change counter (which every committed write moves). A
// record of it beside the file, taken after the file was found sound and again when the program
// ended cleanly, lets the next start skip the full check of a file nothing has touched since.
namespace FileState {

struct State
{
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 device = 0;
    quint64 inode = 0;
    quint32 changeCounter = 0;
    bool operator==(const State&) const = default;
};

// The file's state now; empty when it cannot be read.
std::optional<State> of(const QString& path);

// The record kept beside the database (hidden, named after it).
QString recordFile(const QString& path);

// Records the state after a check found the file sound; the run is still going (not clean).
// Later, finish() records the state at a clean end, if check() was recorded in this process.
void checked(const QString& path);
void finish(const QString& path);

// Whether the last run ended cleanly and the file is as it was then.
bool unchangedSinceCleanEnd(const QString& path);

// Whether the record names another file than the one at the path now (another device or inode):
// the file was put there by hand since. False without a record.
bool replacedSinceRecord(const QString& path);

} // namespace FileState
