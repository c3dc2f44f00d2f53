// What both programs share: start-up, closing, the window's place and DPI, the change events, and
// each program run as a process of its own.
#include <gtest/gtest.h>

#include "configurator.h"
#include "installation.h"
#include "switcher.h"

namespace zol {
namespace {
namespace fs = std::filesystem;
using test::Cp932;

// A program's window on an installation, its start-up run and its error reports recorded.
struct Opened {
  std::shared_ptr<void> window;
  forms::Form* form;
  std::unique_ptr<test::ReportedErrors> reported;
  bool opened;
};

template <class Window>
Opened Open(const test::Installation& install) {
  auto window = std::make_shared<Window>(install.zolIni);
  Opened o{window, &window->form, std::make_unique<test::ReportedErrors>(window->form), false};
  o.opened = o.form->Open();
  return o;
}

const std::pair<const char*, Opened (*)(const test::Installation&)> kPrograms[] = {
    {"zolset", Open<zolset::Form1>}, {"zolswap", Open<zolswap::Form1>}};

// zol.ini and system.ini as they are.
std::string Files(const test::Installation& install) {
  return test::ReadBytes(install.zolIni) + "|" + test::ReadBytes(install.systemIni);
}

class ProgramsTest : public ::testing::Test {
 protected:
  test::KeptRegistryTexts desktop{test::kDesktopKey, {L"SCRNSAVE.EXE", L"ScreenSaveActive"}};
};

// A start-up that fails shows no window and writes nothing; what the quick switcher does not
// read does not stop it.
TEST_F(ProgramsTest, FailedStartUp) {
  struct Case {
    const char* name;
    std::function<void(test::Installation&)> arrange;
    std::optional<ErrorKind> kinds[2];  // zolset's, zolswap's; nothing where it starts
  };
  const Case cases[] = {
      {"no zol.ini",
       [](auto& i) { fs::remove(i.zolIni); },
       {ErrorKind::FileNotFound, ErrorKind::FileNotFound}},
      {"nine lines",
       [](auto& i) {
         const std::string bytes = test::ReadBytes(i.zolIni);
         test::WriteBytes(i.zolIni, bytes.substr(0, bytes.rfind("\r\n", bytes.size() - 3) + 2));
       },
       {ErrorKind::InputPastEnd, ErrorKind::InputPastEnd}},
      {"no system.ini",
       [](auto& i) { fs::remove(i.systemIni); },
       {ErrorKind::FileNotFound, ErrorKind::FileNotFound}},
      {"no favourite folder",
       [](auto& i) { i.lines.favouriteDir += L"gone\\", i.WriteZolIni(); },
       {ErrorKind::CannotReadFolder, std::nullopt}},
      {"left no number",
       [](auto& i) { i.lines.left = L"left", i.WriteZolIni(); },
       {ErrorKind::TypeMismatch, std::nullopt}},
      {"UTF-8",
       [](auto& i) { test::WriteBytes(i.zolIni, "\xEF\xBB\xBF" + test::ReadBytes(i.zolIni)); },
       {ErrorKind::NotShiftJis, ErrorKind::NotShiftJis}},
  };
  for (const Case& c : cases) {
    for (int p = 0; p < 2; ++p) {
      test::Installation install;
      c.arrange(install);
      const std::string files = Files(install);
      {
        const Opened o = kPrograms[p].second(install);
        const std::string label = std::string(c.name) + ", " + kPrograms[p].first;
        EXPECT_EQ(o.opened, !c.kinds[p]) << label;
        EXPECT_EQ(IsWindowVisible(o.form->Handle()), o.opened) << label;
        EXPECT_EQ(o.reported->kinds,
                  c.kinds[p] ? std::vector{*c.kinds[p]} : std::vector<ErrorKind>{})
            << label;
      }
      EXPECT_EQ(Files(install), files) << c.name << ", " << kPrograms[p].first;
    }
  }
}

// WM_CLOSE (a session that ends) and Alt+F4 end either program and write nothing.
TEST_F(ProgramsTest, ClosingEndsWithoutWriting) {
  for (const auto& [name, open] : kPrograms) {
    for (const bool altF4 : {false, true}) {
      test::Installation install;
      const std::string files = Files(install);
      const Opened o = open(install);
      ASSERT_TRUE(o.opened) << name;
      if (altF4) {
        test::PressKey(o.form->Handle(), VK_F4, true);
        for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
      } else {
        SendMessageW(o.form->Handle(), WM_CLOSE, 0, 0);
      }
      const std::string label = std::string(name) + (altF4 ? " Alt+F4" : " WM_CLOSE");
      EXPECT_TRUE(o.form->Ended()) << label;
      EXPECT_FALSE(IsWindowVisible(o.form->Handle())) << label;
      EXPECT_EQ(Files(install), files) << label;
    }
  }
}

// A stored position is kept where the window shows, in part too; one off every screen (a monitor
// that is gone) comes whole onto the nearest monitor's work area.
TEST_F(ProgramsTest, StoredPosition) {
  struct Case {
    const wchar_t* top;
    const wchar_t* left;
    bool kept;
  };
  const Case cases[] = {
      {L"1500", L"3000", true}, {L" -150 ", L"-300", true}, {L" -1500 ", L"60000", false}};
  for (const auto& [name, open] : kPrograms) {
    for (const Case& c : cases) {
      test::Installation install;
      install.lines.top = c.top;
      install.lines.left = c.left;
      install.WriteZolIni();
      const Opened o = open(install);
      RECT frame, work, inside;
      GetWindowRect(o.form->Handle(), &frame);
      SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
      IntersectRect(&inside, &frame, &work);
      if (c.kept) {
        EXPECT_EQ(std::pair(o.form->Top(), o.form->Left()),
                  std::pair(std::stoi(c.top), std::stoi(c.left)))
            << name;
      } else {
        EXPECT_TRUE(EqualRect(&inside, &frame)) << name;
      }
    }
  }
}

// At 144 DPI every control takes one and a half times its place, its width and its font (a
// drop-down list's height is the system's).
TEST_F(ProgramsTest, DpiChangeScalesTheControls) {
  const auto places = [](HWND form) {
    std::vector<RECT> rects;
    for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      RECT r;
      GetWindowRect(c, &r);
      MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
      rects.push_back(r);
    }
    return rects;
  };
  const auto fontHeight = [](HWND form) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(GetWindow(form, GW_CHILD), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    return std::abs(font.lfHeight);
  };
  for (const auto& [name, open] : kPrograms) {
    test::Installation install;
    const Opened o = open(install);
    const HWND form = o.form->Handle();
    const std::vector<RECT> before = places(form);
    const int font = fontHeight(form);
    RECT suggested;
    GetWindowRect(form, &suggested);
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    const std::vector<RECT> after = places(form);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
      for (const auto edge : {&RECT::left, &RECT::top, &RECT::right}) {
        EXPECT_NEAR(after[i].*edge, before[i].*edge * 3 / 2, 1) << name << " control " << i;
      }
    }
    EXPECT_NEAR(fontHeight(form), font * 3 / 2, 1) << name;
  }
}

// A control's Change runs once for each new value, whether the program or the user sets it, and
// not at all for the value it already has.
TEST(ChangeTest, RunsOncePerNewValue) {
  forms::Form form{{L"t", 6000, 6000, RGB(192, 192, 192), forms::Frame::Sizable}};
  forms::TextBox text{form, {L"", {0, 0, 2000, 300}, 0}};
  forms::DriveList drives{form, {{0, 600, 2000, 300}, 1}};
  forms::DirList folders{form, {{0, 1200, 2000, 2000}, 2}};
  test::ScratchFolder scratch;
  int changes = 0;
  for (std::function<void()>* change : {&text.Change, &drives.Change, &folders.Change}) {
    *change = [&] { ++changes; };
  }
  struct Case {
    const char* name;
    std::function<void()> act;
    int changes;
  };
  const Case cases[] = {
      {"text set", [&] { text.SetText(L"a"); }, 1},
      {"same text set", [&] { text.SetText(L"a"); }, 0},
      {"text typed", [&] { SendMessageW(text.Handle(), WM_CHAR, L'b', 1); }, 1},
      {"drive set", [&] { drives.SetDrive(L"c:"); }, 1},
      {"same drive set", [&] { drives.SetDrive(L"C:\\"); }, 0},
      {"drive picked", [&] { test::Notify(drives.Handle(), CBN_SELCHANGE); }, 1},
      {"folder set", [&] { folders.SetPath(scratch.Path().wstring()); }, 1},
      {"same folder set", [&] { folders.SetPath(scratch.Path().wstring() + L"\\"); }, 0},
  };
  drives.SetDrive(L"z:");  // from any drive but C:
  for (const Case& c : cases) {
    changes = 0;
    c.act();
    EXPECT_EQ(changes, c.changes) << c.name;
  }
}

// Each program as a process of its own, driven from outside as the mouse of a user and a session
// that ends drive it. Under Wine set to Windows 98, the 9x family, a switch leaves the registry
// alone.
TEST_F(ProgramsTest, ProgramsAsProcesses) {
  const wchar_t* wineKey = L"Software\\Wine";
  const test::KeptRegistryTexts wineVersion(wineKey, {L"Version"});
  const test::DesktopScreenSaver old = {L"C:\\OLD.SCR", L""};
  test::Installation install;
  for (const wchar_t* name : {L"星空.scr", L"迷路.scr"}) {
    test::WriteBytes(install.savers / name, "");
  }
  const std::string systemIni = test::ReadBytes(install.systemIni);
  const std::string zolIni = test::ReadBytes(install.zolIni);
  const auto saver = [&](const wchar_t* name) { return (install.savers / name).wstring(); };
  const auto switched = [&](const wchar_t* name) {
    return "[boot]\r\n" + Cp932(L"SCRNSAVE.EXE=" + saver(name)) +
           "\r\n[display]\r\nDisplayFallback=0\r\n";
  };
  const auto click = [](const wchar_t* button) {
    return [button](HWND form) { test::PostClick(form, button); };
  };
  const std::pair<const wchar_t*, const wchar_t*> configurator = {L"configurator\\zolset.exe",
                                                                  L"ゾルヴァ(ZOL3.60)"},
                                                  switcher = {L"switcher\\zolswap.exe",
                                                              L"ＺＯＬ３．６０"};
  struct Case {
    std::pair<const wchar_t*, const wchar_t*> program;  // and its window's caption
    std::optional<std::wstring> windowsVersion;
    std::function<void(HWND form)> act;
    std::string systemIniAfter, zolIniAfter;
    test::DesktopScreenSaver registry;
  };
  const std::string saved = install.ZolIniAt(L" 1500 ", L" 3000 ");
  const Case cases[] = {
      {switcher, {}, [](HWND form) { SendMessageW(form, WM_CLOSE, 0, 0); }, systemIni, zolIni, old},
      {switcher, {}, click(L"スクリーンセイバ無し"), switched(L"（なし）.scr"), saved, {{}, L"0"}},
      {switcher, L"win98", click(L"星空.scr に変更"), switched(L"星空.scr"), saved, old},
      // The second file of the file list, 迷路.scr, then 「変　更」 and 「終　了」.
      {configurator,
       {},
       [](HWND form) {
         test::PostClick(form, POINT{60, 64});
         test::PostClick(form, L"変　更");
         test::PostClick(form, L"終　了");
       },
       switched(L"迷路.scr"),
       zolIni,
       {saver(L"迷路.scr"), L"1"}},
  };
  for (const Case& c : cases) {
    test::SetRegistryText(wineKey, L"Version", c.windowsVersion);
    test::WriteDesktopScreenSaver(old);
    test::WriteBytes(install.systemIni, systemIni);
    test::WriteBytes(install.zolIni, zolIni);
    EXPECT_TRUE(test::RunProgram(install, c.program.first, c.program.second, c.act));
    const std::string label = "case " + std::to_string(&c - cases);
    EXPECT_EQ(test::ReadBytes(install.systemIni), c.systemIniAfter) << label;
    EXPECT_EQ(test::ReadBytes(install.zolIni), c.zolIniAfter) << label;
    EXPECT_EQ(test::ReadDesktopScreenSaver(), c.registry) << label;
  }
}

}  // namespace
}  // namespace zol
