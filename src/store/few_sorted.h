// Sorting the few items of a repeat rule's lists (weekdays, days of a
// month) in place, repeats dropped: a plain insertion, without the code
// std::sort brings for each kind of item.
#pragma once

#include <cstddef>
#include <vector>

// Sorts items[from..] by `before`, keeping one of each equal run.
template <class Item, class Before>
void SortFewWithoutRepeats(std::vector<Item>& items, std::size_t from, Before before) {
  std::size_t kept = from;
  for (std::size_t i = from; i < items.size(); ++i) {
    const Item item = items[i];
    std::size_t at = kept;
    while (at > from && before(item, items[at - 1])) --at;
    if (at > from && !before(items[at - 1], item)) continue;  // one like it is kept already
    for (std::size_t j = kept; j > at; --j) items[j] = items[j - 1];
    items[at] = item;
    ++kept;
  }
  items.erase(items.begin() + static_cast<std::ptrdiff_t>(kept), items.end());
}
