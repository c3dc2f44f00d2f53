#include <gtest/gtest.h>

#include "error.h"
#include "scratch.h"
#include "settings.h"

namespace zol {
namespace {
using test::Cp932;

// A settings file as an installation ships it, with the position lines given.
std::string ZolIni(const std::string& top, const std::string& left) {
  return Cp932(
             L"System.iniのあるドライブ =C:\r\n"
             L"system.iniのあるディレクトリ=\\WINDOWS\\\r\n"
             L"お気に入りのスクリーンセイバーのあるドライブ =D:\r\n"
             L"お気に入りのスクリーンセイバーのあるディレクトリ=\\セイバー\\\r\n"
             L"コントロールパネルのあるドライブ=C:\r\n"
             L"コントロールパネルのあるディレクトリ=\\WINDOWS\\\r\n"
             L"お気に入りのスクリーンセイバー名 =星空.scr\r\n"
             L"代替えのスクリーンセイバー名 =迷路.scr\r\n") +
         top + "\r\n" + left + "\r\n";
}

class SettingsTest : public ::testing::Test {
 protected:
  test::ScratchFolder folder;
  std::filesystem::path zolIni = folder / "zol.ini";

  Error ReadError(SettingsForm form) {
    try {
      ReadSettings(zolIni, form);
    } catch (const Error& error) {
      return error;
    }
    ADD_FAILURE() << "ReadSettings did not fail";
    return Error(ErrorKind::Unexpected, L"");
  }
};

TEST_F(SettingsTest, EachProgramReadsWhatTheOtherWrote) {
  struct Case {
    SettingsForm writer;
    float top, left;
    const char* lines;
  };
  const Case cases[] = {
      {SettingsForm::QuickSwitcher, 1200, 3450, " 1200 \r\n 3450 \r\n"},
      {SettingsForm::QuickSwitcher, 12.5f, -7.25f, " 12.5 \r\n-7.25 \r\n"},
      {SettingsForm::Configurator, -300, 0, "-300\r\n0\r\n"},
      {SettingsForm::Configurator, 1234567, 0.1f, "1234567\r\n0.1\r\n"},
  };
  const std::string eightLines = ZolIni("", "").substr(0, ZolIni("", "").size() - 4);
  for (const Case& c : cases) {
    test::WriteBytes(zolIni, ZolIni("0", "0"));
    WriteSettings(zolIni, ReadSettings(zolIni, SettingsForm::Configurator), c.writer, c.top,
                  c.left);
    EXPECT_EQ(test::ReadBytes(zolIni),
              ZolIni("", "").substr(0, ZolIni("", "").size() - 4) + c.lines);
    for (SettingsForm reader : {SettingsForm::Configurator, SettingsForm::QuickSwitcher}) {
      const Settings back = ReadSettings(zolIni, reader);
      EXPECT_EQ(back.WindowTop, c.top) << c.lines;
      EXPECT_EQ(back.WindowLeft, c.left) << c.lines;
    }
  }
}

TEST_F(SettingsTest, EachProgramWritesBackTheLinesItRead) {
  // Line 4 has a comma and bytes that code page 932 does not map back (0x879A and 0x81E6 are both
  // U+2235, 0xFA40 comes back as 0xEEEF, 0xFF is undefined); line 5 has no "=", line 6 a value
  // with "=", the names keys that are not the program's own and trailing blanks. A quote not
  // closed on its line ends there, and an eleventh line follows.
  const std::string odd = "\x87\x9a\xfa\x40\xff";
  test::WriteBytes(zolIni, Cp932(L"System.iniのあるドライブ =C:\r\n"
                                 L"system.iniのあるディレクトリ=\\WINDOWS\\\r\n"
                                 L"   \"お気に入りのスクリーンセイバーのあるドライブ =D:\",x\r\n"
                                 L"お気に入りのスクリーンセイバーのあるディレクトリ=\\表示,予備") +
                               odd +
                               Cp932(L"\\\n\"C:\r\n制御=\\WIN=DOWS\\\r\n好き=星空.scr  \r\n"
                                     L"代替え=a=b.scr\r100\r\n200\r\neleventh\r\n"));
  const std::string common = Cp932(
                                 L"System.iniのあるドライブ =C:\r\n"
                                 L"system.iniのあるディレクトリ=\\WINDOWS\\\r\n"
                                 L"お気に入りのスクリーンセイバーのあるドライブ =D:\r\n"
                                 L"お気に入りのスクリーンセイバーのあるディレクトリ=\\表示,予備") +
                             odd + Cp932(L"\\\r\nC:\r\n制御=\\WIN=DOWS\\\r\n");

  const Settings configurator = ReadSettings(zolIni, SettingsForm::Configurator);
  WriteSettings(zolIni, configurator, SettingsForm::Configurator, 15, 30);
  EXPECT_EQ(test::ReadBytes(zolIni),
            common + Cp932(L"好き=星空.scr  \r\n代替え=a=b.scr\r\n15\r\n30\r\n"));

  const Settings switcher = ReadSettings(zolIni, SettingsForm::QuickSwitcher);
  WriteSettings(zolIni, switcher, SettingsForm::QuickSwitcher, 15, 30);
  EXPECT_EQ(test::ReadBytes(zolIni),
            common + Cp932(L"お気に入りのスクリーンセイバー名 =星空.scr  \r\n"
                           L"代替えのスクリーンセイバー名 =a=b.scr\r\n"
                           L" 15 \r\n 30 \r\n"));
  EXPECT_EQ(ControlPanelCommand(switcher), L"C:\\WIN=DOWS\\control.exe");
  EXPECT_EQ(SystemIniPath(switcher), ToPath(L"C:\\WINDOWS\\system.ini"));
}

// A refused file is named with its full path and, where one line is at fault, that line.
TEST_F(SettingsTest, RefusedFiles) {
  const std::u8string_view text =
      u8"C:\r\n\\WINDOWS\\\r\nC:\r\n\\セイバー\\\r\nC:\r\n\\W\\\r\na\r\nb\r\n0\r\n0\r\n";
  const std::string utf8(text.begin(), text.end()), whole = ZolIni("0", "0");
  struct Case {
    std::string bytes;
    SettingsForm form;
    ErrorKind kind;
    const wchar_t* said;
  };
  const Case cases[] = {
      {whole.substr(0, whole.size() - 3), SettingsForm::Configurator, ErrorKind::InputPastEnd,
       L"10 行目"},
      {"C:\r\n\\\r\n" + std::string(10 << 20, 'x'), SettingsForm::QuickSwitcher,
       ErrorKind::LineTooLong, L"3 行目"},
      {ZolIni("12px", "8"), SettingsForm::Configurator, ErrorKind::TypeMismatch, L"9 行目"},
      {ZolIni("0", "inf"), SettingsForm::Configurator, ErrorKind::TypeMismatch, L"10 行目"},
      {utf8, SettingsForm::QuickSwitcher, ErrorKind::NotShiftJis, L"シフト JIS"},
      {"\xEF\xBB\xBF" + whole, SettingsForm::Configurator, ErrorKind::NotShiftJis, L"シフト JIS"},
  };
  for (const Case& c : cases) {
    test::WriteBytes(zolIni, c.bytes);
    const Error error = ReadError(c.form);
    EXPECT_EQ(error.Kind(), c.kind) << error.what();
    EXPECT_NE(error.Text().find(c.said), std::wstring::npos) << error.what();
    EXPECT_NE(error.Text().find(zolIni.wstring()), std::wstring::npos) << error.what();
  }
  std::filesystem::remove(zolIni);
  EXPECT_EQ(ReadError(SettingsForm::QuickSwitcher).Kind(), ErrorKind::FileNotFound);
}

TEST_F(SettingsTest, WhatIsNotRefused) {
  // The quick switcher takes a position that is no number as 0; a file that is neither code page
  // 932 nor UTF-8, or ASCII alone, is read as it stands.
  for (const char* notANumber : {"12px", "", "1,5", "0x10"}) {
    test::WriteBytes(zolIni, ZolIni(notANumber, "8"));
    const Settings settings = ReadSettings(zolIni, SettingsForm::QuickSwitcher);
    EXPECT_EQ(settings.WindowTop, 0) << notANumber;
    EXPECT_EQ(settings.WindowLeft, 8);
  }
  for (const std::string& bytes :
       {ZolIni("0", "0") + "\xFF\r\n",
        std::string("C:\r\n\\W\\\r\nC:\r\n\\S\\\r\nC:\r\n\\W\\\r\na\r\nb\r\n0\r\n0\r\n")}) {
    test::WriteBytes(zolIni, bytes);
    EXPECT_NO_THROW(ReadSettings(zolIni, SettingsForm::Configurator)) << bytes;
  }
}

TEST(ErrorTest, LongPathsAreCutInTheMiddle) {
  const std::wstring text =
      Error(ErrorKind::FileNotFound, L"C:\\" + std::wstring(100000, L'x') + L"\\zol.ini").Text();
  EXPECT_LT(text.size(), 400u);
  EXPECT_NE(text.find(L"C:\\x"), std::wstring::npos);
  EXPECT_NE(text.find(L"x\\zol.ini"), std::wstring::npos);
}

}  // namespace
}  // namespace zol
