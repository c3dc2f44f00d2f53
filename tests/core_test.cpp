// The core's readers and writers of system.ini and zol.ini.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <set>

#include "entry.h"
#include "scratch.h"
#include "settings.h"

namespace zol {
namespace {
using test::Cp932;

class CoreTest : public ::testing::Test {
 protected:
  test::ScratchFolder folder;
  std::filesystem::path systemIni = folder / "system.ini", zolIni = folder / "zol.ini";
};

TEST(EntryTest, ReadsTheFirstCapitalEntry) {
  const std::pair<std::string, std::optional<std::wstring>> cases[] = {
      {"[boot]\r\nSCRNSAVE.EXE=C:\\S\\A.SCR", L"C:\\S\\A.SCR"},
      {";SCRNSAVE.EXE=old.scr\r\nSCRNSAVE.EXE=new.scr\r\n", L"old.scr"},
      {"SCRNSAVE.EXE=\r\n", L"（なし）"},
      {Cp932(L"SCRNSAVE.EXE=D:\\セイバー\\（なし）.scr\r\n"), L"D:\\セイバー\\（なし）.scr"},
      {"scrnsave.exe=x.scr\r\n", std::nullopt},
      {"a=SCRNSAVE\rb=c.scr\r\n", L"SCRNSAVE"},
      {"\xffSCRNSAVE.EXE=a.scr\r\n", L"a.scr"},
      {"SCRNSAVE\x81=b.scr\r\n", L"b.scr"},
      {"SCRNSAVE.EXE=\x81\x20\x81\x40.scr", L"\uFFFD \u3000.scr"},
  };
  for (const auto& [file, entry] : cases) EXPECT_EQ(CurrentEntry(file), entry) << file;
}

// A plan as one text: the outcome and the new file, or the refusal and its line.
std::string Told(const RewritePlan& plan) {
  if (plan.refusal) return Error(*plan.refusal, L"").what() + (" at " + std::to_string(plan.line));
  return (plan.result == RewriteResult::EntryReplaced ? "replaced\n" : "inserted\n") + plan.bytes;
}

// What the rewrite writes in place of a value that names no screen-saver file, the first entry
// found after the lead byte 0x83 whose trail byte is "C", the most lines a rewrite holds, and what
// it refuses; the fuzz target checks the rest of the rule on any file. The value that the plan
// names is the one in its new file.
TEST(PlanTest, RewritesOnlyTheEntry) {
  const std::string none = Cp932(L"SCRNSAVE.EXE=（なし）\r\n"), fallback = "DisplayFallback=0\r\n";
  std::string thousand;  // the most lines that a rewrite holds
  for (size_t i = 1; i < kIniLineCapacity; ++i) thousand += "line" + std::to_string(i) + "\r\n";
  const std::tuple<std::string, std::wstring, std::string> cases[] = {
      {"x\xff\x83\x43RNSAV\r\n;scrnsave.exe=a\r\n", L"D:\\セイバー\\星空.scr",
       "replaced\nx\xff\x83\x43RNSAV\r\n" + Cp932(L"SCRNSAVE.EXE=D:\\セイバー\\星空.scr\r\n")},
      {"SCRNSAVE.EXE=a\r\n" + thousand, L"C:\\x.scr.bak",
       "replaced\nSCRNSAVE.EXE=C:\\x.scr.bak\r\n" + thousand},
      {"SCRNSAVE.EXE=a.scr", L"C:\\a.scr\\folder1", "replaced\n" + none},
      {"SCRNSAVE.EXE=a.scr\r\n", L"", "replaced\n" + none},
      {fallback, L"C:\\x.scr.bk", "inserted\n" + fallback + none},
      {fallback, L"C:\\a.scrあい",
       "inserted\n" + Cp932(L"DisplayFallback=0\r\nSCRNSAVE.EXE=C:\\a.scrあい\r\n")},
      {"[boot]\r\nshell=x.exe\r\n", L"a.scr", "no place for the entry at 0"},
      {"[boot]\r\n" + fallback, L"C:\\caf\u00e9.scr", "not representable at 3"},
      {"SCRNSAVE.EXE=a\r\n", L"a.scr\r\nshell=evil.exe", "line break in value at 0"},
      {"SCRNSAVE.EXE=a\r\n", {L"a\0.scr", 6}, "line break in value at 0"},
      {std::string(kIniLineCapacity, '\n') + "SCRNSAVE.EXE=a\n", L"b.scr",
       "too many lines at 1001"},
  };
  for (const auto& [before, value, after] : cases) {
    const RewritePlan plan = PlanRewrite(before, value);
    EXPECT_EQ(Told(plan), after) << before;
    EXPECT_TRUE(plan.refusal || plan.bytes.find(Cp932(L"SCRNSAVE.EXE=" + plan.value + L"\r\n")) !=
                                    std::string::npos)
        << before;
  }
}

// A rewrite passes over a temporary name that is taken, and leaves that file alone.
TEST_F(CoreTest, ReplacingPassesOverATakenName) {
  const Path taken = TemporaryName(systemIni, getpid(), 0);
  test::WriteBytes(taken, "another program's");
  ReplaceFileBytes(systemIni, "new");
  EXPECT_EQ(test::ReadBytes(systemIni), "new");
  EXPECT_EQ(test::ReadBytes(taken), "another program's");
}

constexpr SettingsForm kConfigurator = SettingsForm::Configurator;
constexpr SettingsForm kSwitcher = SettingsForm::QuickSwitcher;

// A settings file as an installation ships it, with the position lines given.
std::string ZolIni(const wchar_t* top, const wchar_t* left) {
  return test::ZolIniBytes(
      {L"C:", L"\\WINDOWS\\", L"D:", L"\\セイバー\\", L"コントロールパネルのあるドライブ=C:",
       L"コントロールパネルのあるディレクトリ=\\WINDOWS\\", L"星空.scr", L"迷路.scr", top, left});
}

// Each program writes back the lines it read, each in its own form, and reads the other's.
TEST_F(CoreTest, EachProgramWritesBackTheLinesItRead) {
  // Lines 1 to 4 have keys of their own, which the programs write as theirs; line 4 has a comma
  // and bytes that code page 932 does not map back (0x879A and 0x81E6 are both U+2235, 0xFA40 comes
  // back as 0xEEEF, 0xFF is undefined); line 5 has no "=", line 6 a value with "=", the names keys
  // that are not the program's own and trailing blanks. A quote not closed on its line ends there,
  // and an eleventh line follows.
  const std::string odd = "\x87\x9a\xfa\x40\xff";
  test::WriteBytes(zolIni, Cp932(L"a=C:\r\nb=\\WINDOWS\\\r\n   \"c =D:\",x\r\nd=\\表示,予備") +
                               odd +
                               Cp932(L"\\\n\"C:\r\n制御=\\WIN=DOWS\\\r\n好き=星空.scr  \r\n"
                                     L"代替え=a=b.scr\r100\r\n200\r\neleventh\r\n"));
  const std::string common = Cp932(
                                 L"System.iniのあるドライブ =C:\r\n"
                                 L"system.iniのあるディレクトリ=\\WINDOWS\\\r\n"
                                 L"お気に入りのスクリーンセイバーのあるドライブ =D:\r\n"
                                 L"お気に入りのスクリーンセイバーのあるディレクトリ=\\表示,予備") +
                             odd + Cp932(L"\\\r\nC:\r\n制御=\\WIN=DOWS\\\r\n");

  WriteSettings(zolIni, ReadSettings(zolIni, kConfigurator), kConfigurator, -300, 1234567);
  EXPECT_EQ(test::ReadBytes(zolIni),
            common + Cp932(L"好き=星空.scr  \r\n代替え=a=b.scr\r\n-300\r\n1234567\r\n"));

  const Settings switcher = ReadSettings(zolIni, kSwitcher);
  EXPECT_EQ(std::pair(switcher.WindowTop, switcher.WindowLeft), std::pair(-300.f, 1234567.f));
  WriteSettings(zolIni, switcher, kSwitcher, 12.5f, -0.1f);
  EXPECT_EQ(test::ReadBytes(zolIni),
            common + Cp932(L"お気に入りのスクリーンセイバー名 =星空.scr  \r\n"
                           L"代替えのスクリーンセイバー名 =a=b.scr\r\n"
                           L" 12.5 \r\n-0.1 \r\n"));
  const Settings configurator = ReadSettings(zolIni, kConfigurator);
  EXPECT_EQ(std::pair(configurator.WindowTop, configurator.WindowLeft), std::pair(12.5f, -0.1f));
  EXPECT_EQ(ControlPanelCommand(switcher), L"C:\\WIN=DOWS\\control.exe");
  EXPECT_EQ(SystemIniPath(switcher), ToPath(L"C:\\WINDOWS\\system.ini"));
}

// A refused file is named with its full path and, where one line is at fault, that line. The
// quick switcher takes a position that is no number as 0.
TEST_F(CoreTest, RefusedAndTakenFiles) {
  const std::u8string_view text =
      u8"C:\r\n\\WINDOWS\\\r\nC:\r\n\\セイバー😀\U0010FFFD\\\r\nC:\r\n\\W\\\r\na\r\nb\r\n0\r\n0\r\n";
  const std::string utf8(text.begin(), text.end()), whole = ZolIni(L"0", L"0");
  struct Case {
    std::string bytes;
    SettingsForm form;
    std::optional<ErrorKind> kind;  // nothing where the file is taken
    const wchar_t* said;
  };
  const Case cases[] = {
      {whole.substr(0, whole.size() - 3), kConfigurator, ErrorKind::InputPastEnd, L"10 行目"},
      {"C:\r\n\\\r\n" + std::string(32768, 'x'), kSwitcher, ErrorKind::LineTooLong, L"3 行目"},
      {ZolIni(L"12px", L"8"), kConfigurator, ErrorKind::TypeMismatch, L"9 行目"},
      {utf8, kSwitcher, ErrorKind::NotShiftJis, L"シフト JIS"},
      {"\xEF\xBB\xBF" + whole, kConfigurator, ErrorKind::NotShiftJis, L"シフト JIS"},
      {ZolIni(L"12px", L"1,5"), kSwitcher, std::nullopt, nullptr},
      {whole + "\xFF\r\n", kConfigurator, std::nullopt, nullptr},
      {"C:\r\n\\W\\\r\nC:\r\n\\S\\\r\nC:\r\n\\W\\\r\na\r\nb\r\n0\r\n0x10\r\n", kSwitcher,
       std::nullopt, nullptr},
  };
  for (const Case& c : cases) {
    test::WriteBytes(zolIni, c.bytes);
    if (!c.kind) {
      const Settings taken = ReadSettings(zolIni, c.form);
      EXPECT_EQ(std::pair(taken.WindowTop, taken.WindowLeft), std::pair(0.f, 0.f));
      continue;
    }
    const Error error = test::ErrorOf([&] { ReadSettings(zolIni, c.form); });
    EXPECT_EQ(error.Kind(), c.kind) << error.what();
    EXPECT_NE(error.Text().find(c.said), std::wstring::npos) << error.what();
    EXPECT_NE(error.Text().find(zolIni.wstring()), std::wstring::npos) << error.what();
  }
  const std::wstring cut =
      Error(ErrorKind::FileNotFound, L"C:\\" + std::wstring(100000, L'x') + L"\\zol.ini").Text();
  EXPECT_LT(cut.size(), 400u);
  EXPECT_NE(cut.find(L"x\\zol.ini"), std::wstring::npos);
}

// Each kind of failure has a text of its own in the user's language, then names its subject and
// the detail; one met after the screen saver was changed says so first.
TEST(ErrorTest, EachKindSaysWhatHappened) {
  std::set<std::wstring> texts;
  for (int kind = 0; kind <= int(ErrorKind::Unexpected); ++kind) {
    const std::wstring alone = Error(ErrorKind(kind), L"").Text();
    EXPECT_TRUE(texts.insert(alone).second && alone.find(L'。') != alone.npos) << kind;
    EXPECT_EQ(Error(ErrorKind(kind), L"C:\\a.ini", L"3 行目").Text(),
              alone + L"\n\nC:\\a.ini\n3 行目");
    const std::wstring after = Error(ErrorKind(kind), L"").AfterEntryChanged().Text();
    EXPECT_TRUE(after.starts_with(L"スクリーンセイバーは変更しましたが") && after.ends_with(alone));
  }
}

}  // namespace
}  // namespace zol
