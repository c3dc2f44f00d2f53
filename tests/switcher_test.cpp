#include <gtest/gtest.h>

#include <memory>

#include "dpi.h"
#include "installation.h"
#include "switcher.h"

namespace zol {
namespace {
using test::Cp932;
namespace fs = std::filesystem;

class SwitcherTest : public test::WindowTest<zolswap::Form1> {
 protected:
  // A screen saver as the switches name it, in the favourite's folder.
  std::wstring Saver(const std::wstring& name) {
    return install.lines.favouriteDrive + install.lines.favouriteDir + name;
  }
  std::string NewEntry(const std::wstring& name) { return Cp932(L"SCRNSAVE.EXE=" + Saver(name)); }

  // zol.ini as the quick switcher saves it with the window at the position given (twips).
  std::string SavedZolIni(const wchar_t* top, const wchar_t* left) {
    test::ZolLines saved = install.lines;
    saved.top = top;
    saved.left = left;
    return test::ZolIniBytes(saved);
  }
};

TEST_F(SwitcherTest, WindowAsCreated) {
  ASSERT_TRUE(Start());
  const HWND form = window->form.Handle();
  EXPECT_EQ(forms::WindowText(form), L"ＺＯＬ３．６０");
  RECT client;
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, 171);
  EXPECT_EQ(client.bottom, 196);
  const LONG style = GetWindowLongW(form, GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX));

  zolswap::Form1& w = *window;
  test::ExpectControls({
      {w.Command1.Handle(), L"星空.scr に変更"},
      {w.Command3.Handle(), L"迷路.scr に変更"},
      {w.Command2.Handle(), L"スクリーンセイバ無し"},
      {w.Command4.Handle(), L"コントロールパネル呼出"},
      {w.Label3.Handle(), L"ZOL Ver 1.00"},
  });
  EXPECT_EQ(GetFocus(), w.Command1.Handle());
  test::ExpectTabOrder(form, {w.Command1.Handle(), w.Command2.Handle(), w.Command3.Handle(),
                              w.Command4.Handle(), w.Command1.Handle()});
}

// Windows 7 to 8.1 lack the DPI functions of Windows 10 (kernel32 stands in for such a user32
// here): what takes their place gives the system DPI and its frame, where the functions themselves
// scale; the message font scales either way.
TEST_F(SwitcherTest, DpiFunctionsFallBackToTheSystemDpi) {
  ASSERT_TRUE(Start());
  const HWND form = window->form.Handle();
  const DWORD style = GetWindowLongW(form, GWL_STYLE);
  const UINT dpi = 96;  // the test prefix's
  RECT frame = {0, 0, 171, 196};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  NONCLIENTMETRICSW message{};
  message.cbSize = sizeof message;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof message, &message, 0);
  const forms::DpiFunctions fallback(GetModuleHandleW(L"kernel32.dll"));
  for (const forms::DpiFunctions* functions : {&forms::DpiFunctions::System(), &fallback}) {
    const bool scales = functions != &fallback;
    EXPECT_EQ(functions->ForSystem(), dpi);
    EXPECT_EQ(functions->ForWindow(form), dpi);
    RECT atDpi = {0, 0, 171, 196}, atDouble = atDpi;
    functions->AdjustFrame(atDpi, style, 0, dpi);
    functions->AdjustFrame(atDouble, style, 0, 2 * dpi);
    EXPECT_TRUE(EqualRect(&atDpi, &frame));
    EXPECT_EQ(atDouble.top < atDpi.top, scales);
    const LONG font = functions->MessageFont(dpi).lfHeight;
    EXPECT_EQ(font, message.lfMessageFont.lfHeight);
    EXPECT_EQ(functions->MessageFont(2 * dpi).lfHeight, 2 * font);
  }
}

TEST_F(SwitcherTest, StartUpFromTheSettings) {
  struct Case {
    const wchar_t* favourite;
    const wchar_t* alternate;
    const wchar_t* top;
    const wchar_t* left;
    const char* systemIni;
    const wchar_t* caption1;
    const wchar_t* caption3;
  };
  const Case cases[] = {
      {L"", L"迷路.scr", L"1500", L"3000", "", L" に変更", L"迷路.scr に変更"},
      {L"a=b.scr", L"=c.scr", L" -1500 ", L"60000", "[boot]\r\n", L"a=b.scr に変更",
       L"=c.scr に変更"},
  };
  for (const Case& c : cases) {
    install.lines.favouriteName = c.favourite;
    install.lines.alternateName = c.alternate;
    install.lines.top = c.top;
    install.lines.left = c.left;
    install.WriteZolIni();
    test::WriteBytes(install.systemIni, c.systemIni);
    ASSERT_TRUE(Start()) << testing::PrintToString(c.caption1);
    EXPECT_EQ(forms::WindowText(window->Command1.Handle()), c.caption1);
    EXPECT_EQ(forms::WindowText(window->Command3.Handle()), c.caption3);
    EXPECT_EQ(window->form.Top(), std::stoi(c.top));
    EXPECT_EQ(window->form.Left(), std::stoi(c.left));
    EXPECT_TRUE(IsWindowVisible(window->form.Handle()));
  }
}

TEST_F(SwitcherTest, FailedStartUpShowsNoWindow) {
  std::string shortFile = test::ZolIniBytes(install.lines);
  shortFile.resize(shortFile.rfind("\r\n", shortFile.size() - 3) + 2);
  struct Case {
    std::function<void()> arrange;
    ErrorKind kind;
  };
  const Case cases[] = {
      {[&] { fs::remove(install.zolIni); }, ErrorKind::FileNotFound},
      {[&] { test::WriteBytes(install.zolIni, shortFile); }, ErrorKind::InputPastEnd},
      {[&] { install.WriteZolIni(), fs::remove(install.systemIni); }, ErrorKind::FileNotFound},
  };
  for (const Case& c : cases) {
    c.arrange();
    EXPECT_FALSE(Start());
    EXPECT_EQ(reported->kinds, std::vector{c.kind});
    EXPECT_TRUE(window->form.Ended());
    EXPECT_FALSE(IsWindowVisible(window->form.Handle()));
  }
}

TEST_F(SwitcherTest, SwitchCommandsReplaceTheEntryAndSave) {
  // Wine answers as Windows of the NT family: the registry takes the entry too.
  struct Case {
    forms::CommandButton zolswap::Form1::*button;
    std::wstring name;
    test::DesktopScreenSaver registry;
  };
  const Case cases[] = {
      {&zolswap::Form1::Command1, L"星空.scr", {Saver(L"星空.scr"), L"1"}},
      {&zolswap::Form1::Command2, L"（なし）.scr", {std::nullopt, L"0"}},
      {&zolswap::Form1::Command3, L"迷路.scr", {Saver(L"迷路.scr"), L"1"}},
  };
  for (const Case& c : cases) {
    test::WriteBytes(install.systemIni, "[boot]\r\n; scrnsave.exe=x\r\nSCRNSAVE.EXE=a.scr\r\n");
    install.WriteZolIni();
    test::WriteDesktopScreenSaver({L"C:\\OLD.SCR", L""});
    ASSERT_TRUE(Start());
    SetWindowPos(window->form.Handle(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Click((*window).*c.button);
    EXPECT_TRUE(window->form.Ended());
    EXPECT_TRUE(reported->kinds.empty());
    EXPECT_EQ(test::ReadBytes(install.systemIni),
              "[boot]\r\n" + NewEntry(c.name) + "\r\nSCRNSAVE.EXE=a.scr\r\n");
    EXPECT_EQ(test::ReadBytes(install.zolIni), SavedZolIni(L" 3000 ", L" 4500 "));
    EXPECT_EQ(test::ReadDesktopScreenSaver(), c.registry);
  }
}

TEST_F(SwitcherTest, SwitchCommandsInsertTheEntryWithoutSaving) {
  test::WriteBytes(install.systemIni, "[boot]\r\nDisplayFallback=0\r\n");
  const std::string zolIni = test::ReadBytes(install.zolIni);
  ASSERT_TRUE(Start());
  Click(window->Command3);
  EXPECT_TRUE(window->form.Ended());
  EXPECT_EQ(test::ReadBytes(install.systemIni),
            "[boot]\r\nDisplayFallback=0\r\n" + NewEntry(L"迷路.scr") + "\r\n");
  EXPECT_EQ(test::ReadBytes(install.zolIni), zolIni);
  EXPECT_EQ(test::ReadDesktopScreenSaver(), test::DesktopScreenSaver(Saver(L"迷路.scr"), L"1"));
}

TEST_F(SwitcherTest, ControlPanelStartsAndSaves) {
  install.lines.panelDriveLine = install.lines.panelDriveLine.substr(
      install.lines.panelDriveLine.find(L'=') + 1);  // a line without "=" counts whole
  install.WriteZolIni();
  test::InstallFakeControlPanel(install.panel);
  const std::string systemIni = test::ReadBytes(install.systemIni);
  ASSERT_TRUE(Start());
  Click(window->Command4);
  EXPECT_TRUE(window->form.Ended());
  EXPECT_TRUE(test::WaitForFile(install.panel / "started.txt"));
  EXPECT_EQ(test::ReadBytes(install.zolIni), SavedZolIni(L" 1500 ", L" 3000 "));
  EXPECT_EQ(test::ReadBytes(install.systemIni), systemIni);
}

TEST_F(SwitcherTest, FailedCommandLeavesTheWindowOpen) {
  std::string thousandAndOne;
  for (int i = 0; i < 1001; ++i) thousandAndOne += "SCRNSAVE.EXE=a.scr\r\n";
  const std::string before = "SCRNSAVE.EXE=a.scr\r\n";
  std::optional<test::LockedRegistryKey> locked;
  const auto readOnly = [](const fs::path& file) {
    return [file](bool on) { test::SetReadOnly(file, on); };
  };
  struct Case {
    const char* name;
    std::string systemIni;
    std::function<void(bool on)> protect;
    forms::CommandButton zolswap::Form1::*button;
    ErrorKind kind;
    std::string systemIniAfter;
  };
  const Case cases[] = {
      {"system.ini write-protected", before, readOnly(install.systemIni), &zolswap::Form1::Command1,
       ErrorKind::AccessDenied, before},
      {"1001 lines",
       thousandAndOne,
       {},
       &zolswap::Form1::Command2,
       ErrorKind::TooManyLines,
       thousandAndOne},
      {"zol.ini write-protected", before, readOnly(install.zolIni), &zolswap::Form1::Command3,
       ErrorKind::AccessDenied, NewEntry(L"迷路.scr") + "\r\n"},
      {"no control panel", before, {}, &zolswap::Form1::Command4, ErrorKind::CannotStart, before},
      {"registry locked", before,
       [&](bool on) { on ? (void)locked.emplace(test::kDesktopKey) : locked.reset(); },
       &zolswap::Form1::Command1, ErrorKind::RegistryFailed, NewEntry(L"星空.scr") + "\r\n"},
  };
  for (const Case& c : cases) {
    test::WriteBytes(install.systemIni, c.systemIni);
    const std::string zolIni = test::ReadBytes(install.zolIni);
    ASSERT_TRUE(Start()) << c.name;
    if (c.protect) c.protect(true);
    Click((*window).*c.button);
    if (c.protect) c.protect(false);
    EXPECT_EQ(reported->kinds, std::vector{c.kind}) << c.name;
    EXPECT_FALSE(window->form.Ended()) << c.name;
    EXPECT_TRUE(IsWindowVisible(window->form.Handle())) << c.name;
    EXPECT_EQ(test::ReadBytes(install.systemIni), c.systemIniAfter) << c.name;
    EXPECT_EQ(test::ReadBytes(install.zolIni), zolIni) << c.name;
    // Only a failed save after a rewrite says that the screen saver was changed; a failed
    // registry step names the key and says that system.ini was.
    const bool registry = c.kind == ErrorKind::RegistryFailed;
    EXPECT_EQ(reported->lastText.find(L"スクリーンセイバーは変更しました") != std::wstring::npos,
              c.systemIniAfter != c.systemIni && !registry)
        << c.name;
    EXPECT_EQ(
        reported->lastText.find(L"system.ini は既に書き換えられています。\n\n"
                                L"HKEY_CURRENT_USER\\Control Panel\\Desktop") != std::wstring::npos,
        registry)
        << c.name;
  }
  // Whatever else a handler throws reaches the error report too.
  window->form.Dispatch([] { throw std::length_error("vector"); });
  EXPECT_EQ(reported->kinds.back(), ErrorKind::Unexpected);
}

// The program itself, driven from another process: a click with the real mouse switches, and a
// WM_CLOSE (a session that ends, a task manager) ends it without writing anything. Under Wine set
// to Windows 98, the 9x family, a switch leaves the registry alone.
TEST_F(SwitcherTest, ProgramSwitchesOrClosesFromOutside) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path program = fs::path(self).parent_path().parent_path() / "switcher" / "zolswap.exe";
  const std::string systemIni = test::ReadBytes(install.systemIni);
  const std::string zolIni = test::ReadBytes(install.zolIni);
  const auto switched = [&](const wchar_t* name) {
    return "[boot]\r\n" + NewEntry(name) + "\r\n[display]\r\nDisplayFallback=0\r\n";
  };
  const wchar_t* wineKey = L"Software\\Wine";
  const test::KeptRegistryTexts wineVersion(wineKey, {L"Version"});
  const test::DesktopScreenSaver old = {L"C:\\OLD.SCR", L""};
  struct Case {
    std::optional<std::wstring> windowsVersion;
    const wchar_t* button;
    bool close;  // instead of the click
    std::string systemIniAfter, zolIniAfter;
    test::DesktopScreenSaver registry;
  };
  const Case cases[] = {
      {std::nullopt, L"スクリーンセイバ無し", true, systemIni, zolIni, old},
      {std::nullopt,
       L"スクリーンセイバ無し",
       false,
       switched(L"（なし）.scr"),
       SavedZolIni(L" 1500 ", L" 3000 "),
       {std::nullopt, L"0"}},
      {L"win98", L"星空.scr に変更", false, switched(L"星空.scr"),
       SavedZolIni(L" 1500 ", L" 3000 "), old},
  };
  for (const Case& c : cases) {
    test::SetRegistryText(wineKey, L"Version", c.windowsVersion);
    test::WriteDesktopScreenSaver(old);
    test::WriteBytes(install.systemIni, systemIni);
    test::WriteBytes(install.zolIni, zolIni);
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, install.folder.Path().c_str(), &startup, &process));
    WaitForInputIdle(process.hProcess, 20000);
    HWND form = nullptr, button = nullptr;
    for (int i = 0; i < 200 && !button; ++i, Sleep(100)) {
      form = FindWindowW(L"ZolForm", L"ＺＯＬ３．６０");
      button = form ? FindWindowExW(form, nullptr, L"Button", c.button) : nullptr;
    }
    ASSERT_NE(button, nullptr);
    if (c.close) {
      SendMessageW(form, WM_CLOSE, 0, 0);
    } else {
      test::ClickAt(button);
    }
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::string label = testing::PrintToString(c.button) + (c.close ? " closed" : "");
    EXPECT_EQ(test::ReadBytes(install.systemIni), c.systemIniAfter) << label;
    EXPECT_EQ(test::ReadBytes(install.zolIni), c.zolIniAfter) << label;
    EXPECT_EQ(test::ReadDesktopScreenSaver(), c.registry) << label;
  }
}

}  // namespace
}  // namespace zol
