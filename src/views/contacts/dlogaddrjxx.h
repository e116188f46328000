#pragma once

#include "views/contacts/noteeditor.h"

// Adds a note of the kind of the contacts view's current tab to its selected contact
// ("添加人际关系信息").
class Dlogaddrjxx : public NoteEditor
{
    Q_OBJECT

public:
    explicit Dlogaddrjxx(QWidget* parent = nullptr);

    // False (after saying why) when the contacts view has no contact selected.
    bool Form_Load();

private:
    void Command1_Click();
};
