// Every test program's first act: one line on standard output, before anything of
// the program itself runs. The Wine wrapper (cmake/wine-run.sh) reads it as the sign
// that Wine did start the program; a program that dies after it is a failure of its
// own and is never started again.
#include <cstdio>

namespace {

struct StartLine {
  StartLine() {
    std::fputs("test program started\n", stdout);
    std::fflush(stdout);
  }
};

const StartLine g_startLine;

}  // namespace
