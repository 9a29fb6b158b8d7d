// Another program's window of changing colors on $DISPLAY, for the picker's CPU bench to
// move the pointer across: it stays until it is killed.
//   PatternWindow X Y WIDTH HEIGHT
#include "XlibClient.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: PatternWindow X Y WIDTH HEIGHT\n");
        return 2;
    }
    XlibClient x;
    if (!x.connected()) {
        std::fprintf(stderr, "PatternWindow: no X display\n");
        return 1;
    }
    const QRect at(std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    if (at.width() <= 0 || at.height() <= 0) {
        std::fprintf(stderr, "PatternWindow: an empty window\n");
        return 2;
    }
    x.showPattern(at);
    std::puts("shown");
    std::fflush(stdout);
    pause();
    return 0;
}
