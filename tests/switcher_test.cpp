#include <gtest/gtest.h>

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
};

// The buttons are named after the screen savers as zol.ini names them, whatever they hold.
TEST_F(SwitcherTest, StartUp) {
  install.lines.favouriteName = L"";
  install.lines.alternateName = L"=c.scr";
  install.WriteZolIni();
  ASSERT_TRUE(Start());
  zolswap::Form1& w = *window;
  EXPECT_EQ(forms::WindowText(w.Command1.Handle()), L" に変更");
  EXPECT_EQ(forms::WindowText(w.Command3.Handle()), L"=c.scr に変更");
  EXPECT_EQ(GetFocus(), w.Command1.Handle());
  test::ExpectTabOrder(w.form.Handle(),
                       {w.Command1.Handle(), w.Command2.Handle(), w.Command3.Handle(),
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
  RECT client;
  GetClientRect(form, &client);
  EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(171L, 196L));
}

// Each command ends the program; a replaced entry saves zol.ini with the window's position, an
// inserted one does not. Wine answers as Windows of the NT family: the registry takes the entry.
TEST_F(SwitcherTest, Commands) {
  const std::string replaced = "[boot]\r\n; scrnsave.exe=x\r\nSCRNSAVE.EXE=a.scr\r\n";
  const std::string inserted = "[boot]\r\nDisplayFallback=0\r\n";
  const std::string zolIni = test::ReadBytes(install.zolIni);
  test::InstallFakeControlPanel(install.panel);
  struct Case {
    forms::CommandButton zolswap::Form1::*button;
    std::string systemIni, systemIniAfter, zolIniAfter;
    test::DesktopScreenSaver registry;
  };
  const test::DesktopScreenSaver old = {L"C:\\OLD.SCR", L""};
  const std::string moved = install.ZolIniAt(L" 3000 ", L" 4500 ");
  const Case cases[] = {
      {&zolswap::Form1::Command1,
       replaced,
       "[boot]\r\n" + NewEntry(L"星空.scr") + "\r\nSCRNSAVE.EXE=a.scr\r\n",
       moved,
       {Saver(L"星空.scr"), L"1"}},
      {&zolswap::Form1::Command2,
       replaced,
       "[boot]\r\n" + NewEntry(L"（なし）.scr") + "\r\nSCRNSAVE.EXE=a.scr\r\n",
       moved,
       {std::nullopt, L"0"}},
      {&zolswap::Form1::Command3,
       inserted,
       inserted + NewEntry(L"迷路.scr") + "\r\n",
       zolIni,
       {Saver(L"迷路.scr"), L"1"}},
      {&zolswap::Form1::Command4, replaced, replaced, moved, old},
  };
  for (const Case& c : cases) {
    test::WriteBytes(install.systemIni, c.systemIni);
    test::WriteBytes(install.zolIni, zolIni);
    test::WriteDesktopScreenSaver(old);
    ASSERT_TRUE(Start());
    SetWindowPos(window->form.Handle(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Click((*window).*c.button);
    const auto label = &c - cases;
    EXPECT_TRUE(window->form.Ended()) << label;
    EXPECT_TRUE(reported->kinds.empty()) << label;
    EXPECT_EQ(test::ReadBytes(install.systemIni), c.systemIniAfter) << label;
    EXPECT_EQ(test::ReadBytes(install.zolIni), c.zolIniAfter) << label;
    EXPECT_EQ(test::ReadDesktopScreenSaver(), c.registry) << label;
  }
  EXPECT_TRUE(test::WaitForFile(install.panel / "started.txt"));
}

TEST_F(SwitcherTest, FailedCommandLeavesTheWindowOpen) {
  const std::string before = "SCRNSAVE.EXE=a.scr\r\n";
  std::optional<test::LockedRegistryKey> locked;
  const auto readOnly = [](const fs::path& file) {
    return [file](bool on) { test::SetReadOnly(file, on); };
  };
  struct Case {
    const char* name;
    std::function<void(bool on)> protect;
    forms::CommandButton zolswap::Form1::*button;
    ErrorKind kind;
    std::string systemIniAfter;
  };
  const Case cases[] = {
      {"zol.ini write-protected", readOnly(install.zolIni), &zolswap::Form1::Command3,
       ErrorKind::AccessDenied, NewEntry(L"迷路.scr") + "\r\n"},
      {"no control panel", {}, &zolswap::Form1::Command4, ErrorKind::CannotStart, before},
      {"registry locked",
       [&](bool on) { on ? (void)locked.emplace(test::kDesktopKey) : locked.reset(); },
       &zolswap::Form1::Command1, ErrorKind::RegistryFailed, NewEntry(L"星空.scr") + "\r\n"},
  };
  for (const Case& c : cases) {
    test::WriteBytes(install.systemIni, before);
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
              c.systemIniAfter != before && !registry)
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

}  // namespace
}  // namespace zol
