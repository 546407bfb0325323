#pragma once
// What the automation switches decide at start, before any window exists: registration ends
// the run, the server needs no display, and a second start with a script hands it to the
// window already running.
#include <QString>

#include <optional>

namespace marlix {

struct WindowOptions;

// Before the application object exists: with an automation switch (or --help) on the command
// line, Qt draws offscreen (unless QT_QPA_PLATFORM says otherwise), so that the server started
// by the bus and a registration from a terminal run without a display.
void PrepareWindowlessPlatform(int argc, char** argv);

// RegServer and UnregServer: does the work in the user's XDG data home, prints one line per
// file, and returns the exit status. Nothing for any other command line.
std::optional<int> RunRegistrationSwitch(const WindowOptions& options);

// A command line with only a script and a window serving org.marlix.Marlix.Window on the
// session bus: the window opens the script, true. False when there is no such window (or the
// command line asks for more), and this start opens its own window.
bool HandToRunningWindow(const WindowOptions& options);
bool HandToRunningWindow(const QString& script);

} // namespace marlix
