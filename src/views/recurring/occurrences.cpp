#include "views/recurring/occurrences.h"

#include "app/changes.h"
#include "app/clock.h"
#include "data/db.h"
#include "data/recurrence.h"

void Occurrences::catchUp(QObject* origin)
{
    const QDate today = Clock::today();
    if (const std::optional<int> made = Db::get([&] { return Recurrence::generate(today); }); made && *made > 0)
        Changes::announce(Changes::Tasks, origin);
}
