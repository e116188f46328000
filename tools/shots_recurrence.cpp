// Pictures of the add-task dialog with its repeat row: weekly with two days and an end day, and
// every few days.

#include "shots.h"

#include "views/tasks/dlogaddrw.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QSpinBox>

namespace {
QWidget* recurringAdd(const QString& repeat)
{
    dlogaddrw* d = dlogaddrw::showShared();
    if (!d)
        return nullptr;
    d->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("晨跑三公里"));
    d->findChild<QCheckBox*>(QStringLiteral("Check2"))->setChecked(false);
    d->findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(false);
    d->findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("06:30:00"));
    auto* kind = d->findChild<QComboBox*>(QStringLiteral("Combo3"));
    kind->setCurrentIndex(kind->findText(QStringLiteral("经常性")));
    auto* combo = d->findChild<QComboBox*>(QStringLiteral("ComboRepeat"));
    combo->setCurrentIndex(combo->findText(repeat));
    return d;
}

const int weekly = Shots::add(QStringLiteral("recurrence-weekly"), [] {
    QWidget* d = recurringAdd(QStringLiteral("每周"));
    if (d) {
        d->findChild<QCheckBox*>(QStringLiteral("CheckW4"))->setChecked(true);
        d->findChild<QCheckBox*>(QStringLiteral("CheckUntil"))->setChecked(true);
        d->findChild<QDateEdit*>(QStringLiteral("DTPUntil"))->setDate(QDate(2009, 6, 30));
    }
    return d;
});
const int everyFew = Shots::add(QStringLiteral("recurrence-every"), [] {
    QWidget* d = recurringAdd(QStringLiteral("每隔几天"));
    if (d)
        d->findChild<QSpinBox*>(QStringLiteral("SpinEvery"))->setValue(3);
    return d;
});
} // namespace
