#pragma once
// The names Marlix uses on the session bus and in the desktop's files.
namespace marlix::automation {

// The automation server (started by the bus through the service file) and the running window
// that a second start hands its script to. Both serve the same object and interface.
inline constexpr char kServerService[] = "org.marlix.Marlix";
inline constexpr char kWindowService[] = "org.marlix.Marlix.Window";
inline constexpr char kObjectPath[] = "/Marlix";
inline constexpr char kInterface[] = "org.marlix.Marlix";

// The desktop entry's id, which is also the icon's name.
inline constexpr char kDesktopId[] = "org.marlix.Marlix";

// Errors of the interface: a command the workspace does not allow now (not connected, a batch
// running), an argument out of range, and a command that was tried and failed.
inline constexpr char kErrorRefused[] = "org.marlix.Marlix.Error.Refused";
inline constexpr char kErrorInvalidArgument[] = "org.marlix.Marlix.Error.InvalidArgument";
inline constexpr char kErrorFailed[] = "org.marlix.Marlix.Error.Failed";

} // namespace marlix::automation
