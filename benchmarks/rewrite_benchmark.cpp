// Prints how long reading the entry and rewriting it take on a system.ini of 1000 lines, the
// largest that a rewrite holds. Not a test: it asserts nothing.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "entry.h"

int main() {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / "zol-benchmark";
  fs::create_directories(folder);
  const fs::path systemIni = folder / "system.ini";
  {
    std::ofstream out(systemIni, std::ios::binary);
    for (int i = 1; i < 1000; ++i)
      out << "keyboard.drv" << i << "=\x93\xfa\x96\x7b\x8c\xea.drv\r\n";
    out << "SCRNSAVE.EXE=C:\\WINDOWS\\a.scr\r\n";
  }
  constexpr int kRuns = 200;
  using Clock = std::chrono::steady_clock;
  const auto measure = [&](const char* what, auto operation) {
    const auto start = Clock::now();
    for (int i = 0; i < kRuns; ++i) operation();
    const std::chrono::duration<double, std::micro> total = Clock::now() - start;
    std::printf("%-28s %8.1f us per run (%d runs, 1000 lines)\n", what, total.count() / kRuns,
                kRuns);
  };
  measure("ReadCurrentEntry", [&] { zol::ReadCurrentEntry(systemIni); });
  measure("PlanRewrite (last line)",
          [&] { zol::PlanRewrite(zol::ReadFileBytes(systemIni), L"C:\\b.scr"); });
  measure("PlanRewrite and write", [&] {
    zol::ReplaceFileBytes(systemIni,
                          zol::PlanRewrite(zol::ReadFileBytes(systemIni), L"C:\\b.scr").bytes);
  });
  fs::remove_all(folder);
}
