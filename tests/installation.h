// A scratch installation for the programs' tests: zol.ini, WINDOWS\system.ini and a folder of
// screen savers holding 星空.scr and 迷路.scr, all inside a scratch folder, which zol.ini names as
// the control panel's. Windows only.
#pragma once

#include <windows.h>

#include "scratch.h"

namespace zol::test {

// "\...\" of a folder, as zol.ini names it.
inline std::wstring DirOf(const std::filesystem::path& folder) {
  return L"\\" + folder.relative_path().wstring() + L"\\";
}

struct Installation {
  Installation() {
    std::filesystem::create_directories(systemIni.parent_path());
    std::filesystem::create_directories(savers);
    for (const wchar_t* name : {L"星空.scr", L"迷路.scr"}) WriteBytes(savers / name, "");
    const std::wstring drive = folder.Path().root_name().wstring();
    lines = {drive,
             DirOf(systemIni.parent_path()),
             drive,
             DirOf(savers),
             L"コントロールパネルのあるドライブ=" + drive,
             L"コントロールパネルのあるディレクトリ=" + DirOf(folder.Path()),
             L"星空.scr",
             L"迷路.scr",
             L"1500",
             L"3000"};
    WriteBytes(systemIni,
               "[boot]\r\nSCRNSAVE.EXE=C:\\OLD.SCR\r\n[display]\r\nDisplayFallback=0\r\n");
    WriteBytes(zolIni, ZolIniBytes(lines));
  }

  ZolLines lines;
  ScratchFolder folder;
  std::filesystem::path zolIni = folder / "zol.ini";
  std::filesystem::path systemIni = folder / "WINDOWS" / "system.ini";
  std::filesystem::path savers = folder / L"セイバー";
};

// Posts the mouse messages of a left click in the middle of the form's button with this caption,
// as the mouse of a user produces them.
inline void PostClick(HWND form, const wchar_t* button) {
  const HWND control = FindWindowExW(form, nullptr, L"Button", button);
  RECT place{};
  GetClientRect(control, &place);
  const LPARAM middle = MAKELPARAM(place.right / 2, place.bottom / 2);
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
  PostMessageW(control, WM_LBUTTONUP, 0, middle);
}

}  // namespace zol::test
