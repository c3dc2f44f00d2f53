// Prints how long a switch takes end to end, and how much memory it takes: zolswap is started on
// a scratch installation, its window waited for, 「スクリーンセイバ無し」 clicked and its end
// waited for; the same for bare_button, a program with nothing but that button, and for
// bare_themed, the same with the programs' manifest (common controls 6 and DPI awareness); and
// "zolswap /none", the same switch from the command line, with no window, started and waited for.
// They are started in turn, under the same Wine server. Not a test: it asserts nothing.
//
//   switch_benchmark [pairs]   (20 unless given)
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

constexpr const wchar_t* kButton = L"スクリーンセイバ無し";
constexpr DWORD kTimeout = 20000;  // ms

struct Program {
  const char* name;
  std::wstring path;
  const wchar_t* caption;  // none for a program that shows no window
  const wchar_t* arguments = L"";
};

// Times in ms from the start: to the window shown, to the click, to the end.
struct Run {
  double shown, clicked, ended;
  SIZE_T peakWorkingSet;
};

constexpr const char* kName = "switch_benchmark";

// zol.ini and WINDOWS\system.ini in a scratch folder "C:\...\": what a switch reads and rewrites.
struct Installation {
  explicit Installation(const std::wstring& scratch)
      : folder(scratch),
        files(LayOutInstallation(
            kName, folder, L"星空.scr", L"迷路.scr", L"1500", L"3000",
            L"[boot]\r\nSCRNSAVE.EXE=C:\\OLD.SCR\r\n[display]\r\nDisplayFallback=0\r\n")) {}
  // Before each switch: the files as an installation has them, so that every switch rewrites both.
  void Reset() const {
    WriteBytes(kName, folder + L"zol.ini", files.zolIni);
    WriteBytes(kName, folder + L"WINDOWS\\system.ini", files.systemIni);
  }
  std::wstring folder;
  InstallationFiles files;
};

// Presses and releases the left mouse button in the middle of a window, as a user does.
void Click(HWND control) {
  RECT client;
  GetClientRect(control, &client);
  POINT point{client.right / 2, client.bottom / 2};
  ClientToScreen(control, &point);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3] = {};
  const DWORD flags[3] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
  for (int i = 0; i < 3; ++i) {
    inputs[i].type = INPUT_MOUSE;
    inputs[i].mi.dx = MulDiv(point.x, 65535, width - 1);
    inputs[i].mi.dy = MulDiv(point.y, 65535, height - 1);
    inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_ABSOLUTE;
  }
  SendInput(3, inputs, sizeof *inputs);
}

// Starts the program, clicks its button as soon as its window shows and waits for its end. Times
// the run, or else follows the program's peak working set up to its end.
Run Switch(const Program& program, const std::wstring& folder, bool measureMemory) {
  std::wstring commandLine = L"\"" + program.path + L"\"" + program.arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const double start = Now();
  if (!CreateProcessW(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process))
    Fail(kName, "cannot start a program");
  // The programs show their window before they first wait for input: until then, no polling.
  if (program.caption) WaitForInputIdle(process.hProcess, kTimeout);
  HWND form = nullptr, button = nullptr;
  while (program.caption && (!button || !IsWindowVisible(form))) {
    if (Now() - start > kTimeout) Fail(kName, "no window");
    Sleep(1);
    form = FindWindowW(nullptr, program.caption);
    button = form ? FindWindowExW(form, nullptr, L"Button", kButton) : nullptr;
  }
  Run run{Now() - start, 0, 0, 0};
  run.clicked = Now() - start;
  if (button) Click(button);
  if (!measureMemory) {
    if (WaitForSingleObject(process.hProcess, kTimeout) != WAIT_OBJECT_0) Fail(kName, "no end");
    run.ended = Now() - start;
  } else {
    // Wine reads the peak from the living process only: once it has ended, it reads as zero.
    PROCESS_MEMORY_COUNTERS memory{};
    do {
      if (Now() - start > kTimeout) Fail(kName, "no end");
      if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
        run.peakWorkingSet = std::max(run.peakWorkingSet, memory.PeakWorkingSetSize);
    } while (WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

template <class T>
T Median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int pairs = std::max(1, argc > 1 ? _wtoi(argv[1]) : 20);
  constexpr int kMemoryPairs = 5;
  const std::wstring here = ExecutableFolder();
  const Program programs[] = {
      {"zolswap", here + L"..\\switcher\\zolswap.exe", L"ＺＯＬ３．６０"},
      {"bare_button", here + L"bare_button.exe", L"Bare button"},
      {"zolswap /none", here + L"..\\switcher\\zolswap.exe", nullptr, L" /none"},
      {"bare_themed", here + L"bare_themed.exe", L"Bare button"},
  };
  constexpr int kPrograms = std::size(programs);
  const Installation installation(TempFolder(L"zol-switch-benchmark"));

  // The first pair warms the caches up and is not counted. The memory is followed in pairs of its
  // own, after the timed ones: reading it slows the program down.
  std::vector<double> shown[kPrograms], ended[kPrograms], whole[kPrograms];
  std::vector<SIZE_T> peak[kPrograms];
  for (int pair = -1; pair < pairs + kMemoryPairs; ++pair) {
    for (int i = 0; i < kPrograms; ++i) {
      installation.Reset();
      const Run run = Switch(programs[i], installation.folder, pair >= pairs);
      if (pair < 0) continue;
      if (pair < pairs) {
        shown[i].push_back(run.shown);
        ended[i].push_back(run.ended - run.clicked);
        whole[i].push_back(run.ended);
      } else {
        peak[i].push_back(run.peakWorkingSet);
      }
    }
  }
  RemoveInstallation(installation.folder);

  constexpr double kMiB = 1 << 20;
  for (int i = 0; i < kPrograms; ++i) {
    std::printf("%-13s %6.1f ms end to end", programs[i].name, Median(whole[i]));
    if (programs[i].caption) {
      std::printf(" (%6.1f to the window, %5.1f from the click to the end)", Median(shown[i]),
                  Median(ended[i]));
    }
    std::printf(", peak working set %5.1f MiB\n", static_cast<double>(Median(peak[i])) / kMiB);
  }
  for (const auto& [i, yardstick] : {std::pair(0, 1), std::pair(2, 1), std::pair(0, 3)}) {
    std::printf(
        "%s / %s: %.2f times the time, %+.1f MiB peak working set "
        "(medians of %d and %d runs each, the programs in turn)\n",
        programs[i].name, programs[yardstick].name, Median(whole[i]) / Median(whole[yardstick]),
        (static_cast<double>(Median(peak[i])) - static_cast<double>(Median(peak[yardstick]))) /
            kMiB,
        pairs, kMemoryPairs);
  }
  return 0;
}
