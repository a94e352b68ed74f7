#include "command_line.h"

#include <optional>
#include <string_view>

#include "number_text.h"
#include "text_convert.h"
#include "text_table.h"

namespace {

constexpr wchar_t kPackSeparator = L'\n';  // no argument of a command line holds one

bool IsSwitch(std::wstring_view argument, std::wstring_view name) {
  return argument.size() >= 2 && (argument[0] == L'/' || argument[0] == L'-') &&
         EqualsIgnoringCase(argument.substr(1), name);
}

std::optional<TransferKind> SwitchKind(std::wstring_view argument) {
  static constexpr std::pair<std::wstring_view, TransferKind> kSwitches[] = {
      {L"export", TransferKind::Export},     {L"import", TransferKind::Import},   {L"follow", TransferKind::Follow},
      {L"unfollow", TransferKind::Unfollow}, {L"refresh", TransferKind::Refresh}, {L"agenda", TransferKind::Agenda}};
  for (const auto& [name, kind] : kSwitches) {
    if (IsSwitch(argument, name)) return kind;
  }
  return std::nullopt;
}

CommandLine NotUnderstood(std::wstring what) {
  CommandLine result;
  result.action = CommandLine::Action::NotUnderstood;
  result.message = std::move(what);
  result.message += L" ";
  result.message += Text(TextId::TransferUsage);
  return result;
}

CommandLine Request(TransferKind kind, std::wstring path) {
  CommandLine result;
  result.action = CommandLine::Action::Transfer;
  result.request = {kind, std::move(path)};
  return result;
}

std::optional<int> WholeNumberIn(const std::wstring& text, int low, int high) {
  const Integer16Result read = ParseInteger16(text);
  if (read.error != IntegerError::None || read.value < low || read.value > high) return std::nullopt;
  return read.value;
}

// "/follow ADDRESS" and its options, each with its value, in any order.
CommandLine ParseFollow(const std::vector<std::wstring>& arguments) {
  if (arguments.size() < 2 || arguments[1].empty())
    return NotUnderstood(Text(TextId::FollowValueMissing, {arguments[0]}));
  FollowArguments follow;
  follow.address = arguments[1];
  for (std::size_t i = 2; i < arguments.size(); i += 2) {
    const std::wstring& option = arguments[i];
    const bool known = IsSwitch(option, L"name") || IsSwitch(option, L"lead") || IsSwitch(option, L"user");
    if (!known) return NotUnderstood(Text(TextId::TransferNotUnderstood, {option}));
    if (i + 1 >= arguments.size()) return NotUnderstood(Text(TextId::FollowValueMissing, {option}));
    const std::wstring& value = arguments[i + 1];
    if (IsSwitch(option, L"name")) follow.name = TrimBlanks(value);
    if (IsSwitch(option, L"user")) follow.user = TrimBlanks(value);
    if (IsSwitch(option, L"lead")) {
      follow.lead = ReadLeadMinutes(value);
      if (!follow.lead) return NotUnderstood(Text(TextId::FollowLeadNotUnderstood, {value}));
    }
  }
  return Request(TransferKind::Follow, PackFollowArguments(follow));
}

}  // namespace

std::optional<std::optional<int>> ReadLeadMinutes(std::wstring_view text) {
  const std::wstring trimmed = TrimBlanks(text);
  if (trimmed.empty() || EqualsIgnoringCase(trimmed, L"none")) return std::optional<int>();
  if (const auto minutes = WholeNumberIn(trimmed, 0, 10080)) return std::optional<int>(*minutes);
  return std::nullopt;
}

std::optional<int> ReadRefreshMinutes(std::wstring_view text) { return WholeNumberIn(TrimBlanks(text), 5, 1440); }

std::wstring PackFollowArguments(const FollowArguments& arguments) {
  std::wstring lead;
  if (arguments.lead) lead = *arguments.lead ? WideDecimalText(**arguments.lead) : L"none";
  return arguments.address + kPackSeparator + arguments.name + kPackSeparator + arguments.user + kPackSeparator + lead;
}

std::optional<FollowArguments> UnpackFollowArguments(std::wstring_view packed) {
  std::wstring parts[4];
  std::size_t part = 0;
  for (const wchar_t c : packed) {
    if (c != kPackSeparator) {
      parts[part] += c;
    } else if (++part == 4) {
      return std::nullopt;
    }
  }
  if (part != 3 || parts[0].empty()) return std::nullopt;
  FollowArguments arguments{parts[0], parts[1], parts[2], std::nullopt, std::nullopt};
  if (!parts[3].empty()) {
    arguments.lead = ReadLeadMinutes(parts[3]);
    if (!arguments.lead) return std::nullopt;
  }
  return arguments;
}

namespace {

bool IsCalendarLink(std::wstring_view argument) {
  for (const std::wstring_view scheme : {L"webcal://", L"webcals://"}) {
    if (argument.size() > scheme.size() && EqualsIgnoringCase(argument.substr(0, scheme.size()), scheme)) return true;
  }
  return false;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments) {
  if (arguments.empty()) return {};
  if (arguments.size() == 1 && IsCalendarLink(arguments[0])) {
    CommandLine link = Request(TransferKind::Follow, PackFollowArguments({arguments[0], L"", L"", std::nullopt, std::nullopt}));
    link.action = CommandLine::Action::FollowLink;
    return link;
  }
  const auto kind = SwitchKind(arguments[0]);
  if (!kind) return NotUnderstood(Text(TextId::TransferNotUnderstood, {arguments[0]}));
  switch (*kind) {
    case TransferKind::Follow: return ParseFollow(arguments);
    case TransferKind::Refresh:
      if (arguments.size() > 1) return NotUnderstood(Text(TextId::TransferNotUnderstood, {arguments[1]}));
      return Request(*kind, L"");
    case TransferKind::Agenda: {
      if (arguments.size() > 2) return NotUnderstood(Text(TextId::TransferNotUnderstood, {arguments[2]}));
      if (arguments.size() == 1) return Request(*kind, WideDecimalText(kDefaultAgendaDays));
      const auto days = WholeNumberIn(arguments[1], 1, kMaxAgendaDays);
      if (!days) return NotUnderstood(Text(TextId::FollowDaysNotUnderstood, {arguments[1]}));
      return Request(*kind, WideDecimalText(*days));
    }
    case TransferKind::Unfollow:
      if (arguments.size() < 2 || arguments[1].empty()) {
        return NotUnderstood(Text(TextId::FollowValueMissing, {arguments[0]}));
      }
      break;
    default: break;
  }
  if (arguments.size() < 2 || arguments[1].empty()) return NotUnderstood(Text(TextId::TransferFileNameMissing));
  if (arguments.size() > 2) return NotUnderstood(Text(TextId::TransferNotUnderstoodAfter, {arguments[2]}));
  return Request(*kind, arguments[1]);
}
