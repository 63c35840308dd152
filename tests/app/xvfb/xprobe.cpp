// What the X server shows, for the tests that drive the program under Xvfb:
//
//   xprobe cursor                 the name of the cursor on screen (XFixes;
//                                 "-" for a cursor without a name)
//   xprobe watch SECONDS          for that long, a line "MS NAME" each time
//                                 the cursor on screen changes (MS: the
//                                 monotonic clock in milliseconds)
//   xprobe pixels WINDOW X Y W H  a digest of the pixels of that part of
//                                 the window, to compare two windows' looks
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <time.h>
#include <unistd.h>

namespace {

std::string CursorName(Display* d) {
    XFixesCursorImage* image = XFixesGetCursorImage(d);
    if (!image) return "-";
    std::string name = image->name && *image->name ? image->name : "-";
    XFree(image);
    return name;
}

long long NowMs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

int Usage() {
    std::fprintf(stderr, "usage: xprobe cursor | watch SECONDS | pixels WINDOW X Y W H\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "xprobe: cannot open the display\n");
        return 2;
    }
    int event = 0, error = 0;
    const std::string mode = argv[1];
    if ((mode == "cursor" || mode == "watch") && !XFixesQueryExtension(d, &event, &error)) {
        std::fprintf(stderr, "xprobe: the server has no XFixes\n");
        return 2;
    }
    if (mode == "cursor") {
        std::printf("%s\n", CursorName(d).c_str());
    } else if (mode == "watch" && argc == 3) {
        const long long end = NowMs() + static_cast<long long>(std::atof(argv[2]) * 1000);
        std::string last;
        while (NowMs() < end) {
            const std::string name = CursorName(d);
            if (name != last) {
                std::printf("%lld %s\n", NowMs(), name.c_str());
                std::fflush(stdout);
                last = name;
            }
            usleep(10000);
        }
        std::printf("%lld %s\n", NowMs(), last.c_str());
    } else if (mode == "pixels" && argc == 7) {
        const Window w = static_cast<Window>(std::strtoul(argv[2], nullptr, 0));
        XImage* image = XGetImage(d, w, std::atoi(argv[3]), std::atoi(argv[4]), static_cast<unsigned>(std::atoi(argv[5])),
                                  static_cast<unsigned>(std::atoi(argv[6])), AllPlanes, ZPixmap);
        if (!image) {
            std::fprintf(stderr, "xprobe: cannot read the window's pixels\n");
            return 1;
        }
        // FNV-1a over the pixel values, row by row.
        std::uint64_t h = 1469598103934665603ull;
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x) {
                const unsigned long p = XGetPixel(image, x, y) & 0xFFFFFFul;
                for (int k = 0; k < 3; ++k) {
                    h ^= (p >> (8 * k)) & 0xFF;
                    h *= 1099511628211ull;
                }
            }
        std::printf("%016llx\n", static_cast<unsigned long long>(h));
        XDestroyImage(image);
    } else {
        return Usage();
    }
    XCloseDisplay(d);
    return 0;
}
