#include "command_line.h"

#include <optional>
#include <string_view>

#include "text_convert.h"
#include "text_table.h"

namespace {

std::optional<TransferKind> SwitchKind(std::wstring_view argument) {
  if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-')) return std::nullopt;
  const std::wstring_view name = argument.substr(1);
  if (EqualsIgnoringCase(name, L"export")) return TransferKind::Export;
  if (EqualsIgnoringCase(name, L"import")) return TransferKind::Import;
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

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments) {
  if (arguments.empty()) return {};
  const auto kind = SwitchKind(arguments[0]);
  if (!kind) return NotUnderstood(Text(TextId::TransferNotUnderstood, {arguments[0]}));
  if (arguments.size() < 2 || arguments[1].empty()) return NotUnderstood(Text(TextId::TransferFileNameMissing));
  if (arguments.size() > 2) return NotUnderstood(Text(TextId::TransferNotUnderstoodAfter, {arguments[2]}));
  CommandLine result;
  result.action = CommandLine::Action::Transfer;
  result.request = {*kind, arguments[1]};
  return result;
}
