// A harmless stand-in for control.exe: it only writes "started.txt" beside itself.
#include <windows.h>

#include <filesystem>
#include <fstream>

int main() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::ofstream(std::filesystem::path(self).parent_path() / "started.txt") << "started\n";
}
