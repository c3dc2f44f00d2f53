// Rewrites the entry of a system.ini over and over, as a second program saving at the same time
// would: saver <system.ini> <value> <count>. Exits 1 on any failure but "in use".
#include <cstdio>
#include <string>

#include "entry.h"
#include "error.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string file = argv[1], value = argv[2];
  int inUse = 0;
  for (int i = 0; i < std::stoi(argv[3]); ++i) {
    try {
      zol::RewriteEntry(zol::ToPath(std::wstring(file.begin(), file.end())),
                        std::wstring(value.begin(), value.end()));
    } catch (const zol::Error& error) {
      if (error.Kind() != zol::ErrorKind::InUse) return 1;
      ++inUse;
    }
  }
  std::printf("%d saves, %d found the file in use\n", std::stoi(argv[3]), inUse);
}
