// Whether a due alert's box and sound wait: not while a full-screen
// program, a full-screen game or a presentation has Windows asking not to
// disturb the user. They come, in the order they fell due, once it ends.
#pragma once

#include <optional>

// Windows' answer (SHQueryUserNotificationState), by its values.
enum class NotificationState {
  NotPresent = 1,  // the screen is locked or the screen saver runs
  Busy = 2,        // a full-screen program
  FullScreenGame = 3,
  Presentation = 4,
  AcceptsNotifications = 5,
  QuietTime = 6,  // the first hour of a new account
  App = 7,        // a Windows Store app
};

// `state`: nothing when Windows could not say. A locked screen does not
// hold an alert: its box is there when the user comes back.
bool AlertsWait(std::optional<NotificationState> state, bool waitWhilePresenting);
