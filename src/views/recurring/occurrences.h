#pragma once

class QObject;

// The window side of recurring tasks.
namespace Occurrences {

// Makes the occurrences due up to today (after login and when the date changes) and announces
// the new tasks. A database failure is reported once and leaves the tasks as they were.
void catchUp(QObject* origin);

} // namespace Occurrences
