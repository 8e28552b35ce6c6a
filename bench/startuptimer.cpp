// startup-timer: how long a program takes from its start until its main
// window is painted on the X display, measured from outside the program.
//
//   startup-timer [--runs N] [--drop-caches] [--x X --y Y] -- PROGRAM [ARGUMENTS...]
//
// Run it on a display whose root window is black (Xvfb -br). Each run starts
// the program with a fresh, empty configuration and data folder (a first
// start), polls one screen pixel that the main window covers until it is no
// longer black, then kills the program and waits for the pixel to clear.
// With --drop-caches (root only) the page cache is emptied before each run,
// so the program and its libraries come from the disk: a cold start.
// Prints each run and the median in milliseconds.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

unsigned long pixelAt(Display* display, int x, int y) {
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) {
        return 0;
    }
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel;
}

bool dropCaches() {
    sync();
    std::FILE* control = std::fopen("/proc/sys/vm/drop_caches", "w");
    if (!control) {
        return false;
    }
    const bool ok = std::fputs("3\n", control) >= 0;
    return std::fclose(control) == 0 && ok;
}

std::string makeTempFolder() {
    char name[] = "/tmp/pixoria-startup-XXXXXX";
    if (!mkdtemp(name)) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 10;
    int x = -1;
    int y = -1;
    bool cold = false;
    int first = 1;
    for (; first < argc; ++first) {
        if (std::strcmp(argv[first], "--runs") == 0 && first + 1 < argc) {
            runs = std::atoi(argv[++first]);
        } else if (std::strcmp(argv[first], "--drop-caches") == 0) {
            cold = true;
        } else if (std::strcmp(argv[first], "--x") == 0 && first + 1 < argc) {
            x = std::atoi(argv[++first]);
        } else if (std::strcmp(argv[first], "--y") == 0 && first + 1 < argc) {
            y = std::atoi(argv[++first]);
        } else if (std::strcmp(argv[first], "--") == 0) {
            ++first;
            break;
        }
    }
    if (first >= argc || runs < 1) {
        std::fprintf(stderr,
                     "usage: startup-timer [--runs N] [--drop-caches] [--x X --y Y] -- PROGRAM "
                     "[ARGS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startup-timer: cannot open the display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    if (x < 0) {
        x = 20;
    }
    if (y < 0) {
        y = DisplayHeight(display, screen) / 2;
    }
    if (pixelAt(display, x, y) != 0) {
        std::fprintf(stderr, "startup-timer: the sample pixel is not black before the start\n");
        return 1;
    }

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const std::string home = makeTempFolder();
        if (cold && !dropCaches()) {
            std::fprintf(stderr, "startup-timer: cannot drop the page cache (not root?)\n");
            return 1;
        }
        const auto start = Clock::now();
        const pid_t child = fork();
        if (child == 0) {
            setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
            setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
            setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), 1);
            execvp(argv[first], argv + first);
            std::perror("execvp");
            _exit(127);
        }
        bool painted = false;
        while (!painted) {
            painted = pixelAt(display, x, y) != 0;
            if (!painted) {
                int status = 0;
                if (waitpid(child, &status, WNOHANG) == child) {
                    std::fprintf(stderr, "startup-timer: the program ended before painting\n");
                    return 1;
                }
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            if (Clock::now() - start > std::chrono::seconds(30)) {
                std::fprintf(stderr, "startup-timer: nothing painted in 30 s\n");
                kill(child, SIGKILL);
                return 1;
            }
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        times.push_back(ms);
        std::printf("run %2d: %7.1f ms\n", run + 1, ms);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        while (pixelAt(display, x, y) != 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::system(("rm -rf '" + home + "'").c_str());
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    const double median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    std::printf("median of %zu runs: %.1f ms (min %.1f, max %.1f)\n", n, median, sorted.front(),
                sorted.back());
    XCloseDisplay(display);
    return 0;
}
