// The readers that other areas register (pal/control.h), and the answer lines the socket makes
// of what they report.
#pragma once

#include <optional>
#include <string>

namespace pal::control {

// The lines for the open popup menus, the notification-area icons or the message boxes;
// nothing when no reader of that kind is registered.
std::optional<std::string> MenuLines();
std::optional<std::string> TrayLines();
std::optional<std::string> MessageBoxLines();

}  // namespace pal::control
