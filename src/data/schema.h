#pragma once

#include <QStringList>

// The statements that create the tables and indexes of a new database.
namespace Schema {
const QStringList& mainStatements();
const QStringList& magazineStatements();
} // namespace Schema
