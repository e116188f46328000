#include "gui/changes.h"

#include "data/db.h"

Changes& Changes::instance()
{
    static Changes* changes = new Changes();
    return *changes;
}

void Changes::announce(Kinds kinds, QObject* origin)
{
    const Db::FreshEdge ownAction;
    Changes& c = instance();
    if (kinds & Tasks)
        emit c.tasksChanged(origin);
    if (kinds & Goals)
        emit c.goalsChanged(origin);
    if (kinds & Themes)
        emit c.themesChanged(origin);
    if (kinds & Diary)
        emit c.diaryChanged(origin);
    if (kinds & Statements)
        emit c.statementsChanged(origin);
    if (kinds & Knowledge)
        emit c.knowledgeChanged(origin);
    if (kinds & Contacts)
        emit c.contactsChanged(origin);
    if (kinds & Finance)
        emit c.financeChanged(origin);
}
