#include "image/zoommath.h"

#include <algorithm>
#include <array>

namespace image::zoom {

namespace {

// The steps below 100; above it the steps are 50 apart.
constexpr std::array<int, 7> kLowSteps = {10, 25, 33, 50, 66, 75, 100};
constexpr int kHighStep = 50;

}  // namespace

int stepIn(int percent) {
    if (percent >= kLargest) {
        return percent;
    }
    if (percent >= 100) {
        return std::min(kLargest, percent + kHighStep);
    }
    for (int step : kLowSteps) {
        if (step > percent) {
            return step;
        }
    }
    return 100;
}

int stepOut(int percent) {
    if (percent <= kSmallest) {
        return percent;
    }
    if (percent > 100) {
        return std::max(100, percent - kHighStep);
    }
    for (auto it = kLowSteps.rbegin(); it != kLowSteps.rend(); ++it) {
        if (*it < percent) {
            return *it;
        }
    }
    return kSmallest;
}

QSize largestFrameArea(QSize screen) {
    return {screen.width() - 40, screen.height() - 150};
}

QSize zoomedSize(QSize picture, int percent) {
    return {static_cast<int>(qint64(picture.width()) * percent / 100),
            static_cast<int>(qint64(picture.height()) * percent / 100)};
}

bool fits(QSize picture, int percent, QSize area) {
    const QSize zoomed = zoomedSize(picture, percent);
    return zoomed.width() <= area.width() && zoomed.height() <= area.height();
}

int fitPercent(QSize picture, QSize area) {
    if (picture.isEmpty() || area.isEmpty()) {
        return 100;
    }
    qint64 height = area.height();
    if (picture.width() > area.width()) {
        height = qint64(area.width()) * picture.height() / picture.width();
        height = std::min<qint64>(height, area.height());
    }
    const qint64 percent = height * 100 / picture.height();
    if (percent >= 100) {
        return 100;
    }
    if (percent >= 76) {
        return 75;
    }
    if (percent >= 67) {
        return 66;
    }
    if (percent >= 51) {
        return 50;
    }
    if (percent >= 34) {
        return 33;
    }
    if (percent >= 26) {
        return 25;
    }
    return kSmallest;
}

QPoint centredScroll(QPoint click, QPoint oldScroll, int oldPercent, int newPercent, QSize client) {
    const auto axis = [&](int c, int scroll, int half) {
        return static_cast<int>(qint64(c) * newPercent / oldPercent - half +
                                qint64(scroll) * newPercent / oldPercent);
    };
    return {axis(click.x(), oldScroll.x(), client.width() / 2),
            axis(click.y(), oldScroll.y(), client.height() / 2)};
}

QRect toPicture(const QRect& window, int percent) {
    const auto scale = [percent](int v) { return static_cast<int>(qint64(v) * 100 / percent); };
    return QRect(QPoint(scale(window.left()), scale(window.top())),
                 QSize(scale(window.width()), scale(window.height())));
}

QRect toWindow(const QRect& picture, int percent) {
    const auto scale = [percent](int v) { return static_cast<int>(qint64(v) * percent / 100); };
    return QRect(QPoint(scale(picture.left()), scale(picture.top())),
                 QSize(scale(picture.width()), scale(picture.height())));
}

PrintLayout printLayout(QSize picture, QSize page, bool fitToPage) {
    PrintLayout layout;
    if (!fitToPage) {
        layout.target = QRect(QPoint(0, 0), picture);
        return layout;
    }
    if (picture.width() > picture.height()) {
        layout.rotated = true;
        picture.transpose();
    }
    if (picture.isEmpty() || page.isEmpty()) {
        return layout;
    }
    qint64 width = qint64(page.width()) * 2 / 3;
    qint64 height = width * picture.height() / picture.width();
    const qint64 tallest = qint64(page.height()) * 2 / 3;
    if (height > tallest) {
        height = tallest;
        width = height * picture.width() / picture.height();
    }
    layout.target = QRect(static_cast<int>((page.width() - width) / 2),
                          static_cast<int>((page.height() - height) / 2), static_cast<int>(width),
                          static_cast<int>(height));
    return layout;
}

}  // namespace image::zoom
