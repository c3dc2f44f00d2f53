// zolinit [folder]: writes zol.ini for this machine into the folder, or into the working folder
// when none is given; the setup program runs it on the user's settings folder.
#include <windows.h>

#include "error.h"
#include "initial_settings.h"

namespace {

// To a console as text; to a file or a pipe as UTF-16 with a byte-order mark, which the setup
// program's command runner (nsExec) recognises, so that no character is lost on the way.
void Print(DWORD handle, std::wstring text) {
  const HANDLE out = GetStdHandle(handle);
  DWORD mode, written;
  text += L"\r\n";
  if (GetConsoleMode(out, &mode)) {
    WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  } else {
    text.insert(text.begin(), L'\xFEFF');
    WriteFile(out, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
              nullptr);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 2) {
    Print(STD_ERROR_HANDLE, L"使い方: zolinit [zol.ini を置くフォルダ]");
    return 2;
  }
  try {
    const zol::Path folder = zol::FullPath(argc == 2 ? argv[1] : L".");
    const std::vector<zol::Path> written =
        zolinit::WriteInitialSettings(folder, zolinit::ThisMachine());
    std::wstring report = written.empty()
                              ? L"zol.ini はすでにあるため、そのままにしました。\n" + folder
                              : L"作成しました。";
    for (const zol::Path& file : written) report += L"\n" + file;
    Print(STD_OUTPUT_HANDLE, report);
    return 0;
  } catch (const zol::Error& failure) {
    Print(STD_ERROR_HANDLE, L"zol.ini を作成できませんでした。\n" + failure.Text());
    return 1;
  }
}
