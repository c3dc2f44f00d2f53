#include "installation.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <chrono>
#include <thread>

namespace zol::test {
namespace fs = std::filesystem;

Installation::Installation() {
  fs::create_directories(systemIni.parent_path());
  fs::create_directories(savers);
  fs::create_directories(panel);
  lines = {
      DriveOf(systemIni.parent_path()),
      DirOf(systemIni.parent_path()),
      DriveOf(savers),
      DirOf(savers),
      L"コントロールパネルのあるドライブ=" + DriveOf(panel),
      L"コントロールパネルのあるディレクトリ=" + DirOf(panel),
      L"星空.scr",
      L"迷路.scr",
      L"1500",
      L"3000",
  };
  WriteBytes(systemIni, "[boot]\r\nSCRNSAVE.EXE=C:\\OLD.SCR\r\n[display]\r\nDisplayFallback=0\r\n");
  WriteZolIni();
}

void Installation::WriteZolIni() const { WriteBytes(zolIni, ZolIniBytes(lines)); }

std::string ZolIniBytes(const ZolLines& lines) {
  const std::wstring text[] = {
      L"System.iniのあるドライブ =" + lines.systemIniDrive,
      L"system.iniのあるディレクトリ=" + lines.systemIniDir,
      L"お気に入りのスクリーンセイバーのあるドライブ =" + lines.favouriteDrive,
      L"お気に入りのスクリーンセイバーのあるディレクトリ=" + lines.favouriteDir,
      lines.panelDriveLine,
      lines.panelDirLine,
      L"お気に入りのスクリーンセイバー名 =" + lines.favouriteName,
      L"代替えのスクリーンセイバー名 =" + lines.alternateName,
      lines.top,
      lines.left,
  };
  std::string bytes;
  for (const std::wstring& line : text) bytes += Cp932(line) + "\r\n";
  return bytes;
}

std::wstring Installation::DriveOf(const fs::path& folder) { return folder.root_name().wstring(); }

std::wstring Installation::DirOf(const fs::path& folder) {
  return L"\\" + folder.relative_path().wstring() + L"\\";
}

ReportedErrors::ReportedErrors(forms::Form& form) {
  form.ReportError = [this](const Error& error) {
    kinds.push_back(error.Kind());
    lastText = error.Text();
  };
}

std::optional<std::wstring> RegistryText(const wchar_t* key, const wchar_t* name) {
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, nullptr, &size)) {
    return std::nullopt;
  }
  std::wstring text(size / sizeof(wchar_t), L'\0');
  RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text.data(), &size);
  text.resize(size / sizeof(wchar_t) - 1);
  return text;
}

void SetRegistryText(const wchar_t* key, const wchar_t* name,
                     const std::optional<std::wstring>& text) {
  if (!text) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
    return;
  }
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, text->c_str(),
                            static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS)
      << testing::PrintToString(name);
}

DesktopScreenSaver ReadDesktopScreenSaver() {
  return {RegistryText(kDesktopKey, L"SCRNSAVE.EXE"),
          RegistryText(kDesktopKey, L"ScreenSaveActive")};
}

void WriteDesktopScreenSaver(const DesktopScreenSaver& values) {
  SetRegistryText(kDesktopKey, L"SCRNSAVE.EXE", values.first);
  SetRegistryText(kDesktopKey, L"ScreenSaveActive", values.second);
}

KeptRegistryTexts::KeptRegistryTexts(const wchar_t* key,
                                     std::initializer_list<const wchar_t*> names)
    : key_(key) {
  for (const wchar_t* name : names) texts_.emplace_back(name, RegistryText(key, name));
}

KeptRegistryTexts::~KeptRegistryTexts() {
  for (const auto& [name, text] : texts_) SetRegistryText(key_, name, text);
}

LockedRegistryKey::LockedRegistryKey(const wchar_t* key) {
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, READ_CONTROL | WRITE_DAC, &key_),
            ERROR_SUCCESS);
  DWORD size = 0;
  RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
  security_.resize(size);
  EXPECT_EQ(RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, security_.data(), &size),
            ERROR_SUCCESS);
  PSECURITY_DESCRIPTOR locked = nullptr;  // 0x2: KEY_SET_VALUE, which deleting a value needs too
  ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x2;;;WD)(A;;KA;;;WD)",
                                                       SDDL_REVISION_1, &locked, nullptr);
  EXPECT_EQ(RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, locked), ERROR_SUCCESS);
  LocalFree(locked);
}

LockedRegistryKey::~LockedRegistryKey() {
  if (!key_) return;
  EXPECT_EQ(RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, security_.data()), ERROR_SUCCESS);
  RegCloseKey(key_);
}

RECT PlaceOf(HWND control) {
  RECT place;
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

bool WaitForFile(const fs::path& file, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (fs::exists(file)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

void InstallFakeControlPanel(const fs::path& folder) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  fs::copy_file(fs::path(self).parent_path() / "control.exe", folder / "control.exe",
                fs::copy_options::overwrite_existing);
}

void ClickAt(HWND window, POINT point) {
  ClientToScreen(window, &point);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, width - 1);
    input.mi.dy = MulDiv(point.y, 65535, height - 1);
  }
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  for (INPUT& input : inputs) {
    SendInput(1, &input, sizeof input);
    Sleep(50);
  }
}

void ClickAt(HWND control) {
  RECT client;
  GetClientRect(control, &client);
  ClickAt(control, {client.right / 2, client.bottom / 2});
}

}  // namespace zol::test

namespace zol::test {

void Notify(HWND control, WORD code) {
  SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
               reinterpret_cast<LPARAM>(control));
}

void SelectEntry(HWND list, const wchar_t* text) {
  const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, -1, LPARAM(text));
  ASSERT_NE(index, LB_ERR) << testing::PrintToString(text);
  SendMessageW(list, LB_SETCURSEL, index, 0);
  Notify(list, LBN_SELCHANGE);
}

void ExpectControls(std::initializer_list<ExpectedControl> controls) {
  for (const ExpectedControl& c : controls) {
    EXPECT_EQ(forms::WindowText(c.control), c.text);
    wchar_t windowClass[16];
    GetClassNameW(c.control, windowClass, 16);
    if (_wcsicmp(windowClass, L"Static") != 0) continue;
    RECT client;
    GetClientRect(c.control, &client);
    EXPECT_LE(TextWidth(c.control), client.right) << testing::PrintToString(c.text);
  }
}

int TextWidth(HWND control) {
  const std::wstring text = forms::WindowText(control);
  const HDC dc = GetDC(control);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT box = {};
  DrawTextW(dc, text.c_str(), -1, &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return box.right;
}

int TextLines(HWND control) {
  RECT client;
  GetClientRect(control, &client);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HDC dc = CreateCompatibleDC(nullptr);
  const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  const auto* pixels = static_cast<const DWORD*>(bits);
  const int edge = 4;  // the button's frame is dark too
  int lines = 0;
  bool inLine = false;
  for (int y = edge; y < client.bottom - edge; ++y) {
    bool dark = false;
    for (int x = edge; x < client.right - edge; ++x) {
      const DWORD pixel = pixels[y * client.right + x];
      dark |= GetRValue(pixel) < 0x40 && GetGValue(pixel) < 0x40 && GetBValue(pixel) < 0x40;
    }
    lines += dark && !inLine;
    inLine = dark;
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return lines;
}

std::wstring TooltipText(HWND control) {
  struct Search {
    HWND control;
    std::wstring text;
  } search{control, L""};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND tooltip, LPARAM found) -> BOOL {
        auto& wanted = *reinterpret_cast<Search*>(found);
        wchar_t windowClass[32];
        GetClassNameW(tooltip, windowClass, 32);
        if (_wcsicmp(windowClass, TOOLTIPS_CLASSW) != 0) return TRUE;
        wchar_t text[1024] = L"";
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = GetParent(wanted.control);
        tool.uId = reinterpret_cast<UINT_PTR>(wanted.control);
        tool.lpszText = text;
        SendMessageW(tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
        wanted.text = text;
        return wanted.text.empty();
      },
      reinterpret_cast<LPARAM>(&search));
  return search.text;
}

void PressKey(HWND form, UINT key) {
  for (const UINT message : {WM_KEYDOWN, WM_KEYUP}) {
    MSG msg{};
    msg.hwnd = GetFocus();
    msg.message = message;
    msg.wParam = key;
    msg.lParam = message == WM_KEYDOWN ? 1 : 0xC0000001;
    if (!IsDialogMessageW(form, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void ExpectTabOrder(HWND form, std::initializer_list<HWND> order) {
  for (auto control = order.begin(); control + 1 < order.end(); ++control) {
    EXPECT_EQ(GetNextDlgTabItem(form, *control, FALSE), control[1])
        << "after control " << control - order.begin();
  }
}

std::vector<std::wstring> ListEntries(HWND list) {
  std::vector<std::wstring> entries;
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring text(SendMessageW(list, LB_GETTEXTLEN, i, 0) + 1, L'\0');
    text.resize(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data())));
    entries.push_back(text);
  }
  return entries;
}

bool HaveTestDrives() {
  return fs::exists(std::wstring(kTestRootDrive) + L"\\.zol-test-drive") &&
         (GetLogicalDrives() & (1 << (kUnreadableDrive[0] - L'A')));
}

}  // namespace zol::test
