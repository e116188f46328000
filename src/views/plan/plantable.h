#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// A range of rows of one column shown as a single merged cell.
struct PlanRun
{
    int column; // 1 to 6, as in the grid
    int first;  // data rows, 0 for the first row below the header
    int last;
};

// What a planning grid shows and exports: six columns of text per row below the header (grid
// columns 1 to 6; column 0 is a blank margin), the task state colouring column 4, and the
// merged ranges of the grid and of the sheet.
struct PlanTable
{
    QStringList headers;
    QList<QStringList> rows;
    QList<int> states;
    QList<PlanRun> gridRuns;
    QList<PlanRun> sheetRuns;
    // Columns (1 to 6) that show days ("2009-1-31") and times of day ("8:30:00"); the sheet
    // makes date and time cells of them, other texts there stay text.
    QList<int> dayColumns;
    QList<int> timeColumns;
};

namespace PlanGrid {
// The grid column of the task name, coloured by the task's state.
constexpr int kTaskColumn = 4;

// Appends to `runs` one run for each stretch of two or more neighbouring rows of the `count`
// that `same(a, b)` finds alike. Runs of one column never overlap.
template <class Same>
void addRuns(QList<PlanRun>& runs, int column, int count, Same same)
{
    int start = 0;
    for (int r = 1; r <= count; ++r) {
        if (r < count && same(start, r))
            continue;
        if (r - 1 > start)
            runs.append({column, start, r - 1});
        start = r;
    }
}

// The task name as shown for its state: a completed task gets "√" after it.
QString taskText(const QString& title, int state);
} // namespace PlanGrid

// The grid's model: seven columns, the first a blank margin; the texts, the state colour of the
// task column and tool tips for texts wider than their cells.
class PlanModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit PlanModel(QObject* parent = nullptr);

    void setTable(PlanTable table);
    const PlanTable& table() const { return table_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    PlanTable table_;
};
