// What the benchmarks share: the clock, the failure report, and a scratch installation that the
// programs read as a real one. Windows only.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// In ms, from the performance counter: the tick count moves in steps too coarse for a switch.
inline double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A benchmark that cannot go on says why and ends: its figures would mean nothing.
[[noreturn]] inline void Fail(const char* benchmark, const char* what) {
  std::fprintf(stderr, "%s: %s (error %lu)\n", benchmark, what, GetLastError());
  std::exit(1);
}

inline void WriteBytes(const char* benchmark, const std::wstring& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (file == INVALID_HANDLE_VALUE ||
      !WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size())
    Fail(benchmark, "cannot write the scratch installation");
  CloseHandle(file);
}

// The programs read their files in code page 932, whatever the system's code page.
inline std::string Cp932(const std::wstring& text) {
  std::string bytes(text.size() * 2, '\0');
  bytes.resize(WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()),
                                   bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr));
  return bytes;
}

// The benchmark's own folder, "...\": the programs it starts are built beside it.
inline std::wstring ExecutableFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  folder.erase(folder.find_last_of(L'\\') + 1);
  return folder;
}

// A folder of that name in the temporary folder, "C:\...\": a scratch installation's.
inline std::wstring TempFolder(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  GetTempPathW(MAX_PATH, path);
  return path + std::wstring(name) + L"\\";
}

// zol.ini and WINDOWS\system.ini as written, for a benchmark that puts them back between runs.
struct InstallationFiles {
  std::string zolIni, systemIni;
};

// zol.ini and WINDOWS\system.ini in a scratch folder "C:\...\": zol.ini names the folder's WINDOWS
// as system.ini's, its SAVERS as the favourite's and the folder itself as the control panel's.
// The top and the left are the window's position in twips.
inline InstallationFiles LayOutInstallation(const char* benchmark, const std::wstring& folder,
                                            const wchar_t* favourite, const wchar_t* alternate,
                                            const wchar_t* top, const wchar_t* left,
                                            const std::wstring& systemIni) {
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateDirectoryW((folder + L"WINDOWS").c_str(), nullptr);
  const std::wstring drive = folder.substr(0, 2), dir = folder.substr(2);
  std::wstring zolIni;
  for (const std::wstring& line :
       {L"System.iniのあるドライブ =" + drive,
        L"system.iniのあるディレクトリ=" + dir + L"WINDOWS\\",
        L"お気に入りのスクリーンセイバーのあるドライブ =" + drive,
        L"お気に入りのスクリーンセイバーのあるディレクトリ=" + dir + L"SAVERS\\",
        L"コントロールパネルのあるドライブ=" + drive,
        L"コントロールパネルのあるディレクトリ=" + dir,
        L"お気に入りのスクリーンセイバー名 =" + std::wstring(favourite),
        L"代替えのスクリーンセイバー名 =" + std::wstring(alternate), std::wstring(top),
        std::wstring(left)})
    zolIni += line + L"\r\n";
  const InstallationFiles files{Cp932(zolIni), Cp932(systemIni)};
  WriteBytes(benchmark, folder + L"zol.ini", files.zolIni);
  WriteBytes(benchmark, folder + L"WINDOWS\\system.ini", files.systemIni);
  return files;
}

// The files and folders of LayOutInstallation; a folder is left when something else is in it.
inline void RemoveInstallation(const std::wstring& folder) {
  for (const wchar_t* file : {L"zol.ini", L"WINDOWS\\system.ini"})
    DeleteFileW((folder + file).c_str());
  RemoveDirectoryW((folder + L"WINDOWS").c_str());
  RemoveDirectoryW(folder.c_str());
}
