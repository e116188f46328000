// Pictures of the two planning windows on the sample data.

#include "shots.h"

#include "gui/forms.h"
#include "views/plan/frmdate.h"
#include "views/plan/frmguihua.h"

namespace {
const int overview =
    Shots::add(QStringLiteral("plan-overview"), [] { return static_cast<QWidget*>(Forms::show<FrmGuiHua>()); });
const int byDate =
    Shots::add(QStringLiteral("plan-by-date"), [] { return static_cast<QWidget*>(Forms::show<FrmDate>()); });
} // namespace
