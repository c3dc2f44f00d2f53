#include "installation.h"

namespace zol::test {
namespace fs = std::filesystem;

Installation::Installation() {
  fs::create_directories(systemIni.parent_path());
  fs::create_directories(panel);
  fs::create_directories(savers);
  for (const wchar_t* name : {L"星空.scr", L"迷路.scr"}) WriteBytes(savers / name, "");
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

}  // namespace zol::test
