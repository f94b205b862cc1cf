// Version banner; the main window replaces this program.
#include <cstdio>

int main() {
  std::printf("Tembrook %s\n", TEMBROOK_VERSION);
  return 0;
}
