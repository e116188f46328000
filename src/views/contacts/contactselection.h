#pragma once

#include <QString>

// What the contact dialogs learn from the contacts view: the contact selected in its list, the
// note kind of its current tab, and the note selected in that tab's list.
class ContactSelection
{
public:
    virtual ~ContactSelection() = default;
    // The contact selected in the contact list; 0 when none.
    virtual qint64 selectedContactId() const = 0;
    // The caption of the current note tab: "补充资料", "联系记录" or "行动计划".
    virtual QString noteKind() const = 0;
    // The note selected in the current tab's list; 0 when none.
    virtual qint64 selectedNoteId() const = 0;
};
