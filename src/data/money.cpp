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
    // Written backwards into a buffer: lists show thousands of amounts at a time.
    const bool negative = amount < 0;
    // The magnitude as unsigned, so that even the most negative value has one.
    quint64 magnitude = negative ? quint64(0) - quint64(amount) : quint64(amount);
    char16_t buffer[32];
    int at = 32;
    quint64 fraction = magnitude % quint64(kScale);
    magnitude /= quint64(kScale);
    if (fraction != 0) {
        int places = 4;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --places;
        }
        for (int i = 0; i < places; ++i) {
            buffer[--at] = char16_t(u'0' + fraction % 10);
            fraction /= 10;
        }
        buffer[--at] = u'.';
    }
    do {
        buffer[--at] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        buffer[--at] = u'-';
    return QString(reinterpret_cast<const QChar*>(buffer + at), 32 - at);
}
