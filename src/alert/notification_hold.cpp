#include "notification_hold.h"

bool AlertsWait(std::optional<NotificationState> state, bool waitWhilePresenting) {
  if (!waitWhilePresenting || !state) return false;
  return *state == NotificationState::Busy || *state == NotificationState::FullScreenGame ||
         *state == NotificationState::Presentation;
}
