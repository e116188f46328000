#include "views/today/frmmain.h"

#include "app/clock.h"

Frmmain::Frmmain(QWidget* parent) : QWidget(parent) {}
void Frmmain::RwList(bool) {}
void Frmmain::Lsv2Show() {}
void Frmmain::Lsv3Show() {}
qint64 Frmmain::selectedTaskId() const { return 0; }
QDate Frmmain::calendarDate() const { return Clock::today(); }
QString Frmmain::statementTab() const { return QStringLiteral("警句"); }
