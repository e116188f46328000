#pragma once

#include <QString>

// One running program per program folder, across processes and within one (tests start the
// program again in the same process once its windows are gone). The claim is an atomic lock
// file in the folder, held for the whole run; a lock left by a program that died is stale and
// taken over.
namespace SingleInstance {
// What claiming a folder gave.
enum class Claim { Taken, Running, Failed };
// Claims the folder. Running only when a live program holds it; Failed (with `error` set to the
// system's reason) when the lock file cannot be made at all.
Claim claim(const QString& folder, QString* error = nullptr);
// Claims the folder; false when it is not taken.
bool acquire(const QString& folder);
void releaseAll();
// The lock file of a program folder.
QString lockFile(const QString& folder);
} // namespace SingleInstance
