#pragma once

#include "data/dependants.h"
#include "gui/changes.h"
#include "gui/formdialog.h"

#include <QList>
#include <QTreeWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// What the managers of a list of names (categories, account types) share: the name field Text1
// with its label Label1, the list ListView1 and the buttons Command1 (add), Command2 (rename) and
// Command3 (delete). Ctrl+Z undoes a deletion, and the list refills when another window changes
// the kind of data the names belong to. Each manager makes its list and arranges the controls.
class CategoryDialog : public FormDialog
{
    Q_OBJECT

protected:
    // `kind` is the data the names belong to; `addText` is the caption of Command1.
    CategoryDialog(Changes::Kind kind, const QString& label, const QString& addText, QWidget* parent);

    // Makes ListView1: a report list of one name column beside the hidden id, at least `minimum` large.
    void makeList(const QString& column, int width, const QSize& minimum);
    // The field, the list and a row of buttons under each other (field or list first), or the
    // field above the list with the buttons in a column beside the list.
    enum class Arrangement { FieldFirst, ListFirst, ButtonsBeside };
    // Arranges the controls; ListView1 must be made first. A negative spacing keeps the style's.
    void arrange(Arrangement arrangement, int margin, int spacing = -1);

    // What the buttons do to a list whose hidden column 0 holds the id and column 1 the name.
    struct Actions
    {
        QString missingName;                                             // said when the field is empty
        QString selectToRename = QStringLiteral("请选择要修改的类别！"); // said when no row is selected
        QString selectToDelete = QStringLiteral("请选择要删除的类别！");
        std::function<void(const QString&)> add;
        // False when the row was removed meanwhile (the list is then read again).
        std::function<bool(qint64, const QString&)> rename;
        std::function<Dependants::Named(qint64)> dependants;
        QString deleteQuestion; // %1 the name, %2 how many records depend on it
        std::function<void(qint64)> remove;
        bool clearAfter = false;       // empties the field after an addition and a deletion
        bool clearAfterRename = false; // and after a renaming
        bool pickOnClick = false;      // a row's name goes into the field on a click, not on any selection
    };

    // Connects the list and the buttons to the actions.
    void connectActions(Actions actions);
    // Reads the names into the list.
    virtual void fill() = 0;
    // Fills ListView1 with rows of id and name, in their order.
    template <class Rows>
    void fillList(const Rows& rows)
    {
        ListView1->clear();
        for (const auto& r : rows)
            new QTreeWidgetItem(ListView1, {QString::number(r.id), r.name});
    }
    // Says `message` and puts the focus into the field when it is empty; true when it has a name.
    bool hasName(const QString& name, const QString& message);

    QLabel* Label1;
    QLineEdit* Text1;
    QTreeWidget* ListView1 = nullptr;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;

private:
    void showName(const QTreeWidgetItem* row);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    Changes::Kind kind_;
    Actions actions_;
};
