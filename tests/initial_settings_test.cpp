#include <gtest/gtest.h>

#include "initial_settings.h"
#include "installation.h"

namespace zolinit {
namespace {
namespace fs = std::filesystem;
using zol::test::Cp932;
using zol::test::ReadBytes;

struct FakeMachine : Machine {
  bool ntFamily = true;
  zol::Path windowsFolder;
  std::wstring setting;
  std::vector<std::wstring> files;

  bool IsNtFamily() const override { return ntFamily; }
  zol::Path WindowsFolder() const override { return windowsFolder; }
  zol::Path SystemFolder() const override { return L"D:\\WINNT\\System32"; }
  std::wstring ScreenSaverSetting() const override { return setting; }
  std::vector<std::wstring> ScreenSaverFiles(const zol::Path&) const override { return files; }
};

// The NT family gets a system.ini of its own beside zol.ini, naming the registry's screen saver;
// the 9x family's zol.ini names Windows' own. The favourite is the current screen saver when it is
// the system folder's, else the first there; the alternate is the next (after the last, the
// first). A path or a name that code page 932 cannot hold writes nothing; a zol.ini that is there
// is kept.
TEST(InitialSettingsTest, WritesZolIniForTheMachine) {
  zol::test::ScratchFolder scratch;
  FakeMachine machine;
  machine.windowsFolder = (scratch / "WINDOWS").wstring();
  fs::create_directories(machine.windowsFolder);
  const std::vector<std::wstring> three = {L"星空.scr", L"Maze.scr", L"blank.scr"};
  struct Case {
    bool ntFamily;
    const wchar_t* current;
    std::vector<std::wstring> files;
    const wchar_t* favourite;  // nothing when nothing can be written
    const wchar_t* alternate;
  };
  const Case cases[] = {
      {true, L"d:\\winnt\\system32\\MAZE.SCR", three, L"Maze.scr", L"星空.scr"},
      {true, L"D:\\WINNT\\System32\\星空.scr", three, L"星空.scr", L"blank.scr"},
      {true, L"C:\\Other\\Maze.scr", three, L"blank.scr", L"Maze.scr"},
      {true, L"", {L"a=b.scr"}, L"a=b.scr", L""},
      {true, L"D:\\WINNT\\System32\\Maze.scr", {}, L"", L""},
      {false, L"D:\\WINNT\\SYSTEM32\\MAZE.SCR", three, L"Maze.scr", L"星空.scr"},
      {false, L"（なし）", three, L"blank.scr", L"Maze.scr"},
      {true, L"D:\\Zoë\\a.scr", {}, nullptr, nullptr},
      {true, L"", {L"a.scr", L"ë.scr"}, nullptr, nullptr},
      {true, L"", {}, nullptr, nullptr},  // the last, in a folder named Zoë
  };
  for (const Case& c : cases) {
    const fs::path folder = scratch / (L"設定 a=b " + std::to_wstring(&c - cases) +
                                       (&c == std::end(cases) - 1 ? L"Zoë" : L""));
    machine.ntFamily = c.ntFamily;
    machine.setting = c.ntFamily ? c.current : L"";
    machine.files = c.files;
    const std::string entry = "SCRNSAVE.EXE=" + (c.favourite ? Cp932(c.current) : "");
    zol::test::WriteBytes(fs::path(machine.windowsFolder) / "system.ini",
                          c.ntFamily ? "" : "[boot]\r\n" + entry + "\r\n");
    if (!c.favourite) {
      EXPECT_EQ(zol::test::ErrorOf([&] { WriteInitialSettings(folder, machine); }).Kind(),
                zol::ErrorKind::NotRepresentable);
      EXPECT_FALSE(fs::exists(folder));
      continue;
    }
    EXPECT_EQ(WriteInitialSettings(folder, machine).size(), c.ntFamily ? 2u : 1u);
    const fs::path systemIniFolder = c.ntFamily ? folder : fs::path(machine.windowsFolder);
    EXPECT_EQ(ReadBytes(folder / "zol.ini"),
              zol::test::ZolIniBytes(
                  {systemIniFolder.root_name().wstring(), zol::test::DirOf(systemIniFolder), L"D:",
                   L"\\WINNT\\System32\\", L"コントロールパネルのあるドライブ=D:",
                   L"コントロールパネルのあるディレクトリ=\\WINNT\\System32\\", c.favourite,
                   c.alternate, L" 1440 ", L" 2160 "}));
    EXPECT_EQ(ReadBytes(folder / "system.ini"),
              c.ntFamily ? "[boot]\r\n*DisplayFallback=0\r\n" + entry + "\r\n" : "");
    EXPECT_TRUE(WriteInitialSettings(folder, machine).empty());
  }
}

}  // namespace
}  // namespace zolinit
