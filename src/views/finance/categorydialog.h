#pragma once

#include "data/finance.h"
#include "gui/formdialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The layout both lookup-list managers share: a name field, the list of names and the buttons
// "增加", "修改", "删除". Selecting a row puts its name into the field.
class CategoryDialog : public FormDialog
{
    Q_OBJECT

protected:
    CategoryDialog(const QString& label, const QString& column, int columnWidth, QWidget* parent);

    // Fills ListView1 with the rows, in their order.
    void fillList(const QList<Finance::Category>& rows);

    QLabel* Label1;
    QLineEdit* Text1;
    QTreeWidget* ListView1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;

private:
    void ListView1_SelectionChanged();
};
