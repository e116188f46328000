#pragma once

#include "gui/categorydialog.h"

// The category manager "管理知识类别": adds, renames and deletes categories. The diary's
// category "日志" can be neither renamed nor deleted.
class Dlogfflb : public CategoryDialog
{
    Q_OBJECT

public:
    explicit Dlogfflb(QWidget* parent = nullptr);

    void Form_Load();
    // Refills the category list, keeping the selected category while it exists.
    void FillList(const QString& select = QString());

private:
    void fill() override { FillList(); }
    void ListView1_ItemClick(QTreeWidgetItem* item);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
};
