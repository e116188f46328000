#pragma once

#include <QString>

// One running program per program folder, across processes and within one (tests start the
// program again in the same process once its windows are gone).
namespace SingleInstance {
// Claims the folder; false when a running program holds it already.
bool acquire(const QString& folder);
void releaseAll();
} // namespace SingleInstance
