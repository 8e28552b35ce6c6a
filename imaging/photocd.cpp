#include "imaging/photocd.h"

#include <algorithm>
#include <atomic>

namespace imaging {

namespace {
std::atomic<int> g_photoCdResolution{3};
}  // namespace

void setPhotoCdResolution(int resolution) {
    g_photoCdResolution.store(std::clamp(resolution, 1, 5));
}

int photoCdResolution() {
    return g_photoCdResolution.load();
}

}  // namespace imaging
