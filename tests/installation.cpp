#include "installation.h"

#include <gtest/gtest.h>

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
  form.ReportError = [this](const Error& error) { kinds.push_back(error.Kind()); };
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

void ClickAt(HWND control) {
  RECT client;
  GetClientRect(control, &client);
  const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
  PostMessageW(control, WM_LBUTTONUP, 0, middle);
}

}  // namespace zol::test
