// The once-a-minute alarm check: shows every due alarm and moves it on.
// Another program sharing the store may show the same alarm and move it on
// too: an alarm moved on or changed while its box was up is left as it is,
// so that a repeat moves on once; and an occurrence already shown here that
// comes back (a sync service bringing back an older copy) moves on without
// a box.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "after_firing.h"
#include "alarm_table.h"

// What one step of the check changed, in order: a slot to save, a row of the
// list window to remove (a retired alarm's).
struct CheckChange {
  enum class Kind { RemoveListRow, SaveSlot } kind;
  int slot;
  bool operator==(const CheckChange&) const = default;
};
using CheckChanges = std::vector<CheckChange>;

// An alarm to show now: its slot, the description and due time it had
// when it fell due, the text of its box and the sound it plays.
struct DueAlarm {
  int slot = 0;
  std::wstring description;
  DateValue due = 0.0;
  std::wstring text;
  std::wstring sound;
  bool soundUntilAnswered = false;
};

// Whether a slot's alert waits for its real time still (a snooze across a
// clock set back): due by the local clock, it is not shown yet.
using HeldBackRule = std::function<bool(int slot)>;

// The text of the alarm box: the description, CR LF, the due time; for a
// repeat that fell due more than once since (`times`), a line that says so.
std::wstring AlarmMessageText(const AlarmRecord& alarm, DateValue due, int times = 1);

// The check asks nothing of the windows around it: the main window runs a
// tick by asking for each alarm to show, shows its box, and tells the check
// how the box ended, applying the changes each step returns:
//
//   if (check.BeginTick(monitoring)) {
//     while (const auto due = check.NextToShow(now, heldBack, changes)) {
//       apply(changes); if (!show(due->text)) break; apply(check.BoxClosed(*due, now));
//     }
//     apply(changes); check.EndTick();
//   }
class AlarmCheck {
 public:
  explicit AlarmCheck(AlarmTable& table) : table_(table) {}

  // Begins a tick; false, and nothing to do, while monitoring is off or an
  // earlier tick is still waiting for the user to close an alarm box (a
  // message box runs its own message loop, which delivers further ticks).
  bool BeginTick(bool monitoring);
  // The next due alarm of this tick, the earliest due first (slot order
  // among the same time), or nothing once every due slot was shown. An occurrence already shown here that comes back
  // moves on without a box; what that changed goes into `changes`.
  std::optional<DueAlarm> NextToShow(DateValue now, const HeldBackRule& heldBack, CheckChanges& changes);
  // The user closed the box of `shown`: it moves on, unless another program
  // sharing the store moved it on or changed it meanwhile.
  CheckChanges BoxClosed(const DueAlarm& shown, DateValue now);
  void EndTick() { running_ = false; }
  // How many alarms are due now, shown or not.
  std::size_t DueCount(DateValue now) const;
  // True while a tick waits for the user to close an alarm box.
  bool ShowingBox() const { return running_; }

 private:
  bool IsDue(int slot, DateValue now, const HeldBackRule& heldBack) const;
  std::optional<int> EarliestDue(DateValue now, const HeldBackRule& heldBack) const;
  bool WasShownHere(int slot) const;
  AfterFiring MoveOn(int slot, DateValue due, DateValue now, CheckChanges& changes);

  struct Shown {
    std::wstring naam;
    DateValue due = 0.0;
  };
  AlarmTable& table_;
  bool running_ = false;
  std::array<bool, kSlotCount> lookedAt_{};  // this tick
  std::array<std::optional<Shown>, kSlotCount> shownHere_;
};
