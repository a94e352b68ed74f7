// Windows' answer to whether the user may be notified now.
#pragma once

#include <optional>

#include "notification_hold.h"

// SHQueryUserNotificationState; nothing when Windows cannot say. Where the
// environment names CHIMEWATCH_NOTIFICATION_STATE_FILE, the number in that
// file instead: Wine always answers "accepts notifications", and this is
// how the tests play a presentation. Users are never told of it.
std::optional<NotificationState> UserNotificationState();
