#pragma once

#include "gui/categorydialog.h"

// Keeps the account types. Renaming a type renames it in every account of the type.
class Dlogzhlb : public CategoryDialog
{
    Q_OBJECT

public:
    explicit Dlogzhlb(QWidget* parent = nullptr);
    void Form_Load();

private:
    void fill() override;
};
