#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QTreeWidget;
class QWidget;

// Controls the knowledge windows share.
namespace KnowledgeUi {

// A list of category names: each row's text is the name (there is no hidden key column).
QTreeWidget* categoryList(QWidget* parent, const QString& objectName);
// Fills the list with the names, selecting the row named `selected` when there is one.
void fillCategoryList(QTreeWidget* list, const QStringList& names, const QString& selected = QString());
// The name in the list's selected row; empty when none.
QString selectedName(const QTreeWidget* list);

// An editable category box: the user picks a category or types a new one.
QComboBox* categoryBox(QWidget* parent, const QString& objectName);
// Fills the box with `first` as its first entry (when not empty), then the other names in
// order, and shows the first entry.
void fillCategoryBox(QComboBox* box, const QString& first, const QStringList& names);

} // namespace KnowledgeUi
