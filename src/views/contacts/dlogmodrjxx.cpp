#include "views/contacts/dlogmodrjxx.h"

#include "data/contacts.h"
#include "data/db.h"
#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "views/contacts/contactselection.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
const QString kNoNote = QStringLiteral("请先在列表中选择要编辑的信息！");
}

Dlogmodrjxx::Dlogmodrjxx(QWidget* parent)
    : NoteEditor(QStringLiteral("修改人际关系信息"), QStringLiteral("选择类别："), QStringLiteral("修改"), parent)
{
    connect(Command1, &QPushButton::clicked, this, &Dlogmodrjxx::Command1_Click);
}

bool Dlogmodrjxx::Form_Load()
{
    const ContactSelection* view = Forms::openAs<ContactSelection>(Views::kContacts);
    const qint64 id = view ? view->selectedNoteId() : 0;
    if (id == 0) {
        MsgBox(kNoNote);
        return false;
    }
    const auto note = Db::get([id] { return Contacts::note(id); });
    if (!note)
        return false;
    if (!*note) {
        MsgBox(QStringLiteral("这条信息已经不存在！"));
        return false;
    }
    prepare(view->noteKind());
    noteId_ = id;
    Text1->setText((*note)->title);
    RichTextBox1->setPlainText((*note)->content);
    guardEdits(QStringLiteral("是否保存对人际关系信息的修改？"), Command1);
    return true;
}

void Dlogmodrjxx::Command1_Click()
{
    if (!checkFields())
        return;
    Contacts::Note note;
    note.id = noteId_;
    note.title = Text1->text();
    note.content = RichTextBox1->toPlainText();
    note.kind = Combo1->currentText();
    if (!Db::run([&] { Contacts::updateNote(note); }))
        return;
    Changes::announce(Changes::Contacts, this);
    Forms::unload(this);
}
