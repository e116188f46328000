#include "gui/appinfo.h"

QString AppInfo::sitePage(const QString& path)
{
    return kSite + path;
}
