#pragma once

#include "gui/formdialog.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Adds, renames and deletes relation categories ("增加关系类别"); stays open until closed.
class Dlogaddgxlb : public FormDialog
{
    Q_OBJECT

public:
    explicit Dlogaddgxlb(QWidget* parent = nullptr);

    // Places the dialog and lists the categories.
    void Form_Load();

private:
    void fillList();
    void ListView1_ItemClick(QTreeWidgetItem* item);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    QLineEdit* Text1;
    QTreeWidget* ListView1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
};
