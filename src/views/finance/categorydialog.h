#pragma once

#include "data/dependants.h"
#include "data/finance.h"
#include "gui/formdialog.h"

#include <functional>

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

    // What the buttons do to the names the dialog keeps.
    struct Actions
    {
        QString missingName; // said when the field is empty
        std::function<void(const QString&)> add;
        // False when the row was removed meanwhile (the list is then read again).
        std::function<bool(qint64, const QString&)> rename;
        std::function<Dependants::Named(qint64)> dependants;
        QString deleteQuestion; // %1 the name, %2 how many records depend on it
        std::function<void(qint64)> remove;
        bool clearAfter = false; // empties the field after an addition and a deletion
    };

    // Connects "增加", "修改" and "删除" to the actions.
    void connectActions(Actions actions);
    // Reads the names into the list.
    virtual void fill() = 0;
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
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    Actions actions_;
};
