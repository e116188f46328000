#pragma once

#include "gui/windowdrag.h"

#include "views/plan/plantable.h"

#include <QDate>
#include <QPoint>
#include <QWidget>

class ClickableImage;
class QDateEdit;
class QLabel;
class QPushButton;
class QSvgRenderer;
class QTableView;

// The design the two planning grids share: a borderless window with a background picture, a
// close picture `Image1`, dragged by its body; a date range (`DTP1`, `DTP2`), "统计" to refill the
// grid `MSHFlexGrid1`, the colour legend, and "导出到EXCEL表格" to save the grid as a workbook.
class PlanWindow : public QWidget
{
    Q_OBJECT

public:
    // Fills the grid for the default range (today minus and plus 30 days).
    void Form_Load();
    // Refills the grid for the range of the date pickers.
    void fill();

    const PlanTable& table() const;

protected:
    PlanWindow(const QString& caption, QWidget* parent);

    // The rows for the range; throws Db::Error.
    virtual PlanTable load(const QDate& first, const QDate& last) const = 0;
    // Sheet column widths in characters, for columns 1 to 6.
    virtual QList<double> sheetWidths() const = 0;
    // After a fill, with the rows shown.
    virtual void filled() {}

    QTableView* grid() const { return MSHFlexGrid1; }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Command1_Click();
    void Command2_Click();
    void Image1_Click();

    QString caption_;
    QDateEdit* DTP1;
    QDateEdit* DTP2;
    QPushButton* Command1;
    QPushButton* Command2;
    QTableView* MSHFlexGrid1;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    ClickableImage* Image1;
    PlanModel* model_;
    QSvgRenderer* background_;

    // Dragged by its body.
    WindowDrag drag_{this};
};
