#include "views/quadrant/reviewchart.h"

#include "gui/helpers.h"
#include "gui/taskstates.h"

#include <QPainter>
#include <QPainterPath>

namespace {
const char* const kShortNames[Quadrant::kCount] = {"重要且紧迫", "重要不紧迫", "紧迫不重要", "不重要不紧迫"};

// The state of the tasks an outcome counts.
Tasks::State stateOf(int outcome)
{
    switch (outcome) {
    case Quadrant::Completed:
        return Tasks::Done;
    case Quadrant::Abandoned:
        return Tasks::Abandoned;
    default:
        return Tasks::Open;
    }
}

// A step of the value axis that gives about four lines up to `top`: 1, 2, 5, 10, 20, 50...
int axisStep(int top)
{
    int step = 1;
    for (int scale = 1;; scale *= 10) {
        for (int m : {1, 2, 5}) {
            step = m * scale;
            if (top <= step * 4)
                return step;
        }
    }
}
} // namespace

ReviewChart::ReviewChart(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void ReviewChart::setReview(const Quadrant::Review& review)
{
    review_ = review;
    update();
}

QString ReviewChart::outcomeName(int outcome)
{
    return TaskStates::of(stateOf(outcome)).shortWord;
}

QColor ReviewChart::outcomeColour(int outcome)
{
    // Tasks left open are drawn in the grey of what is still to come.
    const Tasks::State state = stateOf(outcome);
    return state == Tasks::Open ? StateColour::kPlanned : TaskStates::of(state).colour;
}

void ReviewChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics fm(font());
    const int line = fm.height();

    // Legend along the top.
    int x = 12;
    const int legendY = 8;
    for (int o = 0; o < Quadrant::kOutcomes; ++o) {
        const QString name = outcomeName(o);
        p.fillRect(QRect(x, legendY + (line - 10) / 2, 10, 10), outcomeColour(o));
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(x + 14, legendY, fm.horizontalAdvance(name) + 2, line), Qt::AlignVCenter, name);
        x += 14 + fm.horizontalAdvance(name) + 18;
    }

    int highest = 0;
    for (const auto& row : review_.counts)
        highest = std::max(highest, row[0] + row[1] + row[2]);
    const int step = axisStep(std::max(highest, 1));
    const int top = step * ((std::max(highest, 1) + step - 1) / step);

    const int axisWidth = fm.horizontalAdvance(QString::number(top)) + 8;
    const QRect plot(12 + axisWidth, legendY + line + 10, width() - 24 - axisWidth,
                     height() - (legendY + line + 10) - line - 12);
    if (plot.width() < 40 || plot.height() < 30)
        return;

    // Value lines and their numbers.
    p.setPen(QColor(0xe1, 0xe5, 0xea));
    for (int v = 0; v <= top; v += step) {
        const int y = plot.bottom() - int(qint64(plot.height()) * v / top);
        p.setPen(QColor(0xe1, 0xe5, 0xea));
        p.drawLine(plot.left(), y, plot.right(), y);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(12, y - line / 2, axisWidth - 6, line), Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }

    // One stacked bar per quadrant, its name below it and its total above it.
    const int slot = plot.width() / Quadrant::kCount;
    const int barWidth = std::min(slot * 3 / 5, 90);
    for (int q = 0; q < Quadrant::kCount; ++q) {
        const int left = plot.left() + slot * q + (slot - barWidth) / 2;
        int sum = 0;
        for (int o = 0; o < Quadrant::kOutcomes; ++o) {
            const int n = review_.counts[size_t(q)][size_t(o)];
            if (n == 0)
                continue;
            const int y0 = plot.bottom() - int(qint64(plot.height()) * sum / top);
            const int y1 = plot.bottom() - int(qint64(plot.height()) * (sum + n) / top);
            const QRect piece(left, y1, barWidth, y0 - y1);
            p.fillRect(piece, outcomeColour(o));
            if (piece.height() >= line) {
                p.setPen(Qt::white);
                p.drawText(piece, Qt::AlignCenter, QString::number(n));
            }
            sum += n;
        }
        p.setPen(palette().color(QPalette::WindowText));
        if (sum > 0) {
            const int y = plot.bottom() - int(qint64(plot.height()) * sum / top);
            p.drawText(QRect(left - 10, y - line - 2, barWidth + 20, line), Qt::AlignCenter, QString::number(sum));
        }
        p.drawText(QRect(plot.left() + slot * q, plot.bottom() + 4, slot, line), Qt::AlignCenter,
                   QString::fromUtf8(kShortNames[q]));
    }
    p.setPen(QColor(0x8a, 0x94, 0x9e));
    p.drawLine(plot.left(), plot.bottom(), plot.right(), plot.bottom());
}
