// Only matrix: the program must start without the libraries of kit and
// foundation (X11, libcurl).
#include <cstdio>

#include <vantrel/matrix/matrix.h>

int main() {
  vantrel::Matrix<int> m(3, 2);
  m.set(vantrel::MatrixCoordinate(2, 1), 7);
  std::printf("matrix: %d %d\n", static_cast<int>(m.fillCount()), *m[vantrel::MatrixCoordinate(2, 1)]);
  return 0;
}
