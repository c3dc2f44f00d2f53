#include "installation.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <sddl.h>

namespace zol::test {
namespace fs = std::filesystem;

Installation::Installation() {
  fs::create_directories(systemIni.parent_path());
  fs::create_directories(savers);
  fs::create_directories(panel);
  const std::wstring drive = folder.Path().root_name().wstring();
  lines = {drive,
           DirOf(systemIni.parent_path()),
           drive,
           DirOf(savers),
           L"コントロールパネルのあるドライブ=" + drive,
           L"コントロールパネルのあるディレクトリ=" + DirOf(panel),
           L"星空.scr",
           L"迷路.scr",
           L"1500",
           L"3000"};
  WriteBytes(systemIni, "[boot]\r\nSCRNSAVE.EXE=C:\\OLD.SCR\r\n[display]\r\nDisplayFallback=0\r\n");
  WriteZolIni();
}

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

std::wstring Installation::DirOf(const fs::path& folder) {
  return L"\\" + folder.relative_path().wstring() + L"\\";
}

std::string Installation::ZolIniAt(const wchar_t* top, const wchar_t* left) const {
  ZolLines saved = lines;
  saved.top = top;
  saved.left = left;
  return ZolIniBytes(saved);
}

ReportedErrors::ReportedErrors(forms::Form& form) {
  form.ReportError = [this](const Error& error) {
    kinds.push_back(error.Kind());
    lastText = error.Text();
  };
}

namespace {

std::optional<std::wstring> RegistryText(const wchar_t* key, const wchar_t* name) {
  wchar_t text[1024];
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size)) {
    return std::nullopt;
  }
  return text;
}

}  // namespace

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

bool WaitForFile(const fs::path& file) {
  for (int i = 0; i < 200 && !fs::exists(file); ++i) Sleep(100);
  return fs::exists(file);
}

void InstallFakeControlPanel(const fs::path& folder) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  fs::copy_file(fs::path(self).parent_path() / "control.exe", folder / "control.exe",
                fs::copy_options::overwrite_existing);
}

bool RunProgram(const Installation& install, const wchar_t* program, const wchar_t* caption,
                const std::function<void(HWND form)>& act) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path path = fs::path(self).parent_path().parent_path() / program;
  std::wstring commandLine = L"\"" + path.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      install.folder.Path().c_str(), &startup, &process)) {
    return false;
  }
  WaitForInputIdle(process.hProcess, 20000);
  const HWND form = FindWindowW(L"ZolForm", caption);
  if (form) act(form);
  const bool ended = form && WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended;
}

void PostClick(HWND form, POINT point) {
  const HWND control = ChildWindowFromPointEx(form, point, CWP_SKIPINVISIBLE);
  MapWindowPoints(form, control, &point, 1);
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
  PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

void PostClick(HWND form, const wchar_t* button) {
  RECT place{};
  GetWindowRect(FindWindowExW(form, nullptr, L"Button", button), &place);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&place), 2);
  PostClick(form, {(place.left + place.right) / 2, (place.top + place.bottom) / 2});
}

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
  for (HWND tooltip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tooltip;
       tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)) {
    wchar_t text[1024] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    if (*text) return text;
  }
  return L"";
}

void PressKey(HWND form, UINT key, bool alt) {
  const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN, up = alt ? WM_SYSKEYUP : WM_KEYUP;
  for (const UINT message : {down, up}) {
    MSG msg{};
    msg.hwnd = GetFocus() ? GetFocus() : form;
    msg.message = message;
    msg.wParam = key;
    msg.lParam = (message == down ? 1 : 0xC0000001) | (alt ? 1 << 29 : 0);
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
