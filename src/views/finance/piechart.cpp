#include "views/finance/piechart.h"

#include "data/money.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {
constexpr int kFullCircle = 360 * 16; // QPainter angles are sixteenths of a degree

// part / whole scaled to `scale`, rounded down, without overflow.
qint64 share(qint64 part, qint64 whole, qint64 scale)
{
    return whole <= 0 ? 0 : qint64(static_cast<__int128>(part) * scale / whole);
}

QString percentText(qint64 tenths)
{
    return QStringLiteral("%1.%2%").arg(tenths / 10).arg(tenths % 10);
}

// Each total's share in tenths of a percent, rounded so that the shares add up to exactly 100.0%:
// every share is rounded down, and the tenths left over go to the largest remainders.
QStringList percents(const QList<Finance::CategoryTotal>& totals, qint64 sum)
{
    QList<qint64> tenths;
    QList<std::pair<qint64, int>> remainders; // remainder (in units of 1/sum of a tenth), index
    qint64 given = 0;
    for (int i = 0; i < totals.size(); ++i) {
        const qint64 t = share(totals[i].total, sum, 1000);
        const __int128 exact = static_cast<__int128>(totals[i].total) * 1000;
        remainders.append({qint64(exact - static_cast<__int128>(t) * sum), i});
        tenths << t;
        given += t;
    }
    std::stable_sort(remainders.begin(), remainders.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (qint64 left = sum > 0 ? 1000 - given : 0, k = 0; left > 0 && k < remainders.size(); --left, ++k)
        ++tenths[remainders[k].second];
    QStringList texts;
    for (qint64 t : tenths)
        texts << percentText(t);
    return texts;
}
} // namespace

PieChart::PieChart(const QString& title, const QList<QColor>& colours, QWidget* parent)
    : QWidget(parent), title_(title), colours_(colours)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PieChart::setTotals(const QList<Finance::CategoryTotal>& totals)
{
    totals_.clear();
    sum_ = 0;
    for (const Finance::CategoryTotal& t : totals) {
        if (t.total > 0) {
            totals_ << t;
            sum_ += t.total;
        }
    }
    setToolTip(legend().join(QLatin1Char('\n')));
    update();
}

QList<Finance::CategoryTotal> PieChart::slices() const
{
    const int lineHeight = fontMetrics().height() + 2;
    const int room = std::max(1, (height() - lineHeight - 8) / lineHeight);
    if (totals_.size() <= room)
        return totals_;
    QList<Finance::CategoryTotal> shown = totals_.mid(0, room - 1);
    Finance::CategoryTotal rest{QStringLiteral("其他"), 0};
    for (qsizetype i = room - 1; i < totals_.size(); ++i)
        rest.total += totals_[i].total;
    shown << rest;
    return shown;
}

QStringList PieChart::legend() const
{
    QStringList lines;
    const QStringList shares = percents(totals_, sum_);
    for (int i = 0; i < totals_.size(); ++i)
        lines << QStringLiteral("%1 %2 (%3)").arg(totals_[i].name, Money::format(totals_[i].total), shares[i]);
    return lines;
}

void PieChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    p.setPen(palette().mid().color());
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    const QFontMetrics fm = fontMetrics();
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(palette().text().color());
    const QRect titleRect(8, 4, width() - 16, fm.height() + 4);
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, sum_ == 0 ? title_ + QStringLiteral("（无记录）") : title_);
    p.setFont(font());
    if (sum_ == 0)
        return;

    const QList<Finance::CategoryTotal> shown = slices();
    const int top = titleRect.bottom() + 6;
    const int diameter = std::max(40, std::min(height() - top - 8, width() * 2 / 5));
    const QRect ring(8, top + (height() - top - 8 - diameter) / 2, diameter, diameter);

    // Slices clockwise from twelve o'clock; the last one closes the circle exactly.
    int start = 90 * 16;
    qint64 before = 0;
    // Each slice its own colour; the joined rest is grey.
    auto colour = [&](int i) {
        const bool rest = shown.size() < totals_.size() && i == shown.size() - 1;
        return rest || colours_.isEmpty() ? QColor(0x9e, 0x9e, 0x9e) : colours_[i % colours_.size()];
    };
    for (int i = 0; i < shown.size(); ++i) {
        const qint64 after = before + shown[i].total;
        const int span = int(share(after, sum_, kFullCircle) - share(before, sum_, kFullCircle));
        p.setPen(QPen(palette().base().color(), 1.5));
        p.setBrush(colour(i));
        p.drawPie(ring, start, -span);
        start -= span;
        before = after;
    }
    // The hole of the ring, with the sum inside.
    const int hole = diameter * 45 / 100;
    const QRect centre(ring.center().x() - hole / 2, ring.center().y() - hole / 2, hole, hole);
    p.setPen(Qt::NoPen);
    p.setBrush(palette().base());
    p.drawEllipse(centre);
    p.setPen(palette().text().color());
    p.drawText(centre.adjusted(-20, 0, 20, 0), Qt::AlignCenter, Money::format(sum_));

    // Legend.
    const int lineHeight = fm.height() + 2;
    int y = top + std::max(0, (height() - top - 8 - lineHeight * int(shown.size())) / 2);
    const int x = ring.right() + 14;
    const QStringList shares = percents(shown, sum_);
    for (int i = 0; i < shown.size(); ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour(i));
        p.drawRect(x, y + (lineHeight - 10) / 2, 10, 10);
        p.setPen(palette().text().color());
        const QString text = QStringLiteral("%1  %2  %3").arg(shown[i].name, Money::format(shown[i].total), shares[i]);
        p.drawText(QRect(x + 16, y, width() - x - 20, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(text, Qt::ElideRight, width() - x - 20));
        y += lineHeight;
    }
}
