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
  ErrorKind ReadFails(SettingsForm form) { return ReadError(form).Kind(); }
};

TEST_F(SettingsTest, EachProgramReadsWhatTheOtherWrote) {
  struct Case {
    SettingsForm writer;
    float top, left;
    const char* topLine;
    const char* leftLine;
  };
  const Case cases[] = {
      {SettingsForm::QuickSwitcher, 1200, 3450, " 1200 ", " 3450 "},
      {SettingsForm::QuickSwitcher, -300, 0, "-300 ", " 0 "},
      {SettingsForm::QuickSwitcher, 12.5f, -7.25f, " 12.5 ", "-7.25 "},
      {SettingsForm::Configurator, 1200, 3450, "1200", "3450"},
      {SettingsForm::Configurator, -300, 0, "-300", "0"},
      {SettingsForm::Configurator, 1234567, 0.1f, "1234567", "0.1"},
  };
  for (const Case& c : cases) {
    test::WriteBytes(zolIni, ZolIni("0", "0"));
    const Settings read = ReadSettings(zolIni, SettingsForm::Configurator);
    WriteSettings(zolIni, read, c.writer, c.top, c.left);
    const std::string bytes = test::ReadBytes(zolIni);
    EXPECT_NE(bytes.find(std::string("\r\n") + c.topLine + "\r\n" + c.leftLine + "\r\n"),
              std::string::npos)
        << bytes;
    for (SettingsForm reader : {SettingsForm::Configurator, SettingsForm::QuickSwitcher}) {
      const Settings back = ReadSettings(zolIni, reader);
      EXPECT_EQ(back.WindowTop, c.top) << c.topLine;
      EXPECT_EQ(back.WindowLeft, c.left) << c.leftLine;
    }
  }
}

TEST_F(SettingsTest, EachProgramWritesBackTheLinesItRead) {
  // Line 5 has no "=", line 6 a value with "=", the names keys that are not the program's own
  // and trailing blanks; an eleventh line follows.
  const std::string lines = Cp932(
      L"System.iniのあるドライブ =C:\r\n"
      L"system.iniのあるディレクトリ=\\WINDOWS\\\r\n"
      L"   お気に入りのスクリーンセイバーのあるドライブ =D:\r\n"
      L"お気に入りのスクリーンセイバーのあるディレクトリ=\\表示,予備\\\n"
      L"C:\r\n"
      L"制御=\\WIN=DOWS\\\r\n"
      L"好き=星空.scr  \r\n"
      L"代替え=a=b.scr\r");
  test::WriteBytes(zolIni, lines + "100\r\n200\r\neleventh\r\n");
  const std::string common = Cp932(
      L"System.iniのあるドライブ =C:\r\n"
      L"system.iniのあるディレクトリ=\\WINDOWS\\\r\n"
      L"お気に入りのスクリーンセイバーのあるドライブ =D:\r\n"
      L"お気に入りのスクリーンセイバーのあるディレクトリ=\\表示,予備\\\r\n"
      L"C:\r\n"
      L"制御=\\WIN=DOWS\\\r\n");

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
  EXPECT_EQ(ValueText(switcher.AlternateName), L"a=b.scr");
  EXPECT_EQ(ControlPanelCommand(switcher), L"C:\\WIN=DOWS\\control.exe");
  EXPECT_EQ(SystemIniPath(switcher), std::filesystem::path(L"C:\\WINDOWS\\system.ini"));
}

TEST_F(SettingsTest, KeepsBytesThatCodePage932DoesNotMapBack) {
  // 0x879A and 0x81E6 are both U+2235; 0xFA40 comes back as 0xEEEF; 0xFF is undefined.
  const std::string odd = "\x87\x9a\xfa\x40\xff";
  test::WriteBytes(zolIni, ZolIni("0", "0"));
  Settings settings = ReadSettings(zolIni, SettingsForm::QuickSwitcher);
  settings.FavouriteDir += odd;
  settings.ControlPanelDirLine += odd;
  WriteSettings(zolIni, settings, SettingsForm::QuickSwitcher, 0, 0);
  const std::string written = test::ReadBytes(zolIni);
  EXPECT_NE(written.find(Cp932(L"ディレクトリ=\\セイバー\\") + odd + "\r\n"), std::string::npos);
  EXPECT_NE(written.find(Cp932(L"ディレクトリ=\\WINDOWS\\") + odd + "\r\n"), std::string::npos);
}

TEST_F(SettingsTest, QuotedFieldsAndBlankLines) {
  // A quote that is not closed on its line ends there: no field reaches into the next line.
  test::WriteBytes(
      zolIni,
      "\"C:\",ignored\r\n  \"\\A B\\\"\r\n\r\n\"x\r\nrun=evil.exe\"\r\n\r\nn\r\nm\r\n1\r\n2");
  const Settings settings = ReadSettings(zolIni, SettingsForm::Configurator);
  EXPECT_EQ(settings.SystemIniDrive, "C:");
  EXPECT_EQ(settings.SystemIniDir, "\\A B\\");
  EXPECT_EQ(settings.FavouriteDrive, "");
  EXPECT_EQ(settings.FavouriteDir, "x");
  EXPECT_EQ(settings.ControlPanelDriveLine, "run=evil.exe\"");
  EXPECT_EQ(settings.WindowLeft, 2);
}

TEST_F(SettingsTest, ReadingFailures) {
  EXPECT_EQ(ReadFails(SettingsForm::QuickSwitcher), ErrorKind::FileNotFound);

  std::string nineLines = ZolIni("0", "");
  nineLines.resize(nineLines.size() - 2);
  test::WriteBytes(zolIni, nineLines);
  EXPECT_EQ(ReadFails(SettingsForm::Configurator), ErrorKind::InputPastEnd);
  EXPECT_NE(ReadError(SettingsForm::QuickSwitcher).Text().find(L"10 行目"), std::wstring::npos);

  // A line far longer than a field may be is refused at once, naming the line and the file.
  test::WriteBytes(zolIni, "C:\r\n\\\r\n" + std::string(10 << 20, 'x') + "\r\n");
  const Error tooLong = ReadError(SettingsForm::QuickSwitcher);
  EXPECT_EQ(tooLong.Kind(), ErrorKind::LineTooLong);
  EXPECT_NE(tooLong.Text().find(L"3 行目"), std::wstring::npos);
  EXPECT_NE(tooLong.Text().find(zolIni.wstring()), std::wstring::npos);

  for (const char* notANumber : {"12px", "", "inf", "1,5"}) {
    test::WriteBytes(zolIni, ZolIni(notANumber, "8"));
    const Error mismatch = ReadError(SettingsForm::Configurator);
    EXPECT_EQ(mismatch.Kind(), ErrorKind::TypeMismatch) << notANumber;
    EXPECT_NE(mismatch.Text().find(L"9 行目"), std::wstring::npos);
    const Settings switcher = ReadSettings(zolIni, SettingsForm::QuickSwitcher);
    EXPECT_EQ(switcher.WindowTop, 0) << notANumber;
    EXPECT_EQ(switcher.WindowLeft, 8);
  }
}

TEST_F(SettingsTest, RefusesAFileSavedAsUtf8) {
  const std::u8string_view text =
      u8"System.iniのあるドライブ =C:\r\nsystem.iniのあるディレクトリ=\\WINDOWS\\\r\nC:\r\n"
      u8"\\セイバー\\\r\nC:\r\n\\WINDOWS\\\r\n星空.scr\r\n迷路.scr\r\n0\r\n0\r\n";
  const std::string utf8(text.begin(), text.end());
  struct Case {
    std::string bytes;
    bool refused;
  };
  const Case cases[] = {
      {utf8, true},
      {"\xEF\xBB\xBF" + utf8, true},
      {"\xEF\xBB\xBF" + ZolIni("0", "0"), true},
      {ZolIni("0", "0") + "\xFF\r\n", false},  // neither code page 932 nor UTF-8
      {"C:\r\n\\W\\\r\nC:\r\n\\S\\\r\nC:\r\n\\W\\\r\na\r\nb\r\n0\r\n0\r\n", false},
  };
  for (const Case& c : cases) {
    test::WriteBytes(zolIni, c.bytes);
    if (!c.refused) {
      EXPECT_NO_THROW(ReadSettings(zolIni, SettingsForm::Configurator)) << c.bytes;
      continue;
    }
    for (SettingsForm form : {SettingsForm::Configurator, SettingsForm::QuickSwitcher}) {
      EXPECT_EQ(ReadFails(form), ErrorKind::NotShiftJis) << c.bytes;
    }
  }
  test::WriteBytes(zolIni, utf8);
  try {
    ReadSettings(zolIni, SettingsForm::Configurator);
  } catch (const Error& error) {  // it says how to save the file, and names it
    EXPECT_NE(error.Text().find(L"シフト JIS（コードページ 932）"), std::wstring::npos);
    EXPECT_NE(error.Text().find(zolIni.wstring()), std::wstring::npos);
  }
}

TEST_F(SettingsTest, WriteProtectedFileStaysAsItWas) {
  const std::string before = ZolIni("10", "20");
  test::WriteBytes(zolIni, before);
  const Settings settings = ReadSettings(zolIni, SettingsForm::Configurator);
  test::SetReadOnly(zolIni, true);
  try {
    WriteSettings(zolIni, settings, SettingsForm::Configurator, 99, 99);
    ADD_FAILURE() << "a write-protected file was written";
  } catch (const Error& error) {
    EXPECT_EQ(error.Kind(), ErrorKind::AccessDenied);
    EXPECT_NE(error.Text().find(zolIni.wstring()), std::wstring::npos);
  }
  EXPECT_EQ(test::ReadBytes(zolIni), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
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
