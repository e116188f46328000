#pragma once

// Installs the shell's answers to what windows below it ask of the frame and the login, and
// connects the reminder service to the windows that show reminders (once per process).
namespace ShellAccess {
void install();
}
