#pragma once

// Pictures for `make screenshots`: each area adds the windows it wants photographed from a file
// of its own (tools/shots_<area>.cpp), with
//
//     static const int registered = Shots::add("goals", [] { ...open the window...; return window; });
//
// The opener runs with the program logged in on the sample data (clock at 2009-1-31 10:15);
// a view is opened in the frame with Shots::view(Views::kX) and the frame is photographed.
// Every picture is taken with the frame at 1024×768 and at 1280×800; windows other than the frame
// are closed after their picture.

#include <QString>
#include <QWidget>
#include <functional>

namespace Shots {
using Opener = std::function<QWidget*()>;

int add(const QString& name, Opener open);
// Shows the named view in the main frame and returns the frame.
QWidget* view(const QString& viewName);
// Lets posted events run (deferred deletes, queued calls, painting).
void settle();
} // namespace Shots
