#pragma once

#include "data/finance.h"
#include "gui/categorydialog.h"

// Keeps the income categories or the expense categories: the kind it was opened for, for its
// whole life. Renaming a category leaves records with the name they were written with.
class Dlogszlb : public CategoryDialog
{
    Q_OBJECT

public:
    explicit Dlogszlb(QWidget* parent = nullptr);
    bool Form_Load();

    // Shows the dialog for the kind (Income or Expense); an open dialog of the other kind is
    // closed first.
    static Dlogszlb* showFor(Finance::Kind kind);
    Finance::Kind kind() const { return kind_; }

private:
    void fill() override;

    Finance::Kind kind_;
};
