#pragma once

#include "data/quadrant.h"

#include <QWidget>

// The week's outcome as stacked bars: one bar per quadrant, completed, abandoned and left open
// stacked from the bottom, with a value axis and a legend.
class ReviewChart : public QWidget
{
    Q_OBJECT

public:
    explicit ReviewChart(QWidget* parent = nullptr);

    void setReview(const Quadrant::Review& review);
    const Quadrant::Review& review() const { return review_; }

    // Names and colours of the outcomes, shared with the table's legend.
    static QString outcomeName(int outcome);
    static QColor outcomeColour(int outcome);

    QSize sizeHint() const override { return {420, 240}; }
    QSize minimumSizeHint() const override { return {260, 160}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Quadrant::Review review_;
};
