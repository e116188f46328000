#include "views/tasks/timeslider.h"

#include "gui/gui.h"

#include <QRegularExpression>

QString TimeSlider::textAt(int position)
{
    position = std::clamp(position, 0, kPositions);
    if (position == kPositions)
        return QStringLiteral("24:00:00");
    return Gui::time(QTime(0, 0).addSecs(position * 600));
}

int TimeSlider::positionOf(const QTime& time)
{
    if (!time.isValid())
        return 0;
    const qint64 seconds = QTime(0, 0).secsTo(time);
    // Hundredths of the day, rounded half up as the two-decimal format does.
    const qint64 hundredths = (seconds * 200 + 86400) / (2 * 86400);
    const qint64 scaled = hundredths * kPositions; // the position times 100
    qint64 position = scaled / 100;
    const qint64 rest = scaled % 100;
    if (rest > 50 || (rest == 50 && position % 2 == 1))
        ++position;
    return int(std::min<qint64>(position, kPositions));
}

std::optional<QTime> TimeSlider::parse(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int h = m.captured(1).toInt();
    const int min = m.captured(2).toInt();
    const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    if (h == 24 && min == 0 && s == 0)
        return QTime(23, 59, 59);
    const QTime t(h, min, s);
    if (!t.isValid())
        return std::nullopt;
    return t;
}

QString TimeSlider::shifted(const QString& text, int minutes)
{
    const std::optional<QTime> t = parse(text);
    if (!t)
        return text;
    // The end of the day counts as midnight: "24:00:00" plus a minute is 0:01:00.
    const QTime base = (*t == QTime(23, 59, 59) && text.trimmed().startsWith(QLatin1String("24"))) ? QTime(0, 0) : *t;
    return Gui::time(base.addSecs(minutes * 60));
}
