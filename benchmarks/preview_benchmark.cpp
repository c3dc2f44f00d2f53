// Prints how quickly zolset's preview follows the pick. zolset is started on a scratch
// installation, its preview opened from the file list's menu, and two screen savers are picked in
// turn in the file list, each once the one before has started: the time from the click to the new
// screen saver's start, and the longest time in which the window takes no message posted to it.
// First with screen savers that end when their picture goes, then with ones that keep running
// (the configurator ends them a second later): copies of bench_saver.exe, which sets an event
// when it has started. Not a test: it asserts nothing.
//
//   preview_benchmark [picks]   (20 of each kind unless given)
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"

namespace {

constexpr DWORD kTimeout = 20000;  // ms
constexpr int kWarmUp = 2;         // picks of each kind that are not counted
constexpr DWORD kPause = 100;      // ms from a screen saver's start to the next pick

struct Kind {
  const char* name;
  const wchar_t* files[2];
};
constexpr Kind kKinds[] = {
    {"screen savers that end", {L"quick1.scr", L"quick2.scr"}},
    {"screen savers that keep running", {L"stubborn1.scr", L"stubborn2.scr"}}};

constexpr const char* kName = "preview_benchmark";

// Calls the function until it returns something other than null, for at most the timeout.
template <class Function>
auto WaitFor(Function function, const char* what) {
  for (const double end = Now() + kTimeout;; Sleep(1)) {
    if (const auto found = function()) return found;
    if (Now() > end) Fail(kName, what);
  }
}

// A click on an entry of the list, as the mouse posts it.
void Click(HWND list, const wchar_t* entry, bool right) {
  const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, -1, LPARAM(entry));
  RECT item;
  if (index == LB_ERR || SendMessageW(list, LB_GETITEMRECT, index, LPARAM(&item)) == LB_ERR)
    Fail(kName, "an entry is missing from the file list");
  const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  PostMessageW(list, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
  PostMessageW(list, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
}

// For each pick, the longest time in which the configurator took no message posted to it. A sent
// message would not tell: while the configurator waits for a screen saver's end, it answers what
// other programs send but takes no input. A posted one waits behind the clicks: a new text limit
// for the hidden text box, read back until it has taken.
struct Watcher {
  HWND textBox;
  std::vector<double> longest;
  std::atomic<int> pick{-1};  // none: not watched
  std::atomic<bool> done{false};

  void Run() {
    for (WPARAM limit = 100000; !done; ++limit, Sleep(1)) {
      if (pick < 0) continue;
      const double start = Now();
      PostMessageW(textBox, EM_SETLIMITTEXT, limit, 0);
      DWORD_PTR taken = 0;
      while (SendMessageTimeoutW(textBox, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, kTimeout, &taken) &&
             taken != limit)
        Sleep(1);
      if (const int at = pick; at >= 0) longest[at] = std::max(longest[at], Now() - start);
    }
  }
};

// The median and the maximum, as printed.
std::string Figures(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  char text[64];
  std::snprintf(text, sizeof text, "median %6.1f, maximum %6.1f",
                (values[(n - 1) / 2] + values[n / 2]) / 2, values.back());
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int picks = std::max(1, argc > 1 ? _wtoi(argv[1]) : 20);
  const std::wstring here = ExecutableFolder();

  // The scratch installation: zol.ini, WINDOWS\system.ini and the screen savers in SAVERS.
  const std::wstring folder = TempFolder(L"zol-preview-benchmark");
  LayOutInstallation(kName, folder, L"quick1.scr", L"quick2.scr", L"1500", L"3000",
                     L"[boot]\r\nSCRNSAVE.EXE=" + folder + L"SAVERS\\quick1.scr\r\n");
  CreateDirectoryW((folder + L"SAVERS").c_str(), nullptr);
  for (const Kind& kind : kKinds) {
    for (const wchar_t* file : kind.files) {
      if (!CopyFileW((here + L"bench_saver.exe").c_str(), (folder + L"SAVERS\\" + file).c_str(),
                     FALSE))
        Fail(kName, "cannot copy bench_saver.exe");
    }
  }

  const HANDLE started = CreateEventW(nullptr, FALSE, FALSE, L"Local\\ZolPreviewStarted");
  const std::wstring zolset = here + L"..\\configurator\\zolset.exe";
  std::wstring commandLine = L"\"" + zolset + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!started || !CreateProcessW(zolset.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                  nullptr, folder.c_str(), &startup, &process))
    Fail(kName, "cannot start zolset");
  WaitForInputIdle(process.hProcess, kTimeout);
  const HWND form =
      WaitFor([] { return FindWindowW(L"ZolForm", L"ゾルヴァ(ZOL3.60)"); }, "no window");
  const HWND list = WaitFor(
      [&] {
        HWND found = nullptr;
        while ((found = FindWindowExW(form, found, L"ListBox", nullptr)) &&
               SendMessageW(found, LB_FINDSTRINGEXACT, -1, LPARAM(kKinds[0].files[0])) == LB_ERR) {
        }
        return found;
      },
      "no file list");

  // The preview, from the menu of the first file.
  Click(list, kKinds[0].files[0], true);
  WaitFor([] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)); }, "no menu");
  PostMessageW(form, WM_CHAR, L'p', 1);
  if (WaitForSingleObject(started, kTimeout) != WAIT_OBJECT_0) Fail(kName, "no preview");

  // The picks: the two files of each kind in turn, the first few not counted.
  Watcher watcher{FindWindowExW(form, nullptr, L"Edit", nullptr), std::vector<double>(2 * picks)};
  std::thread watching([&] { watcher.Run(); });
  std::vector<double> toStart[2];
  for (int kind = 0; kind < 2; ++kind) {
    for (int pick = -kWarmUp; pick < picks; ++pick) {
      watcher.pick = pick < 0 ? -1 : kind * picks + pick;
      const double clicked = Now();
      Click(list, kKinds[kind].files[(pick + kWarmUp + 1) % 2], false);
      if (WaitForSingleObject(started, kTimeout) != WAIT_OBJECT_0)
        Fail(kName, "no screen saver started");
      if (pick >= 0) toStart[kind].push_back(Now() - clicked);
      Sleep(kPause);
    }
  }
  watcher.pick = -1;
  watcher.done = true;
  watching.join();

  // zolset closed, then the scratch installation removed once the screen savers have ended.
  PostMessageW(form, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, kTimeout);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(started);
  for (const Kind& kind : kKinds) {
    for (const wchar_t* file : kind.files) {
      for (int i = 0; i < 50 && !DeleteFileW((folder + L"SAVERS\\" + file).c_str()); ++i)
        Sleep(100);
    }
  }
  RemoveDirectoryW((folder + L"SAVERS").c_str());
  RemoveInstallation(folder);

  std::printf(
      "zolset's preview, %d picks of each kind, in ms: from the pick to the start; the "
      "longest time the window does not answer\n",
      picks);
  for (int kind = 0; kind < 2; ++kind) {
    const auto longest = watcher.longest.begin() + kind * picks;
    std::printf("%-32s %s; %s\n", kKinds[kind].name, Figures(toStart[kind]).c_str(),
                Figures({longest, longest + picks}).c_str());
  }
  return 0;
}
