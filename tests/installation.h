// A scratch installation for the programs' tests: zol.ini, WINDOWS\system.ini and a folder of
// screen savers, all inside a scratch folder. Windows only.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "error.h"
#include "forms.h"
#include "scratch.h"

namespace zol::test {

// The ten lines of zol.ini as text; Write() encodes them in code page 932.
struct ZolLines {
  std::wstring systemIniDrive, systemIniDir, favouriteDrive, favouriteDir;
  std::wstring panelDriveLine, panelDirLine, favouriteName, alternateName, top, left;
};

// The bytes of a zol.ini with these lines.
std::string ZolIniBytes(const ZolLines& lines);

class Installation {
 public:
  Installation();

  ZolLines lines;
  ScratchFolder folder;
  std::filesystem::path zolIni = folder / "zol.ini";
  std::filesystem::path systemIni = folder / "WINDOWS" / "system.ini";
  std::filesystem::path savers = folder / L"セイバー";
  std::filesystem::path panel = folder / "panel";

  void WriteZolIni() const { WriteBytes(zolIni, ZolIniBytes(lines)); }
  // "\...\" of a folder of the scratch installation, as zol.ini names it.
  static std::wstring DirOf(const std::filesystem::path& folder);
  // The bytes of zol.ini with the position lines given.
  std::string ZolIniAt(const wchar_t* top, const wchar_t* left) const;
};

// Records the error reports of a form instead of showing them.
struct ReportedErrors {
  explicit ReportedErrors(forms::Form& form);
  std::vector<ErrorKind> kinds;
  std::wstring lastText;
};

// The screen saver that Windows of the NT family keeps under HKEY_CURRENT_USER, and
// ScreenSaveActive ("1" or "0"); nothing for a value that is absent.
inline constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";
using DesktopScreenSaver = std::pair<std::optional<std::wstring>, std::optional<std::wstring>>;
DesktopScreenSaver ReadDesktopScreenSaver();
void WriteDesktopScreenSaver(const DesktopScreenSaver& values);
// Sets or, with nothing, deletes a text value under HKEY_CURRENT_USER.
void SetRegistryText(const wchar_t* key, const wchar_t* name,
                     const std::optional<std::wstring>& text);

// Puts the values of a key under HKEY_CURRENT_USER back as they were, so that what a test changes
// in the Wine prefix reaches no other test.
class KeptRegistryTexts {
 public:
  KeptRegistryTexts(const wchar_t* key, std::initializer_list<const wchar_t*> names);
  ~KeptRegistryTexts();
  KeptRegistryTexts(const KeptRegistryTexts&) = delete;
  KeptRegistryTexts& operator=(const KeptRegistryTexts&) = delete;

 private:
  const wchar_t* key_;
  std::vector<std::pair<const wchar_t*, std::optional<std::wstring>>> texts_;
};

// Denies setting and deleting the values of a key under HKEY_CURRENT_USER while it lives, as a
// policy that locks the key does.
class LockedRegistryKey {
 public:
  explicit LockedRegistryKey(const wchar_t* key);
  ~LockedRegistryKey();
  LockedRegistryKey(const LockedRegistryKey&) = delete;
  LockedRegistryKey& operator=(const LockedRegistryKey&) = delete;

 private:
  HKEY key_ = nullptr;
  std::vector<BYTE> security_;  // the key's own access list, to put back
};

// A test of a program's window on a scratch installation, its error reports recorded.
template <class Window>
class WindowTest : public ::testing::Test {
 protected:
  KeptRegistryTexts desktop{kDesktopKey, {L"SCRNSAVE.EXE", L"ScreenSaveActive"}};
  Installation install;
  std::unique_ptr<Window> window;
  std::unique_ptr<ReportedErrors> reported;

  // Creates the window and runs its start-up; false when the start-up failed.
  bool Start() {
    window = std::make_unique<Window>(install.zolIni);
    reported = std::make_unique<ReportedErrors>(window->form);
    return window->form.Open();
  }

  void Click(forms::Control& control) { SendMessageW(control.Handle(), BM_CLICK, 0, 0); }
};

// Copies the fake control panel (tests/fake_control.cpp), which writes "started.txt" beside
// itself, into the folder; WaitForFile waits for such a file.
void InstallFakeControlPanel(const std::filesystem::path& folder);
bool WaitForFile(const std::filesystem::path& file);

// Runs a program built beside the tests (e.g. L"switcher\\zolswap.exe") as a process of its own
// in the installation's folder; once it waits for input, acts on its window, found by its
// caption, and waits for the program to end. False when the window never came or the program
// did not end.
bool RunProgram(const Installation& install, const wchar_t* program, const wchar_t* caption,
                const std::function<void(HWND form)>& act);
// Posts the mouse messages of a left click at a point of a window's client area, or in the middle
// of its button with this caption, to the control there, as the mouse of a user produces them.
void PostClick(HWND form, POINT point);
void PostClick(HWND form, const wchar_t* button);

// Sends the form the notification that Win32 sends for a user's action on a control.
void Notify(HWND control, WORD code);
// Highlights a list box's entry and notifies the form, as a click does.
void SelectEntry(HWND list, const wchar_t* text);

// How many lines of dark text the control draws inside its edges.
int TextLines(HWND control);
// The text of the control's tooltip; empty when it has none.
std::wstring TooltipText(HWND control);

// Presses and releases a key, with Alt or not, on the focused control as the form's message loop
// passes it on.
void PressKey(HWND form, UINT key, bool alt = false);
void ExpectTabOrder(HWND form, std::initializer_list<HWND> order);
// The entries of a list box.
std::vector<std::wstring> ListEntries(HWND list);

// The test command gives the tests two drives of their own in the Wine prefix: R: on an empty
// folder holding only the marker file ".zol-test-drive", and Q: on a folder that does not exist.
inline constexpr const wchar_t* kTestRootDrive = L"R:";
inline constexpr const wchar_t* kUnreadableDrive = L"Q:";
bool HaveTestDrives();

}  // namespace zol::test
