#pragma once
// Start-up builds the main window through this function, so it needs only
// QMainWindow and not the window's own header.
#include <QMainWindow>
#include <memory>

std::unique_ptr<QMainWindow> CreateMainWindow();
