// Pictures of the contacts view with a contact chosen, and its dialogs.

#include "shots.h"

#include "gui/forms.h"
#include "gui/views.h"
#include "views/contacts/dlogaddgxlb.h"
#include "views/contacts/dlogaddrj.h"
#include "views/contacts/dlogaddrjxx.h"
#include "views/contacts/dlogmodrjxx.h"
#include "views/contacts/frmrj.h"

#include <QTabWidget>
#include <QTreeWidget>

namespace {
// The contacts view with its first contact chosen and, when asked, the tab and its first note.
QWidget* contactsWithSelection(int tab = 0, bool note = false)
{
    QWidget* frame = Shots::view(Views::kContacts);
    if (auto* view = Forms::find<Frmrj>()) {
        auto* contacts = view->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
        if (contacts && contacts->topLevelItemCount() > 0) {
            contacts->setCurrentItem(contacts->topLevelItem(0));
            emit contacts->itemClicked(contacts->topLevelItem(0), 1);
        }
        auto* tabs = view->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
        tabs->setCurrentIndex(tab);
        if (note) {
            auto* list = qobject_cast<QTreeWidget*>(tabs->currentWidget());
            if (list && list->topLevelItemCount() > 0)
                list->setCurrentItem(list->topLevelItem(0));
        }
    }
    Shots::settle();
    return frame;
}

const int contacts = Shots::add(QStringLiteral("contacts"), [] { return contactsWithSelection(); });
const int addContact = Shots::add(QStringLiteral("contacts-add"), [] {
    Shots::view(Views::kContacts);
    return static_cast<QWidget*>(Forms::show<Dlogaddrj>());
});
const int addNote = Shots::add(QStringLiteral("contacts-add-note"), [] {
    contactsWithSelection(1);
    return static_cast<QWidget*>(Forms::show<Dlogaddrjxx>());
});
const int editNote = Shots::add(QStringLiteral("contacts-edit-note"), [] {
    contactsWithSelection(1, true);
    return static_cast<QWidget*>(Forms::show<Dlogmodrjxx>());
});
const int categories = Shots::add(QStringLiteral("contacts-categories"), [] {
    Shots::view(Views::kContacts);
    return static_cast<QWidget*>(Forms::show<Dlogaddgxlb>());
});
} // namespace
