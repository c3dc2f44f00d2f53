#include "installation.h"

namespace zol::test {
namespace fs = std::filesystem;

Installation::Installation() {
  fs::create_directories(systemIni.parent_path());
  fs::create_directories(savers);
  for (const wchar_t* name : {L"星空.scr", L"迷路.scr"}) WriteBytes(savers / name, "");
  const std::wstring drive = folder.Path().root_name().wstring(),
                     panelDrive = L"コントロールパネルのあるドライブ=" + drive,
                     panelDir = L"コントロールパネルのあるディレクトリ=" + DirOf(folder.Path());
  lines = {drive,       DirOf(systemIni.parent_path()),
           drive,       DirOf(savers),
           panelDrive,  panelDir,
           L"星空.scr", L"迷路.scr",
           L"1500",     L"3000"};
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

void PostClick(HWND form, const wchar_t* button) {
  const HWND control = FindWindowExW(form, nullptr, L"Button", button);
  RECT place{};
  GetClientRect(control, &place);
  const LPARAM middle = MAKELPARAM(place.right / 2, place.bottom / 2);
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
  PostMessageW(control, WM_LBUTTONUP, 0, middle);
}

}  // namespace zol::test
