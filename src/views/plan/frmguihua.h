#pragma once

#include "views/plan/planwindow.h"

// "事务规划一览表": for a range of goal deadlines, every theme with its goals and each goal's
// tasks, one row per task; equal theme and goal cells shown merged.
class FrmGuiHua : public PlanWindow
{
    Q_OBJECT

public:
    explicit FrmGuiHua(QWidget* parent = nullptr);

protected:
    PlanTable load(const QDate& first, const QDate& last) const override;
    QList<double> sheetWidths() const override;
};
