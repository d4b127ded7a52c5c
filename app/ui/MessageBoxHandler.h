#pragma once
// Message boxes as real dialogs. Start-up installs this once; with the
// environment variable QTMV_MESSAGES=stderr the messages are written to
// stderr instead and answered without waiting (unattended runs).
namespace qtmv {

void InstallMessageBoxHandler();

} // namespace qtmv
