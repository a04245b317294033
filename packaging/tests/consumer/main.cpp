// Prints what the installed vantel reports about itself.
#include <vantel/vantel.h>

#include <cstdio>

int main() {
  std::printf("vantel %s loads %s\n", vantel::versionString().c_str(),
              vantel::kTorvaneLibraryFileName);
  return 0;
}
