#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Personal finance: accounts (zhanghao) with their balances, income, expense and transfer
// records (shouzhi), account types (zhanghaotype) and income and expense categories
// (shouzhitype). Records name their account and category by name. Amounts are integers of
// ten-thousandths of a yuan (see Money). A balance is held in its account row and moved in the
// same transaction as the record that moves it. Every function throws Db::Error when the
// database fails.
namespace Finance {

// Record kinds (shouzhi.shouzhi) and category kinds (shouzhitype.shouzhi).
enum Kind { Income = 0, Expense = 1, Transfer = 3 };

inline const QString kTransferOut = QStringLiteral("转帐支出");
inline const QString kTransferIn = QStringLiteral("转帐收入");

struct Account
{
    qint64 id = 0;
    QString name;
    QString category;  // account type name
    qint64 amount = 0; // balance
    QDate day;         // opening day
    QString number;    // of the account at the bank
    QString note;
};

struct Record
{
    qint64 id = 0;
    Kind kind = Income;
    QString reason;   // what it was for
    QString category; // category name
    QString account;  // account name
    qint64 amount = 0;
    QDate day;
    QString note;
};

// An account type or an income or expense category.
struct Category
{
    qint64 id = 0;
    QString name;
};

// ---- Accounts

QList<Account> accounts(); // table order
std::optional<Account> account(qint64 id);
// Adds the account; its amount is the opening balance. Empty when another account already has
// that name (records find their account by name).
std::optional<qint64> addAccount(const Account& account);
enum class AccountSaved { Saved, NameTaken, Missing };
// Writes the fields of the account; a changed amount is a correction of the balance. A new
// name is carried into the account's records in the same transaction. With `shown` (what the
// form showed before the user edited it), a field the user left as shown keeps its stored value,
// so that a balance moved meanwhile by a record or a transfer is never written back.
AccountSaved updateAccount(const Account& account, const std::optional<Account>& shown = std::nullopt);
// Removes the account; records naming it stay.
void removeAccount(qint64 id);

// ---- Income and expense records

// The records of the kind from `since` on, newest first. With `inclusive` false a record of the
// day `since` itself is left out.
QList<Record> recent(Kind kind, const QDate& since, bool inclusive);
std::optional<Record> record(qint64 id);
// Adds an income or expense record and moves its account's balance: up by an income, down by an
// expense. Returns the new record's id.
qint64 addRecord(const Record& record);
// Rewrites the income or expense record `record.id` (of kind `kind`): the stored amount goes
// back to the stored account, then the new amount moves the new account. False when no such
// record is stored. With `shown`, a field left as shown keeps its stored value.
bool updateRecord(Kind kind, const Record& record, const std::optional<Record>& shown = std::nullopt);
// Deletes the income or expense record and gives its stored amount back to its account. False
// when no such record is stored.
bool removeRecord(Kind kind, qint64 id);

// ---- Report

struct CategoryTotal
{
    QString name;
    qint64 total = 0;
};

struct ReportSide
{
    QList<Record> rows;              // newest first
    QList<CategoryTotal> byCategory; // largest first
    qint64 total = 0;
};

// The records of the kind in the categories named, dated from `from` to `to` inclusive, with
// their sums by category and in all, summed by the database. No category: an empty side.
ReportSide report(Kind kind, const QStringList& categories, const QDate& from, const QDate& to);

// ---- Account types and categories

QList<Category> accountTypes(); // table order
qint64 addAccountType(const QString& name);
// Renames the type and every account of the type, in one transaction. False when no such type.
bool renameAccountType(qint64 id, const QString& name);
// Removes the type; accounts of the type keep its name.
void removeAccountType(qint64 id);

QList<Category> categories(Kind kind); // table order; kind Income or Expense
// Adds a category of kind Income or Expense (any other kind throws Db::Error).
qint64 addCategory(Kind kind, const QString& name);
// Renames the category and carries its records (of its kind) along, in one transaction.
void renameCategory(qint64 id, const QString& name);
void removeCategory(qint64 id);

// ---- Transfers

enum class TransferResult { Done, SameAccount, NotEnough, Missing };
// Moves the amount from one account to the other: two transfer records dated `day` (the
// outgoing leg negative) and both balances, in one transaction. Refused when both are the
// same account, when the source holds less than the amount, or when an account is gone.
TransferResult transfer(qint64 fromId, qint64 toId, qint64 amount, const QDate& day);
// The transfer records dated from `from` to `to`, newest first, each transfer's outgoing leg
// before its incoming leg.
QList<Record> transfers(const QDate& from, const QDate& to);

} // namespace Finance
