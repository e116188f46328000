#pragma once

#include "views/contacts/noteeditor.h"

// Edits the note selected in the contacts view's current tab ("修改人际关系信息").
class Dlogmodrjxx : public NoteEditor
{
    Q_OBJECT

public:
    explicit Dlogmodrjxx(QWidget* parent = nullptr);

    // Loads the selected note; false (after saying why) when there is none.
    bool Form_Load();

private:
    void Command1_Click();

    // The note loaded, which the save writes whatever is selected by then.
    qint64 noteId_ = 0;
};
