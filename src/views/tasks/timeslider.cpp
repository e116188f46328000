#include "views/tasks/timeslider.h"

#include "gui/gui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>

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

TimeSlider::Row TimeSlider::makeRow(QWidget* parent, const QString& upName, const QString& downName)
{
    Row row{};
    row.slider = new QSlider(Qt::Horizontal, parent);
    row.slider->setObjectName(QStringLiteral("Slider1"));
    row.slider->setRange(0, kPositions);
    row.slider->setSingleStep(1);
    row.slider->setPageStep(6);
    row.slider->setTickPosition(QSlider::TicksBelow);
    row.slider->setTickInterval(12);
    row.box = new QLineEdit(parent);
    row.box->setObjectName(QStringLiteral("Text2"));
    row.box->setFixedWidth(row.box->fontMetrics().horizontalAdvance(QStringLiteral("24:00:00")) + 24);
    row.up = new QPushButton(QStringLiteral("∧"), parent);
    row.up->setObjectName(upName);
    row.up->setToolTip(QStringLiteral("加一分钟"));
    row.down = new QPushButton(QStringLiteral("∨"), parent);
    row.down->setObjectName(downName);
    row.down->setToolTip(QStringLiteral("减一分钟"));
    for (QPushButton* b : {row.up, row.down}) {
        b->setFixedWidth(b->sizeHint().height() + 4);
        b->setAutoDefault(false);
    }

    row.layout = new QGridLayout;
    row.layout->setHorizontalSpacing(4);
    row.layout->setVerticalSpacing(0);
    row.layout->addWidget(row.slider, 0, 0);
    row.layout->addWidget(row.box, 0, 1);
    row.layout->addWidget(row.up, 0, 2);
    row.layout->addWidget(row.down, 0, 3);
    row.layout->setColumnStretch(0, 1);
    return row;
}

void TimeSlider::addScale(const Row& row, QWidget* parent)
{
    auto* scale = new QHBoxLayout;
    scale->setContentsMargins(0, 0, 0, 0);
    auto* start = new QLabel(QStringLiteral("0:00"), parent);
    auto* middle = new QLabel(QStringLiteral("12:00"), parent);
    auto* end = new QLabel(QStringLiteral("24:00"), parent);
    middle->setAlignment(Qt::AlignHCenter);
    end->setAlignment(Qt::AlignRight);
    scale->addWidget(start, 1);
    scale->addWidget(middle, 1);
    scale->addWidget(end, 1);
    row.layout->addLayout(scale, 1, 0);
}
