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

// The zol.ini expected for the system.ini in the folder and the two screen savers given.
std::string ZolIni(const fs::path& systemIniFolder, const std::wstring& favourite,
                   const std::wstring& alternate) {
  return zol::test::ZolIniBytes({systemIniFolder.root_name().wstring(),
                                 zol::test::Installation::DirOf(systemIniFolder), L"D:",
                                 L"\\WINNT\\System32\\", L"コントロールパネルのあるドライブ=D:",
                                 L"コントロールパネルのあるディレクトリ=\\WINNT\\System32\\",
                                 favourite, alternate, L" 1440 ", L" 2160 "});
}

class InitialSettingsTest : public ::testing::Test {
 protected:
  zol::test::ScratchFolder scratch;
  FakeMachine machine;

  InitialSettingsTest() { machine.windowsFolder = (scratch / "WINDOWS").wstring(); }
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
      {true, L"", {L"a=b.scr"}, L"a=b.scr", L""},
      {true, L"D:\\WINNT\\System32\\Maze.scr", {}, L"", L""},
      {false, L"D:\\WINNT\\SYSTEM32\\MAZE.SCR", three, L"Maze.scr", L"星空.scr"},
      {false, L"（なし）", three, L"blank.scr", L"Maze.scr"},
  };
  fs::create_directories(machine.windowsFolder);
  for (const Case& c : cases) {
    const fs::path folder = scratch / (L"設定 a=b " + std::to_wstring(&c - cases));
    machine.ntFamily = c.ntFamily;
    machine.setting = c.ntFamily ? c.current : L"";
    machine.files = c.files;
    zol::test::WriteBytes(fs::path(machine.windowsFolder) / "system.ini",
                          c.ntFamily ? "" : "[boot]\r\nSCRNSAVE.EXE=" + Cp932(c.current) + "\r\n");
    const std::vector<zol::Path> written = WriteInitialSettings(folder, machine);
    EXPECT_EQ(
        ReadBytes(folder / "zol.ini"),
        ZolIni(c.ntFamily ? folder : fs::path(machine.windowsFolder), c.favourite, c.alternate));
    EXPECT_EQ(written.size(), c.ntFamily ? 2u : 1u);
    EXPECT_EQ(ReadBytes(folder / "system.ini"),
              c.ntFamily
                  ? "[boot]\r\n*DisplayFallback=0\r\nSCRNSAVE.EXE=" + Cp932(c.current) + "\r\n"
                  : "");
  }
}

// A zol.ini that is there is kept, and so is a system.ini; a path or a name that code page 932
// cannot hold writes nothing.
TEST_F(InitialSettingsTest, KeepsWhatIsThereAndRefusesWhatCannotBeWritten) {
  zol::test::WriteBytes(scratch / "zol.ini", "mine");
  zol::test::WriteBytes(scratch / "system.ini", "[boot]\r\nSCRNSAVE.EXE=mine.scr\r\n");
  EXPECT_TRUE(WriteInitialSettings(scratch.Path(), machine).empty());
  fs::remove(scratch / "zol.ini");
  EXPECT_EQ(WriteInitialSettings(scratch.Path(), machine),
            std::vector{(scratch / "zol.ini").wstring()});
  EXPECT_EQ(ReadBytes(scratch / "system.ini"), "[boot]\r\nSCRNSAVE.EXE=mine.scr\r\n");
  EXPECT_EQ(ReadBytes(scratch / "zol.ini"), ZolIni(scratch.Path(), L"", L""));

  const std::tuple<const wchar_t*, const wchar_t*, std::vector<std::wstring>, std::wstring>
      cases[] = {{L"Zoë", L"", {}, (scratch / L"Zoë").wstring()},
                 {L"a", L"D:\\Zoë\\a.scr", {}, L"SCRNSAVE.EXE=D:\\Zoë\\a.scr"},
                 {L"a", L"", {L"a.scr", L"ë.scr"}, L"ë.scr"}};
  for (const auto& [folder, setting, files, subject] : cases) {
    machine.setting = setting;
    machine.files = files;
    const zol::Error error =
        zol::test::ErrorOf([&] { WriteInitialSettings(scratch / folder, machine); });
    EXPECT_EQ(error.Kind(), zol::ErrorKind::NotRepresentable);
    EXPECT_EQ(error.Subject(), subject);
    EXPECT_FALSE(fs::exists(scratch / folder));
  }
}

}  // namespace
}  // namespace zolinit
