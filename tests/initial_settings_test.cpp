#include <gtest/gtest.h>

#include "error.h"
#include "initial_settings.h"
#include "installation.h"

namespace zolinit {
namespace {
namespace fs = std::filesystem;
using zol::test::Cp932;
using zol::test::Installation;

struct FakeMachine : Machine {
  bool ntFamily = true;
  zol::Path windowsFolder;
  std::wstring setting;
  std::vector<std::wstring> files;

  bool IsNtFamily() const override { return ntFamily; }
  zol::Path WindowsFolder() const override { return windowsFolder; }
  zol::Path SystemFolder() const override { return L"D:\\WINNT\\System32"; }
  std::wstring ScreenSaverSetting() const override { return setting; }
  std::vector<std::wstring> ScreenSaverFiles(const zol::Path& folder) const override {
    EXPECT_EQ(folder, SystemFolder());
    return files;
  }
};

// The files written, as paths.
std::vector<fs::path> Written(const fs::path& folder, const Machine& machine) {
  const std::vector<zol::Path> written = WriteInitialSettings(folder, machine);
  return {written.begin(), written.end()};
}

class InitialSettingsTest : public ::testing::Test {
 protected:
  zol::test::ScratchFolder scratch;
  const fs::path windows = scratch / "WINDOWS";
  FakeMachine machine;

  InitialSettingsTest() {
    machine.windowsFolder = windows.wstring();
    fs::create_directories(windows);
  }

  // The zol.ini expected for the system.ini in the folder and the two screen savers given.
  static std::string ZolIni(const fs::path& systemIniFolder, const std::wstring& favourite,
                            const std::wstring& alternate) {
    return zol::test::ZolIniBytes({
        systemIniFolder.root_name().wstring(),
        Installation::DirOf(systemIniFolder),
        L"D:",
        L"\\WINNT\\System32\\",
        L"コントロールパネルのあるドライブ=D:",
        L"コントロールパネルのあるディレクトリ=\\WINNT\\System32\\",
        favourite,
        alternate,
        L" 1440 ",
        L" 2160 ",
    });
  }
};

TEST_F(InitialSettingsTest, ChoosesTheScreenSaversAndTheSystemIni) {
  const std::vector<std::wstring> three = {L"星空.scr", L"Maze.scr", L"blank.scr"};
  struct Case {
    bool ntFamily;
    const wchar_t* current;
    std::vector<std::wstring> files;
    const wchar_t* favourite;
    const wchar_t* alternate;
  };
  const Case cases[] = {
      {true, L"d:\\winnt\\system32\\MAZE.SCR", three, L"Maze.scr", L"星空.scr"},
      {true, L"D:\\WINNT\\System32\\星空.scr", three, L"星空.scr", L"blank.scr"},
      {true, L"C:\\Other\\Maze.scr", three, L"blank.scr", L"Maze.scr"},
      {true, L"", three, L"blank.scr", L"Maze.scr"},
      {true, L"", {L"a=b.scr"}, L"a=b.scr", L""},
      {true, L"D:\\WINNT\\System32\\Maze.scr", {}, L"", L""},
      {false, L"D:\\WINNT\\SYSTEM32\\MAZE.SCR", three, L"Maze.scr", L"星空.scr"},
      {false, L"（なし）", three, L"blank.scr", L"Maze.scr"},
  };
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << number);
    const fs::path folder = scratch / (L"設定 a=b " + std::to_wstring(number++));
    machine.ntFamily = c.ntFamily;
    machine.setting = c.ntFamily ? c.current : L"";
    machine.files = c.files;
    zol::test::WriteBytes(windows / "system.ini",
                          c.ntFamily ? "" : "[boot]\r\nSCRNSAVE.EXE=" + Cp932(c.current) + "\r\n");

    const std::vector<fs::path> written = Written(folder, machine);

    const fs::path systemIniFolder = c.ntFamily ? folder : windows;
    EXPECT_EQ(zol::test::ReadBytes(folder / "zol.ini"),
              ZolIni(systemIniFolder, c.favourite, c.alternate));
    if (c.ntFamily) {
      EXPECT_EQ(written, (std::vector{folder / "system.ini", folder / "zol.ini"}));
      EXPECT_EQ(zol::test::ReadBytes(folder / "system.ini"),
                "[boot]\r\n*DisplayFallback=0\r\nSCRNSAVE.EXE=" + Cp932(c.current) + "\r\n");
    } else {
      EXPECT_EQ(written, std::vector{folder / "zol.ini"});
      EXPECT_FALSE(fs::exists(folder / "system.ini"));
    }
  }
}

TEST_F(InitialSettingsTest, KeepsTheFilesThatAreThere) {
  const fs::path zolIni = scratch / "zol.ini", systemIni = scratch / "system.ini";
  zol::test::WriteBytes(zolIni, "mine");
  EXPECT_TRUE(Written(scratch.Path(), machine).empty());
  EXPECT_EQ(zol::test::ReadBytes(zolIni), "mine");
  EXPECT_FALSE(fs::exists(systemIni));

  fs::remove(zolIni);
  zol::test::WriteBytes(systemIni, "[boot]\r\nSCRNSAVE.EXE=mine.scr\r\n");
  EXPECT_EQ(Written(scratch.Path(), machine), std::vector{zolIni});
  EXPECT_EQ(zol::test::ReadBytes(systemIni), "[boot]\r\nSCRNSAVE.EXE=mine.scr\r\n");
  EXPECT_EQ(zol::test::ReadBytes(zolIni), ZolIni(scratch.Path(), L"", L""));
}

TEST_F(InitialSettingsTest, WritesNothingThatCodePage932CannotHold) {
  struct Case {
    const wchar_t* folder;
    const wchar_t* setting;
    std::vector<std::wstring> files;
    std::wstring subject;
  };
  const Case cases[] = {
      {L"Zoë", L"", {}, (scratch / L"Zoë").wstring()},
      {L"a", L"D:\\Zoë\\a.scr", {}, L"SCRNSAVE.EXE=D:\\Zoë\\a.scr"},
      {L"a", L"", {L"a.scr", L"ë.scr"}, L"ë.scr"},
  };
  for (const Case& c : cases) {
    machine.setting = c.setting;
    machine.files = c.files;
    try {
      WriteInitialSettings(scratch / c.folder, machine);
      ADD_FAILURE() << "nothing thrown for " << testing::PrintToString(c.subject);
    } catch (const zol::Error& error) {
      EXPECT_EQ(error.Kind(), zol::ErrorKind::NotRepresentable);
      EXPECT_EQ(error.Subject(), c.subject);
    }
    EXPECT_FALSE(fs::exists(scratch / c.folder));
  }
}

}  // namespace
}  // namespace zolinit
