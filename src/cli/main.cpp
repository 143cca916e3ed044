#include <cstdio>

int main() {
  std::puts("velnora-cli");
  return 0;
}
