#include "calendar_state.h"

#include "date_format.h"
#include "number_text.h"
#include "text_table.h"

std::wstring FailureText(const FetchFailure& failure) {
  switch (failure.problem) {
    case FetchProblem::None: return {};
    case FetchProblem::NoConnection: return Text(TextId::FollowNoConnection, {failure.detail});
    case FetchProblem::NotTrusted: return Text(TextId::FollowNotTrusted);
    case FetchProblem::TimedOut: return Text(TextId::FollowTimedOut);
    case FetchProblem::ServerAnswered: return Text(TextId::FollowServerAnswered, {WideDecimalText(failure.status)});
    case FetchProblem::NotAllowed: return Text(TextId::FollowNotAllowed, {WideDecimalText(failure.status)});
    case FetchProblem::NeedsUser: return Text(TextId::FollowNeedsUser);
    case FetchProblem::NotCalendar: {
      std::wstring detail = failure.detail;  // a sentence of its own, now inside one
      if (!detail.empty() && detail.back() == L'.') detail.pop_back();
      return Text(TextId::FollowNotCalendar, {detail});
    }
    case FetchProblem::InsecureRedirect: return Text(TextId::FollowInsecureRedirect);
    case FetchProblem::TooManyRedirects: return Text(TextId::FollowTooManyRedirects);
  }
  return {};
}

std::wstring StateText(const CalendarState& state) {
  std::wstring text;
  if (state.failingSince) {
    text = Text(TextId::FollowNotReachedSince, {FormatDate(*state.failingSince, L"hh:nn"), state.why});
  } else if (state.updated) {
    const auto count = static_cast<std::int64_t>(state.reminders);
    text = CountText(TextId::FollowUpdatedAt, count,
                     {FormatDate(*state.updated, L"hh:nn"), WideDecimalText(count), WideDecimalText(kReminderDays)});
  } else {
    text = Text(TextId::FollowNotFetchedYet);
  }
  if (state.plainHttp) text += Text(TextId::FollowNotPrivate);
  return text;
}
