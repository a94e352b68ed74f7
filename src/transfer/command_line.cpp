#include "command_line.h"

#include <optional>
#include <string_view>

#include "text_convert.h"

namespace {

constexpr std::wstring_view kUsage = L"Use: chimewatch.exe /export FILE, or chimewatch.exe /import FILE.";

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
  result.message += kUsage;
  return result;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments) {
  if (arguments.empty()) return {};
  const auto kind = SwitchKind(arguments[0]);
  if (!kind) return NotUnderstood(L"Not understood: \"" + arguments[0] + L"\".");
  if (arguments.size() < 2 || arguments[1].empty()) return NotUnderstood(L"The file name is missing.");
  if (arguments.size() > 2) return NotUnderstood(L"Not understood: \"" + arguments[2] + L"\" after the file name.");
  CommandLine result;
  result.action = CommandLine::Action::Transfer;
  result.request = {*kind, arguments[1]};
  return result;
}
