#pragma once

#include <QDate>
#include <QIcon>
#include <QList>
#include <QString>
#include <QTime>

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// Small pieces every window uses: sizes, shown forms of days and times, report lists.
namespace Gui {

// A width given in twips, or in hundredths of a millimetre, in pixels.
constexpr int twips(int t)
{
    return t / 15;
}
constexpr int hundredthsMm(int h)
{
    return h * 96 / 2540;
}

// Days as "2009-1-31", times of day as "8:30:00".
QString day(const QDate& d);
QString time(const QTime& t);

// The quadrant image (1 important and urgent, 2 ordinary and urgent, 3 important and normal,
// 4 ordinary and normal) and its icon.
int quadrantImage(int zhongyao, int jinpo);
QIcon quadrantIcon(int image);
// What the quadrant image means, for its tool tip ("重要且紧迫", ...).
QString quadrantTip(int image);

struct Column
{
    QString header;
    int width; // pixels
};

// A report list: one row per record, a hidden first column holding the record's id, the given
// visible columns after it, whole-row single selection.
QTreeWidget* reportList(QWidget* parent, const QString& objectName, const QList<Column>& columns);
// Gives an existing list the looks and columns of a report list.
void shapeReportList(QTreeWidget* list, const QString& objectName, const QList<Column>& columns);
// The id in the row's hidden first column; 0 for no row.
qint64 rowId(const QTreeWidgetItem* row);
// The list's selected row, or null.
QTreeWidgetItem* selectedRow(const QTreeWidget* list);
// The id of the list's selected row; 0 when none.
qint64 selectedId(const QTreeWidget* list);
// Selects (and shows selected) the list's first row, when it has one.
void selectFirst(QTreeWidget* list);
// The top-level row whose id is `id`, or null.
QTreeWidgetItem* rowWithId(const QTreeWidget* list, qint64 id);
// Deletes the row of a deleted record and leaves nothing selected, without selection signals: no
// other record is picked for the user, so a second click cannot delete it unseen.
void dropRow(QTreeWidget* list, QTreeWidgetItem* row);

} // namespace Gui
