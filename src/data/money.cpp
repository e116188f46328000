#include "data/money.h"

std::optional<qint64> Money::parse(const QString& text, Sign sign)
{
    QStringView s(text);
    bool negative = false;
    if (sign == Sign::Any && s.startsWith(QLatin1Char('-'))) {
        negative = true;
        s = s.mid(1);
    }
    const qsizetype point = s.indexOf(QLatin1Char('.'));
    const QStringView whole = point < 0 ? s : s.left(point);
    QStringView fraction = point < 0 ? QStringView() : s.mid(point + 1);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt; // "", "." and "-"
    auto digitsOnly = [](QStringView part) {
        for (QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
        return true;
    };
    if (!digitsOnly(whole) || !digitsOnly(fraction))
        return std::nullopt; // a second point, a sign in the middle, a separator
    while (fraction.size() > 4 && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (fraction.size() > 4)
        return std::nullopt; // finer than a ten-thousandth: not an amount we can hold exactly

    qint64 value = 0;
    for (QChar c : whole) {
        value = value * 10 + (c.unicode() - '0');
        if (value > kMaximum / kScale)
            return std::nullopt;
    }
    qint64 tenThousandths = 0;
    for (int i = 0; i < 4; ++i)
        tenThousandths = tenThousandths * 10 + (i < fraction.size() ? fraction[i].unicode() - '0' : 0);
    value = value * kScale + tenThousandths;
    return negative ? -value : value;
}

QString Money::format(qint64 amount)
{
    const bool negative = amount < 0;
    // The magnitude as unsigned, so that even the most negative value has one.
    const quint64 magnitude = negative ? quint64(0) - quint64(amount) : quint64(amount);
    QString text = QString::number(magnitude / kScale);
    quint64 fraction = magnitude % kScale;
    if (fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += QLatin1Char('.') + digits;
    }
    return negative ? QLatin1Char('-') + text : text;
}
