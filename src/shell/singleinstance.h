#pragma once

#include <QString>

// One running program per program folder, across processes and within one (tests start the
// program again in the same process once its windows are gone). The claim is an atomic lock
// file in the folder, held for the whole run; a lock left by a program that died is stale and
// taken over.
namespace SingleInstance {
// Claims the folder: false only when a live program holds it. Throws Db::Error with the
// system's reason when the lock file cannot be made at all.
bool claim(const QString& folder);
// Claims the folder; false when it is not taken, for whatever reason.
bool acquire(const QString& folder);
void releaseAll();
// The lock file of a program folder.
QString lockFile(const QString& folder);
} // namespace SingleInstance
