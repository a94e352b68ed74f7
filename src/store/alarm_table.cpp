#include "alarm_table.h"

std::optional<int> FindFreeSlot(const AlarmTable& table, std::optional<int> heldSlot) {
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (!table[slot].Exist && !table.IsReserved(slot) && slot != heldSlot) return slot;
  }
  return std::nullopt;
}
