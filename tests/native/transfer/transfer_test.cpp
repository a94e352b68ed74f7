#include <gtest/gtest.h>

#include "command_line.h"
#include "output_encoding.h"
#include "window_handle_bits.h"
#include "zone_display_name.h"

namespace {

using Action = CommandLine::Action;

struct CommandLineCase {
  std::vector<std::wstring> arguments;
  Action action;
  TransferKind kind;
  std::wstring path;
};

}  // namespace

TEST(ParseCommandLine, SwitchesInAnyCaseWithSlashOrDash) {
  const CommandLineCase cases[] = {
      {{}, Action::Start, {}, L""},
      {{L"/export", L"a.ics"}, Action::Transfer, TransferKind::Export, L"a.ics"},
      {{L"-EXPORT", L"C:\\My files\\a.ics"}, Action::Transfer, TransferKind::Export, L"C:\\My files\\a.ics"},
      {{L"/Import", L"b.ics"}, Action::Transfer, TransferKind::Import, L"b.ics"},
      {{L"-import", L"-b.ics"}, Action::Transfer, TransferKind::Import, L"-b.ics"},
      // Not understood: nothing is done.
      {{L"/export"}, Action::NotUnderstood, {}, L""},
      {{L"/import", L""}, Action::NotUnderstood, {}, L""},
      {{L"/import", L"a.ics", L"b.ics"}, Action::NotUnderstood, {}, L""},
      {{L"/frobnicate", L"a.ics"}, Action::NotUnderstood, {}, L""},
      {{L"--export", L"a.ics"}, Action::NotUnderstood, {}, L""},
      {{L"/export:a.ics"}, Action::NotUnderstood, {}, L""},
      {{L"export", L"a.ics"}, Action::NotUnderstood, {}, L""},
      {{L"a.ics"}, Action::NotUnderstood, {}, L""},
      {{L"/"}, Action::NotUnderstood, {}, L""},
      // The followed calendars: /follow's options travel packed with its address.
      {{L"/follow", L"webcal://x/a.ics"}, Action::Transfer, TransferKind::Follow, L"webcal://x/a.ics\n\n\n"},
      {{L"-FOLLOW", L"https://x/a", L"/lead", L"none", L"/Name", L"Work", L"/user", L"ann"},
       Action::Transfer,
       TransferKind::Follow,
       L"https://x/a\nWork\nann\nnone"},
      {{L"/follow", L"https://x/a", L"/lead", L"10080"},
       Action::Transfer,
       TransferKind::Follow,
       L"https://x/a\n\n\n10080"},
      {{L"/unfollow", L"Work"}, Action::Transfer, TransferKind::Unfollow, L"Work"},
      {{L"/refresh"}, Action::Transfer, TransferKind::Refresh, L""},
      {{L"/agenda"}, Action::Transfer, TransferKind::Agenda, L"14"},
      {{L"/agenda", L"366"}, Action::Transfer, TransferKind::Agenda, L"366"},
      {{L"/follow"}, Action::NotUnderstood, {}, L""},
      {{L"/follow", L"https://x/a", L"/lead"}, Action::NotUnderstood, {}, L""},
      {{L"/follow", L"https://x/a", L"/lead", L"-1"}, Action::NotUnderstood, {}, L""},
      {{L"/follow", L"https://x/a", L"/lead", L"10081"}, Action::NotUnderstood, {}, L""},
      {{L"/follow", L"https://x/a", L"/password", L"secret"}, Action::NotUnderstood, {}, L""},
      {{L"/unfollow"}, Action::NotUnderstood, {}, L""},
      {{L"/refresh", L"all"}, Action::NotUnderstood, {}, L""},
      {{L"/agenda", L"0"}, Action::NotUnderstood, {}, L""},
      {{L"/agenda", L"367"}, Action::NotUnderstood, {}, L""},
      {{L"/agenda", L"7", L"8"}, Action::NotUnderstood, {}, L""},
      // A link the shell opens with Chimewatch.
      {{L"webcal://x/a.ics"}, Action::FollowLink, TransferKind::Follow, L"webcal://x/a.ics\n\n\n"},
      {{L"WEBCALS://x/a"}, Action::FollowLink, TransferKind::Follow, L"WEBCALS://x/a\n\n\n"},
      {{L"webcal://"}, Action::NotUnderstood, {}, L""},
      {{L"webcal://x/a.ics", L"/name", L"X"}, Action::NotUnderstood, {}, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    const CommandLine parsed = ParseCommandLine(c.arguments);
    EXPECT_EQ(parsed.action, c.action);
    if (c.action == Action::Transfer || c.action == Action::FollowLink) {
      EXPECT_EQ(parsed.request, (TransferRequest{c.kind, c.path}));
    }
    EXPECT_EQ(parsed.message.empty(), c.action != Action::NotUnderstood);
  }
}

TEST(ParseCommandLine, TellsWhatWasNotUnderstood) {
  EXPECT_EQ(ParseCommandLine({L"/frob", L"a.ics"}).message,
            L"Not understood: \"/frob\". Use: chimewatch.exe /export FILE, /import FILE, /follow ADDRESS [/name NAME] "
            L"[/lead MINUTES] [/user NAME], /unfollow NAME, /refresh or /agenda [DAYS].");
  EXPECT_TRUE(ParseCommandLine({L"/import"}).message.starts_with(L"The file name is missing."));
  EXPECT_TRUE(ParseCommandLine({L"/import", L"a", L"b"}).message.starts_with(L"Not understood: \"b\" after"));
  EXPECT_TRUE(ParseCommandLine({L"/follow", L"a", L"/name"}).message.starts_with(L"Not understood: /name needs a"));
}

TEST(FollowArguments, TheMinutesOfALeadAndBetweenFetches) {
  using Lead = std::optional<std::optional<int>>;
  EXPECT_EQ(ReadLeadMinutes(L" 0 "), Lead(0));
  EXPECT_EQ(ReadLeadMinutes(L"None"), Lead(std::optional<int>()));
  EXPECT_EQ(ReadLeadMinutes(L""), Lead(std::optional<int>()));
  EXPECT_EQ(ReadLeadMinutes(L"10081"), std::nullopt);
  EXPECT_EQ(ReadRefreshMinutes(L"5"), 5);
  EXPECT_EQ(ReadRefreshMinutes(L"1440"), 1440);
  for (const wchar_t* refused : {L"4", L"1441", L"", L"soon", L"30.5"}) EXPECT_EQ(ReadRefreshMinutes(refused), std::nullopt);
}

TEST(FollowArguments, PackedForTheHandOverAndBack) {
  const FollowArguments cases[] = {{L"https://x/a", L"", L"", std::nullopt, std::nullopt},
                                   {L"webcal://x/a", L"Work", L"ann", std::optional<int>(), std::nullopt},
                                   {L"http://x", L"Ü", L"", std::optional<int>(0), std::nullopt}};
  for (const FollowArguments& arguments : cases) {
    EXPECT_EQ(UnpackFollowArguments(PackFollowArguments(arguments)), arguments);
  }
  EXPECT_EQ(UnpackFollowArguments(L"a\nb\nc"), std::nullopt);
  EXPECT_EQ(UnpackFollowArguments(L"a\nb\nc\nd\ne"), std::nullopt);
  EXPECT_EQ(UnpackFollowArguments(L"\nb\nc\n"), std::nullopt);
  EXPECT_EQ(UnpackFollowArguments(L"a\n\n\nsoon"), std::nullopt);
}

TEST(ZoneDisplayName, IgnoresTheOffsetPrefix) {
  EXPECT_EQ(WithoutOffsetPrefix(L"(UTC+10:00) Canberra, Melbourne, Sydney"), L"Canberra, Melbourne, Sydney");
  EXPECT_EQ(WithoutOffsetPrefix(L"(GMT-05:00) Eastern Time (US & Canada)"), L"Eastern Time (US & Canada)");
  EXPECT_EQ(WithoutOffsetPrefix(L"(UTC) Coordinated Universal Time"), L"Coordinated Universal Time");
  EXPECT_EQ(WithoutOffsetPrefix(L"W. Europe Standard Time"), L"W. Europe Standard Time");
  EXPECT_EQ(WithoutOffsetPrefix(L"(UTC+1) Nowhere"), L"(UTC+1) Nowhere");  // not an offset as Windows writes it
  EXPECT_EQ(WithoutOffsetPrefix(L"(GMT+10:00"), L"(GMT+10:00");

  EXPECT_TRUE(
      SameZoneDisplayName(L"(GMT+10:00) Canberra, Melbourne, Sydney", L"(UTC+10:00) Canberra, Melbourne, Sydney"));
  EXPECT_TRUE(SameZoneDisplayName(L"(GMT) greenwich mean time : dublin", L"(UTC+00:00) Greenwich Mean Time : Dublin"));
  EXPECT_FALSE(SameZoneDisplayName(L"(GMT+10:00) Canberra, Melbourne", L"(UTC+10:00) Canberra, Melbourne, Sydney"));
  EXPECT_FALSE(SameZoneDisplayName(L"(GMT+10:00)", L"(UTC+10:00)"));
}

TEST(ChooseOutputEncoding, OneEncodingPerFile) {
  using enum OutputEncoding;
  EXPECT_EQ(ChooseOutputEncoding(OutputKind::Console, ""), Console);
  EXPECT_EQ(ChooseOutputEncoding(OutputKind::Pipe, ""), Utf8);
  EXPECT_EQ(ChooseOutputEncoding(OutputKind::DiskFile, ""), Utf16WithMark);  // > log.txt
  // >> log.txt: the file keeps the encoding it has.
  EXPECT_EQ(ChooseOutputEncoding(OutputKind::DiskFile, "\xFF\xFE"), Utf16);
  EXPECT_EQ(ChooseOutputEncoding(OutputKind::DiskFile, "Ex"), Utf8);
  EXPECT_EQ(ChooseOutputEncoding(OutputKind::DiskFile, "\xFF"), Utf8);
  EXPECT_EQ(ChooseOutputEncoding(OutputKind::DiskFile, "?"), Utf8);  // could not be read
}

// A 32-bit running program's window, as a 64-bit command holds it
// (sign-extended) and as its WPARAM arrives (zero-extended).
TEST(WindowHandleBits, ASenderIsKnownByItsLow32Bits) {
  EXPECT_TRUE(SameWindowHandle(0x0000000080001234u, 0xFFFFFFFF80001234u));
  EXPECT_FALSE(SameWindowHandle(0x80001234u, 0xFFFFFFFF80001236u));
  EXPECT_EQ(WidenedWindowHandle(0x80001234u), static_cast<std::int64_t>(0xFFFFFFFF80001234u));
}
