// The alarm table: the program's whole data, 101 slots numbered 0..100.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>

#include "date_value.h"
#include "repeat_mode.h"

// One slot. Flags are plain bools in memory; the store writes them as
// "True"/"False" and reads any non-zero number as true. Repeat stays a raw
// 32-bit value because a hand-edited store can hold numbers outside 0..4.
struct AlarmRecord {
  bool Exist = false;
  bool Actief = false;
  bool Getoond = false;
  std::wstring Naam;
  DateValue Tijd = 0.0;
  std::int32_t Repeat = Once;
  bool Delete = false;
  // A repeat rule in the store's text (alarm_rule.h), which then rules over
  // Repeat; empty for the five modes.
  std::wstring Rule;
  // The sound its box plays (alert_sound.h): empty for Windows' reminder
  // sound, "none", or a sound file's path; and whether it plays again and
  // again until the box is answered.
  std::wstring Sound;
  bool SoundUntilAnswered = false;

  bool operator==(const AlarmRecord&) const = default;
};

inline constexpr int kFirstSlot = 0;
inline constexpr int kLastSlot = 100;
inline constexpr int kSlotCount = kLastSlot - kFirstSlot + 1;

inline bool IsSlotNumber(int slot) { return slot >= kFirstSlot && slot <= kLastSlot; }

class AlarmTable {
 public:
  // Every access by slot number is checked: a bad number is a programming
  // error, never something to paper over, and ends the program.
  AlarmRecord& operator[](int slot) { return slots_[Index(slot)]; }
  const AlarmRecord& operator[](int slot) const { return slots_[Index(slot)]; }

  // A slot whose stored section could not be read stays out of use for the
  // whole run, so that nothing the user stored there is overwritten.
  void Reserve(int slot, bool reserved = true) { reserved_[Index(slot)] = reserved; }
  bool IsReserved(int slot) const { return reserved_[Index(slot)]; }

  // Whether the store held an alert in the slot when this program last read
  // or wrote it: an alert saved in a slot the store had free is a new one,
  // which must not overwrite one another program put there meanwhile.
  void SetStoredAlert(int slot, bool stored) { storedAlert_[Index(slot)] = stored; }
  bool HasStoredAlert(int slot) const { return storedAlert_[Index(slot)]; }

 private:
  static std::size_t Index(int slot) {
    if (!IsSlotNumber(slot)) std::abort();
    return static_cast<std::size_t>(slot);
  }

  std::array<AlarmRecord, kSlotCount> slots_{};
  std::array<bool, kSlotCount> reserved_{};
  std::array<bool, kSlotCount> storedAlert_{};
};

// The lowest free slot not held back by a damaged stored section, nor the
// `heldSlot` an open editor has chosen for a new alarm, nor one of `taken`.
std::optional<int> FindFreeSlot(const AlarmTable& table, std::optional<int> heldSlot = std::nullopt,
                                std::span<const int> taken = {});

// The program-wide table.
extern AlarmTable& Alarms;
