#pragma once

#include "gui/categorydialog.h"

// Adds, renames and deletes relation categories ("增加关系类别"); stays open until closed.
class Dlogaddgxlb : public CategoryDialog
{
    Q_OBJECT

public:
    explicit Dlogaddgxlb(QWidget* parent = nullptr);

    // Places the dialog and lists the categories.
    void Form_Load();

private:
    void fill() override;
};
