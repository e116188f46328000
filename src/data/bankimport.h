#pragma once

#include "data/statement.h"

#include <QList>
#include <QString>
#include <optional>

// Bank statements into an account: which entries are already there, the category each gets,
// and the import of the chosen ones as income and expense records that move the balance, all in
// one transaction. Every function throws Db::Error when the database fails.
namespace BankImport {

struct Row
{
    Statement::Entry entry;
    bool duplicate = false; // already in the account
    QString category;       // the category it gets
    bool ticked = true;     // to be imported
};

// The entries as they would go into the account named: duplicates marked and unticked (an OFX
// entry by its FITID, others by day, exact amount and payee, each stored record matching one
// entry), categories from the payee's last record of the kind, else the kind's first category.
QList<Row> preview(const QString& account, const QList<Statement::Entry>& entries);

struct Summary
{
    int incomes = 0;
    qint64 incomeTotal = 0;
    int expenses = 0;
    qint64 expenseTotal = 0;
    int skipped = 0; // duplicates and rows left unticked
};

// Writes the ticked rows that are not duplicates into the account (checked again inside the
// transaction) and moves its balance once by their sum.
Summary import(const QString& account, const QList<Row>& rows);
// "导入 48 笔：收入 5 笔 3,200.00 元，支出 43 笔 2,871.35 元，跳过重复 12 笔"
QString summaryText(const Summary& summary);
// An amount with thousands separators and two decimals (more when it has them): 3,200.00.
QString groupedAmount(qint64 amount);

// The account whose number (haoma) is the one given, ignoring spaces; empty when none or more.
std::optional<qint64> accountByNumber(const QString& number);

// The CSV column mapping remembered for the account, as CsvMapping::toText; empty when none.
QString mapping(qint64 accountId);
void setMapping(qint64 accountId, const QString& mapping);

} // namespace BankImport
