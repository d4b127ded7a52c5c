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

} // namespace qtmv
