#include "views/contacts/dlogaddrjxx.h"

#include "data/contacts.h"
#include "data/db.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "views/contacts/contactselection.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
const QString kNoContact = QStringLiteral("请先在联系人列表中选择一个联系人！");

// The contact selected in the open contacts view; 0 when none.
qint64 selectedContact()
{
    const ContactSelection* view = Forms::openAs<ContactSelection>(Views::kContacts);
    return view ? view->selectedContactId() : 0;
}
} // namespace

Dlogaddrjxx::Dlogaddrjxx(QWidget* parent)
    : NoteEditor(QStringLiteral("添加人际关系信息"), QStringLiteral("信息类别："), QStringLiteral("添加"), parent)
{
    connect(Command1, &QPushButton::clicked, this, &Dlogaddrjxx::Command1_Click);
}

bool Dlogaddrjxx::Form_Load()
{
    const ContactSelection* view = Forms::openAs<ContactSelection>(Views::kContacts);
    if (!view || view->selectedContactId() == 0) {
        MsgBox(kNoContact);
        return false;
    }
    prepare(view->noteKind());
    return true;
}

void Dlogaddrjxx::Command1_Click()
{
    if (!checkFields())
        return;
    // The note goes to the contact selected when it is saved.
    Contacts::Note note;
    note.contact = selectedContact();
    if (note.contact == 0) {
        MsgBox(kNoContact);
        return;
    }
    note.title = Text1->text();
    note.content = RichTextBox1->toPlainText();
    note.kind = Combo1->currentText();
    if (!Db::run([&] { Contacts::addNote(note, Clock::today()); }))
        return;
    Changes::announce(Changes::Contacts, this);
    Forms::unload(this);
}
