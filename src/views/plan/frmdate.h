#pragma once

#include "views/plan/planwindow.h"

// The tasks planned for the days inside a range, in day order, each with its theme, goal, order
// number and time; each day shown once over its tasks.
class FrmDate : public PlanWindow
{
    Q_OBJECT

public:
    explicit FrmDate(QWidget* parent = nullptr);

protected:
    PlanTable load(const QDate& first, const QDate& last) const override;
    QList<double> sheetWidths() const override;
    void filled() override;
};
