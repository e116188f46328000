#pragma once

#include <QByteArray>

// The reminder sound, synthesised: a soft two-note bell, as a complete WAV file.
namespace Chime {
QByteArray wav();
} // namespace Chime
