// "Remind me again": after an alarm box closes, the tray menu offers its
// alert once more, for an hour, as a new one-time alert a few minutes, an
// hour or a day later. The alert that fired is not touched.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "alarm_table.h"

enum class RemindDelay { Minutes5, Minutes10, Minutes30, Hour1, Tomorrow };
inline constexpr std::array<RemindDelay, 5> kRemindDelays = {
    RemindDelay::Minutes5, RemindDelay::Minutes10, RemindDelay::Minutes30, RemindDelay::Hour1, RemindDelay::Tomorrow};
// "In 5 minutes" ... "Tomorrow at this time".
std::wstring RemindDelayText(RemindDelay delay);

// One alert on offer. `serial` names it while a menu shows it, so that a
// box that closes meanwhile does not shift the choice onto another alert.
struct RemindOffer {
  unsigned serial = 0;
  std::wstring description;
  unsigned long long closedAtMs = 0;
  // The fired alert's sound, which the new alert takes.
  std::wstring sound{};
  bool soundUntilAnswered = false;
};

// Every alert whose box closed in the last hour, newest first, at most
// kMaxRemindOffers; a box of the same description again moves it to the
// front. Times are milliseconds of a steady clock (GetTickCount64), so that
// a clock change does not stretch the hour.
inline constexpr std::size_t kMaxRemindOffers = 5;
class RemindAgainOffers {
 public:
  void BoxClosed(std::wstring description, unsigned long long nowMs, std::wstring sound = {},
                 bool soundUntilAnswered = false);
  std::vector<RemindOffer> Offered(unsigned long long nowMs) const;
  // An offer still open.
  std::optional<RemindOffer> Find(unsigned serial, unsigned long long nowMs) const;
  void Used(unsigned serial);

 private:
  std::vector<RemindOffer> offers_;
  unsigned nextSerial_ = 1;
};

// The menu's command for an offer's place in the menu and a delay, as an
// offset from the first "Remind me again" command, and back.
unsigned RemindCommandOffset(std::size_t offerPlace, RemindDelay delay);
inline constexpr unsigned kRemindCommandCount = kMaxRemindOffers * kRemindDelays.size();
struct RemindChoice {
  std::size_t offerPlace;
  RemindDelay delay;
};
RemindChoice RemindChoiceOf(unsigned commandOffset);

// "Remind me again: DESCRIPTION": on one line, cut to about 40 characters
// with "...", an "&" shown as itself.
std::wstring RemindAgainMenuText(const std::wstring& description);

// When the new alert is due: `local` the wall-clock minute stored, never
// sooner than the delay chosen (the minute rounded up). The minutes and the
// hour are real time: "In 1 hour" is an hour from now across a clock
// change; `notBeforeUtc` holds the alert back while the clock, set back
// an hour, passes its local time a first time too early. "Tomorrow at this
// time" is the same wall-clock minute the next day.
struct RemindDue {
  DateValue local = 0;
  std::optional<DateValue> notBeforeUtc;
};
RemindDue RemindAgainDue(RemindDelay delay, DateValue nowLocal, DateValue nowUtc,
                         const std::function<DateValue(DateValue utc)>& utcToLocal);

// The snoozed alerts the running program holds back until their real time;
// the stored alert stays an ordinary one (a restart forgets the hold).
class SnoozeHolds {
 public:
  void Hold(int slot, const AlarmRecord& alert, DateValue notBeforeUtc);
  // Whether the slot's alert, as it is now, must wait still. An alert
  // changed or deleted since is not held.
  bool HeldBack(int slot, const AlarmRecord& alert, DateValue nowUtc);

 private:
  struct Held {
    int slot;
    std::wstring description;
    DateValue due;
    DateValue notBeforeUtc;
  };
  std::vector<Held> held_;
};

// The new one-time alert: the offer's description and sound, active, not
// shown, deleted when over, in the lowest free slot but `heldSlot` (an open
// editor's); nothing when the table is full.
std::optional<int> AddReminder(AlarmTable& table, const RemindOffer& offer, DateValue due, std::optional<int> heldSlot);
