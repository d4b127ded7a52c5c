#pragma once
// Start-up of the program: the session, the single-instance, launch-token
// and screen checks, then the main window, which the program lives as long as.
#include <functional>
#include <memory>

class QWidget;

namespace qtmv {

// Creates the main window once the session is ready.
using MainWindowFactory = std::function<std::unique_ptr<QWidget>()>;

// Runs the program; returns the process's exit status.
int Main(int argc, char* argv[], const MainWindowFactory& createMainWindow);

// The narrowest screen the windows are laid out for.
inline constexpr int kMinimumScreenWidth = 1024;

// Exit codes: a start-up that ended after its message, and a machine where
// no window can be opened at all (no display).
inline constexpr int kExitStartupRefused = 1;
inline constexpr int kExitNoDisplay = 2;

} // namespace qtmv
