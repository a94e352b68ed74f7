// The once-a-minute alarm check: shows every due alarm and moves it on.
// Another program sharing the store may show the same alarm and move it on
// too: an alarm moved on or changed while its box was up is left as it is,
// so that a repeat moves on once; and an occurrence already shown here that
// comes back (a sync service bringing back an older copy) moves on without
// a box.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "after_firing.h"
#include "alarm_table.h"

// What the check needs from the windows around it.
class AlarmCheckHost {
 public:
  virtual ~AlarmCheckHost() = default;
  virtual DateValue Now() = 0;
  // The slot's alert waits for its real time still (a snooze across a
  // clock set back); due by the local clock, it is not shown yet.
  virtual bool HeldBack(int /*slot*/) { return false; }
  // Shows the alarm and returns when the box has closed: true when the user
  // closed it, false when the program is ending and the check must stop.
  virtual bool ShowAlarm(const std::wstring& text) = 0;
  // The user closed the box of the alarm with this description.
  virtual void AlarmBoxClosed(const std::wstring& description) = 0;
  // Removes the list window's row of the slot, if there is one.
  virtual void RemoveListRow(int slot) = 0;
  virtual void SaveSlot(int slot) = 0;
};

// The text of the alarm box: the description, CR LF, the due time.
std::wstring AlarmMessageText(const AlarmRecord& alarm, DateValue due);

class AlarmCheck {
 public:
  AlarmCheck(AlarmTable& table, AlarmCheckHost& host) : table_(table), host_(host) {}

  // One tick. Does nothing while monitoring is off, and nothing while an
  // earlier tick is still waiting for the user to close an alarm box (a
  // message box runs its own message loop, which delivers further ticks).
  void Timer_Timer(bool monitoring);
  // True while a tick waits for the user to close an alarm box.
  bool ShowingBox() const { return running_; }

 private:
  bool IsDue(int slot, DateValue now) const;
  bool Fire(int slot);
  bool WasShownHere(int slot) const;
  AfterFiring MoveOn(int slot, DateValue due);

  struct Shown {
    std::wstring naam;
    DateValue due = 0.0;
  };
  AlarmTable& table_;
  AlarmCheckHost& host_;
  bool running_ = false;
  std::array<std::optional<Shown>, kSlotCount> shownHere_;
};
