// Pictures of the finance view's tabs and its dialogs.

#include "shots.h"

#include "gui/forms.h"
#include "gui/views.h"
#include "views/finance/dlogszlb.h"
#include "views/finance/dlogzhlb.h"
#include "views/finance/dlogzhuanzhang.h"
#include "views/finance/frmcw.h"

#include <QDateEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace {
QWidget* financeTab(int index)
{
    QWidget* frame = Shots::view(Views::kFinance);
    if (auto* view = Forms::find<Frmcw>()) {
        if (index == Frmcw::ReportTab) {
            // The sample's records of the last two months.
            view->findChild<QDateEdit*>(QStringLiteral("DTPicker4"))->setDate(QDate(2008, 12, 1));
            view->findChild<QPushButton*>(QStringLiteral("Command10"))->click();
        }
        view->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(index);
        if (index != Frmcw::ReportTab) {
            const QString list = QStringLiteral("ListView%1").arg(index);
            if (auto* rows = view->findChild<QTreeWidget*>(list); rows && rows->topLevelItemCount() > 0)
                rows->setCurrentItem(rows->topLevelItem(0));
        }
    }
    Shots::settle();
    return frame;
}

const int report = Shots::add(QStringLiteral("finance-report"), [] { return financeTab(Frmcw::ReportTab); });
const int accounts = Shots::add(QStringLiteral("finance-accounts"), [] { return financeTab(Frmcw::AccountsTab); });
const int income = Shots::add(QStringLiteral("finance-income"), [] { return financeTab(Frmcw::IncomeTab); });
const int expense = Shots::add(QStringLiteral("finance-expense"), [] { return financeTab(Frmcw::ExpenseTab); });
const int types = Shots::add(QStringLiteral("finance-account-types"), [] {
    Shots::view(Views::kFinance);
    return static_cast<QWidget*>(Forms::show<Dlogzhlb>());
});
const int categories = Shots::add(QStringLiteral("finance-categories"), [] {
    Shots::view(Views::kFinance);
    return static_cast<QWidget*>(Dlogszlb::showFor(Finance::Expense));
});
const int transfer = Shots::add(QStringLiteral("finance-transfer"), [] {
    Shots::view(Views::kFinance);
    return static_cast<QWidget*>(Forms::show<Dlogzhuanzhang>());
});
} // namespace
