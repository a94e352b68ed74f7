#include "remind_again.h"
#include "text_table.h"

#include <cmath>
#include <iterator>
#include <utility>

namespace {

constexpr unsigned long long kOfferedForMs = 60ull * 60 * 1000;
constexpr std::size_t kShownLength = 40;
constexpr double kMinutesPerDay = 1440.0;
constexpr double kSecondsPerDay = 86400.0;

// Each delay's menu text and minutes of real time (0: the next day).
struct DelayChoice {
  TextId text;
  int minutes;
};
constexpr DelayChoice kChoices[] = {
    {TextId::RemindMenuIn5Minutes, 5}, {TextId::RemindMenuIn10Minutes, 10}, {TextId::RemindMenuIn30Minutes, 30},
    {TextId::RemindMenuIn1Hour, 60},   {TextId::RemindMenuTomorrow, 0},
};
static_assert(std::size(kChoices) == kRemindDelays.size());

const DelayChoice& ChoiceOf(RemindDelay delay) { return kChoices[static_cast<std::size_t>(delay)]; }

// Up: a delay is never shorter than the one chosen.
DateValue UpToTheMinute(DateValue value) {
  return FromTimeLine(std::ceil(ToTimeLine(value) * kMinutesPerDay - 1e-6) / kMinutesPerDay);
}

// Also the form of a minute that the clock reads, after a sum of days.
DateValue DownToTheMinute(DateValue value) {
  return FromTimeLine(std::floor(ToTimeLine(value) * kMinutesPerDay + 1e-6) / kMinutesPerDay);
}

long long WholeSeconds(DateValue value) { return std::llround(ToTimeLine(value) * kSecondsPerDay); }

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

std::wstring RemindDelayText(RemindDelay delay) { return Text(ChoiceOf(delay).text); }

void RemindAgainOffers::BoxClosed(std::wstring description, unsigned long long nowMs, std::wstring sound,
                                  bool soundUntilAnswered) {
  std::erase_if(offers_, [&](const RemindOffer& offer) {
    return offer.description == description || nowMs - offer.closedAtMs >= kOfferedForMs;
  });
  offers_.insert(offers_.begin(), {nextSerial_++, std::move(description), nowMs, std::move(sound), soundUntilAnswered});
  if (offers_.size() > kMaxRemindOffers) offers_.pop_back();
}

std::vector<RemindOffer> RemindAgainOffers::Offered(unsigned long long nowMs) const {
  std::vector<RemindOffer> open;
  for (const RemindOffer& offer : offers_) {
    if (nowMs - offer.closedAtMs < kOfferedForMs) open.push_back(offer);
  }
  return open;
}

std::optional<RemindOffer> RemindAgainOffers::Find(unsigned serial, unsigned long long nowMs) const {
  for (const RemindOffer& offer : Offered(nowMs)) {
    if (offer.serial == serial) return offer;
  }
  return std::nullopt;
}

void RemindAgainOffers::Used(unsigned serial) {
  std::erase_if(offers_, [&](const RemindOffer& offer) { return offer.serial == serial; });
}

unsigned RemindCommandOffset(std::size_t offerPlace, RemindDelay delay) {
  return static_cast<unsigned>(offerPlace * kRemindDelays.size() + static_cast<std::size_t>(delay));
}

RemindChoice RemindChoiceOf(unsigned commandOffset) {
  return {commandOffset / kRemindDelays.size(), kRemindDelays[commandOffset % kRemindDelays.size()]};
}

std::wstring RemindAgainMenuText(const std::wstring& description) {
  std::wstring line;
  for (const wchar_t c : description) {
    if (c == L'\n' && !line.empty() && line.back() == L' ') continue;  // CR LF: one blank
    line += (c == L'\r' || c == L'\n' || c == L'\t') ? L' ' : c;
  }
  if (line.size() > kShownLength) {
    line.resize(kShownLength);
    if (IsHighSurrogate(line.back())) line.pop_back();
    line += L"...";
  }
  std::wstring escaped;
  for (const wchar_t c : line) escaped += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
  return Text(TextId::TrayRemindAgain, {escaped});
}

RemindDue RemindAgainDue(RemindDelay delay, DateValue nowLocal, DateValue nowUtc,
                         const std::function<DateValue(DateValue utc)>& utcToLocal) {
  if (delay == RemindDelay::Tomorrow) return {DownToTheMinute(FromTimeLine(ToTimeLine(nowLocal) + 1.0)), {}};
  const DateValue dueUtc = UpToTheMinute(FromTimeLine(ToTimeLine(nowUtc) + ChoiceOf(delay).minutes / kMinutesPerDay));
  return {DownToTheMinute(utcToLocal(dueUtc)), dueUtc};
}

void SnoozeHolds::Hold(int slot, const AlarmRecord& alert, DateValue notBeforeUtc) {
  std::erase_if(held_, [&](const Held& held) { return held.slot == slot; });
  held_.push_back({slot, alert.Naam, alert.Tijd, notBeforeUtc});
}

// Compared in whole seconds: the check's clock reads whole seconds, and the
// real minute must not lose to a rounding of the last bit.
bool SnoozeHolds::HeldBack(int slot, const AlarmRecord& alert, DateValue nowUtc) {
  for (auto held = held_.begin(); held != held_.end(); ++held) {
    if (held->slot != slot) continue;
    const bool same = alert.Exist && alert.Tijd == held->due && alert.Naam == held->description;
    if (same && WholeSeconds(nowUtc) < WholeSeconds(held->notBeforeUtc)) return true;
    held_.erase(held);
    return false;
  }
  return false;
}

std::optional<int> AddReminder(AlarmTable& table, const RemindOffer& offer, DateValue due,
                               std::optional<int> heldSlot) {
  const auto slot = FindFreeSlot(table, heldSlot);
  if (!slot) return std::nullopt;
  AlarmRecord& alert = table[*slot];
  alert = AlarmRecord{};
  alert.Exist = true;
  alert.Actief = true;
  alert.Getoond = false;
  alert.Naam = offer.description;
  alert.Tijd = due;
  alert.Repeat = Once;
  alert.Delete = true;
  alert.Sound = offer.sound;
  alert.SoundUntilAnswered = offer.soundUntilAnswered;
  return slot;
}
