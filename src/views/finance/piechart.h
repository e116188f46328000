#pragma once

#include "data/finance.h"

#include <QColor>
#include <QWidget>

// A ring of the totals by category with a legend giving each category's exact amount and
// share. Angles and shares are worked out in integers.
class PieChart : public QWidget
{
    Q_OBJECT

public:
    PieChart(const QString& title, const QList<QColor>& colours, QWidget* parent = nullptr);

    // The totals to draw, largest first; totals that are not above zero are left out.
    void setTotals(const QList<Finance::CategoryTotal>& totals);
    // What the legend says, one line per slice (for tests and tooltips).
    QStringList legend() const;

    QSize sizeHint() const override { return {320, 200}; }
    QSize minimumSizeHint() const override { return {260, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The slices shown: as many as the legend has room for, the rest joined as "其他".
    QList<Finance::CategoryTotal> slices() const;

    QString title_;
    QList<QColor> colours_;
    QList<Finance::CategoryTotal> totals_;
    qint64 sum_ = 0;
};
