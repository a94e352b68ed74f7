#include "alarm_table.h"

#include <algorithm>

std::optional<int> FindFreeSlot(const AlarmTable& table, std::optional<int> heldSlot, std::span<const int> taken) {
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (!table[slot].Exist && !table.IsReserved(slot) && slot != heldSlot &&
        std::find(taken.begin(), taken.end(), slot) == taken.end()) {
      return slot;
    }
  }
  return std::nullopt;
}
