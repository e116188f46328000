#pragma once

#include <QList>
#include <QStringList>

// The statements that create the tables and indexes of a database, and the migrations that
// bring a database made by an older build up to this build's version (PRAGMA user_version).
namespace Schema {
// The tables and indexes of the first version.
const QStringList& mainStatements();
const QStringList& magazineStatements();

// Migration n (counted from 1) takes a database from version n-1 to version n; a new database
// runs them all after mainStatements(). Append only: a migration, once released, never changes.
const QList<QStringList>& mainMigrations();
// The version this build writes: the number of migrations.
int mainVersion();
} // namespace Schema
