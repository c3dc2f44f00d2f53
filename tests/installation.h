// A scratch installation for the programs' tests: zol.ini, WINDOWS\system.ini and a folder of
// screen savers, all inside a scratch folder. Windows only.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

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

  void WriteZolIni() const;
  // "C:" and "\...\" of a folder of the scratch installation, as zol.ini names them.
  static std::wstring DriveOf(const std::filesystem::path& folder);
  static std::wstring DirOf(const std::filesystem::path& folder);
};

// Records the error reports of a form instead of showing them.
struct ReportedErrors {
  explicit ReportedErrors(forms::Form& form);
  std::vector<ErrorKind> kinds;
  std::wstring lastText;
};

// Where Windows of the NT family keeps its screen saver, under HKEY_CURRENT_USER.
inline constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";

// A text value under HKEY_CURRENT_USER; nothing when it is absent, and setting nothing deletes it.
std::optional<std::wstring> RegistryText(const wchar_t* key, const wchar_t* name);
void SetRegistryText(const wchar_t* key, const wchar_t* name,
                     const std::optional<std::wstring>& text);

// The screen saver that the NT family's registry names, and ScreenSaveActive ("1" or "0").
using DesktopScreenSaver = std::pair<std::optional<std::wstring>, std::optional<std::wstring>>;
DesktopScreenSaver ReadDesktopScreenSaver();
void WriteDesktopScreenSaver(const DesktopScreenSaver& values);

// Puts text values under HKEY_CURRENT_USER back as they were, so that what a test changes in the
// Wine prefix reaches no other test.
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

// A control's place in the form's client area, in pixels.
RECT PlaceOf(HWND control);

// Starts the fake control panel (tests/fake_control.cpp), which writes "started.txt" beside
// itself; waits for that file.
bool WaitForFile(const std::filesystem::path& file, int seconds = 20);
void InstallFakeControlPanel(const std::filesystem::path& folder);

// Moves the mouse to a point of a window's client area, or to the middle of a control, and
// presses and releases the left button there, as a user would.
void ClickAt(HWND window, POINT point);
void ClickAt(HWND control);

}  // namespace zol::test

namespace zol::test {

// Sends the form the notification that Win32 sends for a user's action on a control.
void Notify(HWND control, WORD code);

// Highlights a list box's entry and notifies the form, as a click does.
void SelectEntry(HWND list, const wchar_t* text);

// Expects controls with these texts; a label's text on one line within the label's width.
struct ExpectedControl {
  HWND control;
  const wchar_t* text;
};
void ExpectControls(std::initializer_list<ExpectedControl> controls);
// The width of the control's text on one line in the control's font, in pixels.
int TextWidth(HWND control);
// How many lines of dark text the control draws inside its edges.
int TextLines(HWND control);
// The text of the control's tooltip; empty when it has none.
std::wstring TooltipText(HWND control);

// Presses and releases a key on the focused control as the form's message loop passes it on.
void PressKey(HWND form, UINT key);
void ExpectTabOrder(HWND form, std::initializer_list<HWND> order);

// The entries of a list box.
std::vector<std::wstring> ListEntries(HWND list);

// The test command gives the tests two drives of their own in the Wine prefix: R: on an empty
// folder holding only the marker file ".zol-test-drive", and Q: on a folder that does not exist.
inline constexpr const wchar_t* kTestRootDrive = L"R:";
inline constexpr const wchar_t* kUnreadableDrive = L"Q:";
bool HaveTestDrives();

}  // namespace zol::test
