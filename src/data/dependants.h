#pragma once

#include <QString>

// What a deletion takes with it beyond the row the user sees, counted before asking.
namespace Dependants {

struct OfTheme
{
    QString name;
    int goals = 0;
    int tasks = 0;
};
// The theme's goals and the tasks its deletion removes (those of the theme or of its goals).
OfTheme ofTheme(qint64 themeId);

// A goal's title and its number of tasks.
struct OfGoal
{
    QString title;
    int tasks = 0;
};
OfGoal ofGoal(qint64 goalId);

struct Named
{
    QString name;
    int count = 0;
};
// A contact's name and number of notes.
Named notesOfContact(qint64 contactId);
// A relation category's name and the contacts filed under it.
Named contactsOfCategory(qint64 categoryId);
// An account type's name and the accounts of that type.
Named accountsOfType(qint64 typeId);
// An income or expense category's name and the records of its kind filed under it.
Named recordsOfCategory(qint64 categoryId);
// An account's name and the records that name it.
Named recordsOfAccount(qint64 accountId);

} // namespace Dependants
