// Prints what "zolswap /tray" costs while it rests in the notification area: started on a scratch
// installation, its icon waited for and a few seconds given to settle, then for a minute its CPU
// time, its working set and its peak working set; the same for bare_button started hidden, a
// program that does nothing but wait in GetMessage, over the same minute. Where Wine shows the
// host's /proc on drive Z:, also what Linux counts for each: its CPU time, and its context switches
// (every wake-up is one). Wine gives another process's CPU time in steps of 10 ms. Not a test: it
// asserts nothing.
//
//   resident_benchmark [seconds]   (60 unless given)
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "bench_support.h"

namespace {

constexpr DWORD kTimeout = 20000;  // ms
constexpr DWORD kSettle = 3000;    // ms from the icon to the start of the measure

constexpr const char* kName = "resident_benchmark";

// The whole of a file of /proc, or nothing.
std::string ProcFile(const std::string& path) {
  std::ifstream file("Z:\\proc\\" + path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// What Linux counts for its process of that name (Wine names a process after its executable) in
// this Wine prefix: its CPU time in clock ticks of 10 ms and the context switches of all its
// threads; each -1 where /proc cannot be read.
struct HostCounts {
  long long ticks = -1, switches = -1;
};

HostCounts Host(const std::string& name) {
  const std::string self = ProcFile("self\\environ");
  const size_t entry = self.find("WINEPREFIX=");
  const std::string prefix =
      entry == self.npos ? "" : self.substr(entry, self.find('\0', entry) - entry + 1);
  WIN32_FIND_DATAA found;
  const HANDLE find = FindFirstFileA("Z:\\proc\\*", &found);
  if (find == INVALID_HANDLE_VALUE) return {};
  std::string process;
  const auto number = [&found] { return std::strspn(found.cFileName, "0123456789") > 0; };
  do {
    const std::string pid = found.cFileName;
    if (number() && ProcFile(pid + "\\comm") == name + "\n" &&
        ProcFile(pid + "\\environ").find(prefix) != std::string::npos)
      process = pid + "\\";
  } while (process.empty() && FindNextFileA(find, &found));
  FindClose(find);
  if (process.empty()) return {};
  const std::string stat = ProcFile(process + "stat");  // utime and stime: fields 14 and 15
  long long user = 0, kernel = 0;
  std::sscanf(stat.c_str() + stat.rfind(')') + 1,
              " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lld %lld", &user, &kernel);
  HostCounts counts{user + kernel, 0};
  const HANDLE tasks = FindFirstFileA(("Z:\\proc\\" + process + "task\\*").c_str(), &found);
  if (tasks == INVALID_HANDLE_VALUE) return {};
  do {
    if (!number()) continue;  // "." and ".."
    const std::string status = ProcFile(process + "task\\" + found.cFileName + "\\status");
    for (size_t at = 0; (at = status.find("ctxt_switches:", at)) != status.npos; at += 14)
      counts.switches += std::atoll(status.c_str() + at + 14);  // voluntary and involuntary
  } while (FindNextFileA(tasks, &found));
  FindClose(tasks);
  return counts;
}

struct Program {
  const char* name;
  std::wstring path, arguments;
  const wchar_t* windowClass;  // of the window that WM_CLOSE ends the program through
  std::string linuxName;
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
};

// What a process has used up to now.
struct Sample {
  ULONGLONG cpu = 0;  // kernel and user time, in 100 ns
  PROCESS_MEMORY_COUNTERS memory{};
  HostCounts host;
};

Sample Measure(const Program& program) {
  Sample sample;
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(program.process.hProcess, &created, &exited, &kernel, &user) ||
      !GetProcessMemoryInfo(program.process.hProcess, &sample.memory, sizeof sample.memory))
    Fail(kName, "cannot read a process's figures");
  for (const FILETIME& time : {kernel, user})
    sample.cpu += ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart;
  sample.host = Host(program.linuxName);
  return sample;
}

// Starts the program hidden and waits for its window: the resident icon's once it has a tooltip,
// which it sets as it adds the icon; the yardstick's once it waits for messages.
void Start(Program& program, const std::wstring& folder) {
  std::wstring commandLine = L"\"" + program.path + L"\" " + program.arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  if (!CreateProcessW(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &program.process))
    Fail(kName, "cannot start a program");
  WaitForInputIdle(program.process.hProcess, kTimeout);
  for (DWORD waited = 0;; waited += 50, Sleep(50)) {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, program.windowClass, nullptr));) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == program.process.dwProcessId && GetWindowTextLengthW(w) > 0) program.window = w;
    }
    if (program.window) return;
    if (waited > kTimeout) Fail(kName, "no window");
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const DWORD seconds = std::max(1, argc > 1 ? _wtoi(argv[1]) : 60);
  const std::wstring here = ExecutableFolder();

  // zol.ini and WINDOWS\system.ini, as an installation has them.
  const std::wstring folder = TempFolder(L"zol-resident-benchmark");
  LayOutInstallation(kName, folder, L"星空.scr", L"迷路.scr", L"1500", L"3000",
                     L"[boot]\r\nSCRNSAVE.EXE=C:\\OLD.SCR\r\n[display]\r\nDisplayFallback=0\r\n");

  Program programs[] = {
      {"zolswap /tray", here + L"..\\switcher\\zolswap.exe", L"/tray", L"ZolIcon", "zolswap.exe"},
      {"bare_button", here + L"bare_button.exe", L"", L"BareButton", "bare_button.exe"}};
  for (Program& program : programs) Start(program, folder);
  Sleep(kSettle);
  Sample before[2], after[2];
  for (int i = 0; i < 2; ++i) before[i] = Measure(programs[i]);
  Sleep(seconds * 1000);
  for (int i = 0; i < 2; ++i) after[i] = Measure(programs[i]);

  for (Program& program : programs) {
    PostMessageW(program.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(program.process.hProcess, kTimeout) != WAIT_OBJECT_0)
      Fail(kName, "no end");
    CloseHandle(program.process.hThread);
    CloseHandle(program.process.hProcess);
  }
  RemoveInstallation(folder);

  constexpr double kMiB = 1 << 20;
  std::printf("At rest for %lu s, %lu s after the icon showed:\n", seconds, kSettle / 1000);
  for (int i = 0; i < 2; ++i) {
    const double cpu = static_cast<double>(after[i].cpu - before[i].cpu) / 1e4;  // ms
    std::printf("%-13s CPU %7.1f ms (%.3f %%), working set %5.1f MiB, peak %5.1f MiB",
                programs[i].name, cpu, cpu / (seconds * 10.0),
                static_cast<double>(after[i].memory.WorkingSetSize) / kMiB,
                static_cast<double>(after[i].memory.PeakWorkingSetSize) / kMiB);
    const HostCounts &from = before[i].host, &to = after[i].host;
    if (from.ticks >= 0 && to.ticks >= 0) {
      std::printf("; Linux counts CPU %lld ms, %lld context switches", 10 * (to.ticks - from.ticks),
                  to.switches - from.switches);
    }
    std::printf("\n");
  }
  return 0;
}
