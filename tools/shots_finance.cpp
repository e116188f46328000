// Pictures of the finance view's tabs and its dialogs.

#include "shots.h"

#include "gui/forms.h"
#include "gui/shell.h"
#include "gui/views.h"
#include "views/finance/dlogimport.h"
#include "views/finance/dlogszlb.h"
#include "views/finance/dlogzhlb.h"
#include "views/finance/dlogzhuanzhang.h"
#include "views/finance/frmcw.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
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
// The import dialog with a statement of the sample's days read into its preview.
QWidget* importDialog(const QString& name, const QByteArray& bytes)
{
    Shots::view(Views::kFinance);
    const QString path = QDir::temp().filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    f.close();
    auto* dialog = Forms::show<DlogImport>();
    Shell::setOpenFileNameHook([path](const QString&) { return path; });
    dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    Shell::setOpenFileNameHook({});
    if (auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
        list && list->topLevelItemCount() > 1)
        list->setCurrentItem(list->topLevelItem(1));
    Shots::settle();
    return dialog;
}

const int importCsv = Shots::add(QStringLiteral("finance-import-csv"), [] {
    return importDialog(QStringLiteral("vantorel-shot-statement.csv"),
                        QStringLiteral("交易日期,对方户名,支出,收入,备注\r\n"
                                       "2009-01-05,华联超市,\"1,234.56\",,日用品\r\n"
                                       "2009-01-10,北京某某科技有限公司,,8000.00,一月工资\r\n"
                                       "2009-01-12,中国移动,100.00,,话费\r\n"
                                       "2009-01-18,星巴克,32.00,,\r\n"
                                       "2009-01-20,房东王先生,2500.00,,二月房租\r\n")
                            .toUtf8());
});
const int importOfx = Shots::add(QStringLiteral("finance-import-ofx"), [] {
    return importDialog(QStringLiteral("vantorel-shot-statement.ofx"),
                        "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n\r\n<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS>"
                        "<BANKACCTFROM><ACCTID>6222020012345678</BANKACCTFROM><BANKTRANLIST>\r\n"
                        "<STMTTRN><DTPOSTED>20090105<TRNAMT>-1234.56<FITID>1<NAME>Supermarket</STMTTRN>\r\n"
                        "<STMTTRN><DTPOSTED>20090110<TRNAMT>8000.00<FITID>2<NAME>Salary</STMTTRN>\r\n"
                        "<STMTTRN><DTPOSTED>20090118<TRNAMT>-32.00<FITID>3<NAME>Coffee<MEMO>card 1234</STMTTRN>\r\n"
                        "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>\r\n");
});
} // namespace
