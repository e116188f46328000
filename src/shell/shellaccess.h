#pragma once

// Installs the shell's answers to what windows below it ask of the frame and the login.
namespace ShellAccess {
void install();
}
