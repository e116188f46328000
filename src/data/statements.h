#pragma once

#include <QList>
#include <QString>
#include <optional>

// Mottos and mission statements (table mengxiang).
namespace Statements {

enum Kind { Mission = 0, Motto = 1 };

struct Item
{
    qint64 id = 0;
    QString title;
};

QList<Item> of(Kind kind);
void add(const QString& title, Kind kind);
void remove(qint64 id);

} // namespace Statements
