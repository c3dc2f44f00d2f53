// The core's readers and writers of system.ini and zol.ini.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

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

TEST_F(CoreTest, ReadsTheFirstCapitalEntry) {
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
  for (const auto& [file, entry] : cases) {
    test::WriteBytes(systemIni, file);
    EXPECT_EQ(ReadCurrentEntry(systemIni), entry) << file;
  }
}

// What the rewrite writes in place of a value that names no screen-saver file, the first entry
// found after the lead byte 0x83 whose trail byte is "C", and the most lines a rewrite holds; the
// fuzz target checks the rest of the rule on any file. A rewrite passes over a temporary name that
// is taken, and leaves that file alone.
TEST_F(CoreTest, RewritesOnlyTheEntry) {
  const Path taken = systemIni.native() + ToPath(L"." + std::to_wstring(getpid()) + L"-0.zol-new");
  test::WriteBytes(taken, "another program's");
  const std::string none = Cp932(L"SCRNSAVE.EXE=（なし）\r\n");
  std::string thousand;  // the most lines that a rewrite holds
  for (size_t i = 1; i < kIniLineCapacity; ++i) thousand += "line" + std::to_string(i) + "\r\n";
  struct Case {
    std::string before;
    std::wstring value;
    std::string after;
    RewriteResult result;
  };
  constexpr RewriteResult replaced = RewriteResult::EntryReplaced,
                          inserted = RewriteResult::EntryInserted;
  const Case cases[] = {
      {"x\xff\x83\x43RNSAV\r\n;scrnsave.exe=a\r\n", L"D:\\セイバー\\星空.scr",
       "x\xff\x83\x43RNSAV\r\n" + Cp932(L"SCRNSAVE.EXE=D:\\セイバー\\星空.scr\r\n"), replaced},
      {"SCRNSAVE.EXE=a\r\n" + thousand, L"C:\\x.scr.bak",
       "SCRNSAVE.EXE=C:\\x.scr.bak\r\n" + thousand, replaced},
      {"SCRNSAVE.EXE=a.scr\r\n", L"C:\\a.scr\\folder1", none, replaced},
      {"SCRNSAVE.EXE=a.scr\r\n", L"", none, replaced},
      {"DisplayFallback=0\r\n", L"C:\\x.scr.bk", "DisplayFallback=0\r\n" + none, inserted},
      {"DisplayFallback=0\r\n", L"C:\\a.scrあい",
       Cp932(L"DisplayFallback=0\r\nSCRNSAVE.EXE=C:\\a.scrあい\r\n"), inserted},
  };
  for (const Case& c : cases) {
    test::WriteBytes(systemIni, c.before);
    EXPECT_EQ(RewriteEntry(systemIni, c.value), c.result) << c.before;
    EXPECT_EQ(test::ReadBytes(systemIni), c.after) << c.before;
  }
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
      {"C:\r\n\\\r\n" + std::string(10 << 20, 'x'), kSwitcher, ErrorKind::LineTooLong, L"3 行目"},
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

// Each kind of failure says what happened, in the user's language, and then names the file.
TEST(ErrorTest, EachKindSaysWhatHappened) {
  // The beginnings of the messages, in the order of ErrorKind.
  std::wstring_view said =
      L"ファイルが見つかりません|ファイルの終わりを越えて|行が長すぎます|行数が 1000 "
      L"行を超えている|"
      L"型が一致しません|書き込み禁止のため|他のプログラムが使用中|"
      L"フォルダーに新しいファイルを作れない|"
      L"ファイルの場所にフォルダーがあります|ディスクがいっぱい|ファイルを読み込めません|"
      L"ファイルを書き込めませんでした|シフト JIS（コードページ 932）で表せない|改行または NUL "
      L"文字|"
      L"SCRNSAVE.EXE の行も|プログラムを起動できません|ドライブまたはディレクトリを読み込めません|"
      L"スクリーンセイバーが選ばれていません|ファイルが UTF-8 で保存|"
      L"スクリーンセイバーの設定をレジストリに|管理者のポリシーがスクリーンセイバーを決めている|"
      L"予期しないエラー|";
  for (int kind = 0; kind <= int(ErrorKind::Unexpected); ++kind) {
    const std::wstring_view start = said.substr(0, said.find(L'|'));
    said.remove_prefix(std::min(said.size(), start.size() + 1));
    const std::wstring message = Error(ErrorKind(kind), L"C:\\a.ini").Text();
    EXPECT_TRUE(!start.empty() && message.starts_with(start) &&
                message.ends_with(L"。\n\nC:\\a.ini"))
        << Error(ErrorKind(kind), L"").what();
  }
  EXPECT_TRUE(Error(ErrorKind::DiskFull, L"")
                  .AfterEntryChanged()
                  .Text()
                  .starts_with(L"スクリーンセイバーは変更しましたが、設定（zol."
                               L"ini）は保存できませんでした。\n\nディスク"));
}

}  // namespace
}  // namespace zol
