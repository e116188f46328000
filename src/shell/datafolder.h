#pragma once

#include <QString>

// Where the program keeps its data. A portable copy keeps it beside itself, as it always has;
// an installed program, whose folder the user cannot write, keeps it in the user's data folder.
namespace DataFolder {
// The folder given on the command line (--data-dir) when there is one; else the program's own
// folder when it can be written and is not an installed program's bin folder; else $XDG_DATA_HOME/vantorel (~/.local/share/vantorel),
// created private to the user (0700). Throws Db::Error with the message for the user when the
// folder cannot be made.
QString choose(const QString& programFolder, const QString& given);
} // namespace DataFolder
