#pragma once

#include "data/quadrant.h"
#include "gui/views.h"

#include <QDate>
#include <QWidget>
#include <array>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
namespace Gui {
class DropList;
}
class ReviewChart;

// The four-quadrant board of open tasks, where a task moves to another quadrant by a drag or
// Ctrl+1..4, and the weekly review of what became of each quadrant's tasks.
class FrmQuadrant : public QWidget, public TaskSelection
{
    Q_OBJECT

public:
    explicit FrmQuadrant(QWidget* parent = nullptr);

    void Form_Load();

    // Refills the four lists for the chosen range and theme.
    void QList_Fill();
    // Refills the review of the week shown.
    void ReviewShow();

    // The task selected on the board; 0 when none.
    qint64 selectedTaskId() const override;
    // Monday of the week the review shows.
    QDate reviewWeek() const { return week_; }
    // At most this many rows are listed per quadrant; the title counts them all.
    static constexpr int kRowCap = 300;

private:
    void buildControls();
    QWidget* buildBoard();
    QWidget* buildReview();
    void fillThemes();

    void Combo1_Click();
    void Combo2_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void List_SelectionChanged(int quadrant);
    void List_DblClick();
    // Moves the selected task to the quadrant (a drop on its list or Ctrl+1..4).
    void moveSelectedTo(int quadrant);

    QTabWidget* SSTab1;
    QComboBox* Combo1;
    QComboBox* Combo2;
    std::array<QGroupBox*, Quadrant::kCount> frames_{};
    std::array<Gui::DropList*, Quadrant::kCount> lists_{};
    std::array<QAction*, Quadrant::kCount> moves_{};

    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QLabel* LabelWeek;
    QTreeWidget* ListReview;
    ReviewChart* ChartReview;
    QLabel* LabelReview;

    // The list whose row is selected (one list at a time); -1 when none.
    int active_ = -1;
    QDate week_;
};
