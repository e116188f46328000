#include "gui/appstate.h"

#include "data/db.h"

#include <QDir>
#include <QFileInfo>

QString& Module1::ConnString = Db::path();
bool Module1::ShowSelectedTask = false;

QString Module1::programFile(const QString& name)
{
    return QFileInfo(ConnString).absoluteDir().filePath(name);
}
