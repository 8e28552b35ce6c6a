#include "imaging/scanner/scanner.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>
#include <sane/sane.h>

#include <functional>
#include <utility>
#include <vector>

#include "imaging/errors.h"
#include "imaging/scanner/scannersourcedlg.h"
#include "sanetestbackend.h"

using namespace imaging;

namespace {

using Options = std::vector<std::pair<QString, QString>>;

struct Scan {
    int result = 0;
    QImage image;
    int bitsPerPixel = 0;
};

bool everyPixelIs(const QImage& image, QRgb colour) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if ((line[x] | 0xff000000u) != (colour | 0xff000000u)) {
                return false;
            }
        }
    }
    return true;
}

// Runs `act` on the first visible top-level widget of type T once it shows up.
template <typename T>
void whenShown(const std::function<void(T*)>& act) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<T*>(widget); found && found->isVisible()) {
                poll->stop();
                poll->deleteLater();
                act(found);
                return;
            }
        }
    });
    poll->start();
}

bool canOpen(const char* device) {
    SANE_Handle handle = nullptr;
    if (sane_open(device, &handle) != SANE_STATUS_GOOD) {
        return false;
    }
    sane_close(handle);
    return true;
}

}  // namespace

TEST(ScannerConnection, TestBackendEnablesAcquireAndListsItsDevices) {
    SaneTestBackend config;
    Scanner scanner;
    EXPECT_GT(scanner.openConnection(), 0);
    EXPECT_EQ(scanner.devices(),
              QStringList({"Noname frontend-tester (test:0)", "Noname frontend-tester (test:1)"}));
    EXPECT_EQ(scanner.deviceNames(), QStringList({"test:0", "test:1"}));

    // SANE is process-wide: a second connection is refused while one is held.
    Scanner second;
    EXPECT_EQ(second.openConnection(), 0);
    EXPECT_FALSE(second.connectionError().isEmpty());

    scanner.close();
    EXPECT_EQ(scanner.handle(), 0);
    EXPECT_GT(second.openConnection(), 0);
}

TEST(ScannerConnection, NoBackendGivesNoHandleAndNoScan) {
    SaneTestBackend config(false);
    Scanner scanner;
    EXPECT_EQ(scanner.openConnection(), 0);
    EXPECT_FALSE(scanner.connectionError().isEmpty());
    QImage image;
    EXPECT_EQ(scanner.acquire(&image, nullptr), kErrorFileOpen);
    EXPECT_EQ(scanner.selectSource(nullptr), kErrorFileOpen);
    EXPECT_TRUE(image.isNull());
}

class ScannerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_config.isValid());
        ASSERT_GT(m_scanner.openConnection(), 0);
    }

    // The test backend keeps option values from one scan to the next until
    // SANE restarts.
    Scan scan(const Options& options) {
        m_scanner.close();
        EXPECT_GT(m_scanner.openConnection(), 0);
        m_scanner.clearOptions();
        for (const auto& [name, value] : options) {
            m_scanner.setOption(name, value);
        }
        Scan result;
        result.result = m_scanner.acquire(&result.image, &result.bitsPerPixel);
        EXPECT_FALSE(m_scanner.isDeviceOpen());
        return result;
    }

    SaneTestBackend m_config;
    Scanner m_scanner;
};

TEST_F(ScannerTest, ModesGiveTheirFormatsSizesAndSamples) {
    // The test backend's default area is 80 by 100 mm, at 50 dpi 157 by 196.
    const Scan grey = scan({});
    ASSERT_EQ(grey.result, kSuccess) << m_scanner.lastError().toStdString();
    EXPECT_EQ(grey.image.size(), QSize(157, 196));
    EXPECT_EQ(grey.image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(grey.bitsPerPixel, 8);
    ASSERT_EQ(grey.image.colorCount(), 256);
    EXPECT_EQ(grey.image.color(200), qRgb(200, 200, 200));
    EXPECT_TRUE(everyPixelIs(grey.image, qRgb(0, 0, 0)));
    EXPECT_EQ(grey.image.dotsPerMeterX(), 1969);

    const Scan colour = scan({{"mode", "Color"}, {"test-picture", "Solid white"}});
    ASSERT_EQ(colour.result, kSuccess) << m_scanner.lastError().toStdString();
    EXPECT_EQ(colour.image.size(), QSize(157, 196));
    EXPECT_EQ(colour.image.format(), QImage::Format_RGB888);
    EXPECT_EQ(colour.bitsPerPixel, 24);
    EXPECT_TRUE(everyPixelIs(colour.image, qRgb(255, 255, 255)));

    // SANE line art has 1 for black.
    const Scan lineArt = scan({{"depth", "1"}});
    ASSERT_EQ(lineArt.result, kSuccess) << m_scanner.lastError().toStdString();
    EXPECT_EQ(lineArt.image.size(), QSize(157, 196));
    EXPECT_EQ(lineArt.image.format(), QImage::Format_Mono);
    EXPECT_EQ(lineArt.bitsPerPixel, 1);
    EXPECT_TRUE(everyPixelIs(lineArt.image, qRgb(0, 0, 0)));
    EXPECT_TRUE(everyPixelIs(scan({{"depth", "1"}, {"test-picture", "Solid white"}}).image,
                             qRgb(255, 255, 255)));
}

TEST_F(ScannerTest, OtherLayoutsGiveTheSamePictureAsPlainEightBits) {
    const Scan grid = scan({{"test-picture", "Grid"}});
    const Scan gridLineArt = scan({{"test-picture", "Grid"}, {"depth", "1"}});
    ASSERT_EQ(gridLineArt.result, kSuccess) << m_scanner.lastError().toStdString();
    EXPECT_FALSE(everyPixelIs(grid.image, qRgb(0, 0, 0)));
    EXPECT_EQ(gridLineArt.image.convertToFormat(QImage::Format_RGB32),
              grid.image.convertToFormat(QImage::Format_RGB32));

    const Options pattern = {{"mode", "Color"}, {"test-picture", "Color pattern"}};
    const Scan plain = scan(pattern);
    ASSERT_EQ(plain.result, kSuccess) << m_scanner.lastError().toStdString();

    // The backend's 16-bit grey pattern has x in the high byte and y in the
    // low byte of each sample: read in the wrong order, columns would vary.
    const Scan sixteen = scan({{"depth", "16"}, {"test-picture", "Color pattern"}});
    ASSERT_EQ(sixteen.result, kSuccess) << m_scanner.lastError().toStdString();
    EXPECT_EQ(sixteen.bitsPerPixel, 8);
    EXPECT_EQ(sixteen.image.copy(1, 6, 150, 1), sixteen.image.copy(1, 192, 150, 1));
    EXPECT_LT(sixteen.image.pixelIndex(12, 6), sixteen.image.pixelIndex(144, 6));
    const Scan deepColour = scan({{"mode", "Color"}, {"depth", "16"}, {"test-picture", "Grid"}});
    const Scan colourGrid = scan({{"mode", "Color"}, {"test-picture", "Grid"}});
    EXPECT_EQ(deepColour.bitsPerPixel, 24);
    EXPECT_EQ(deepColour.image, colourGrid.image);
    const Scan bitColour = scan({{"mode", "Color"}, {"depth", "1"}, {"test-picture", "Grid"}});
    EXPECT_EQ(bitColour.bitsPerPixel, 24);
    EXPECT_EQ(bitColour.image, colourGrid.image);

    Options threePass = pattern;
    threePass.push_back({"three-pass", "true"});
    threePass.push_back({"three-pass-order", "GBR"});
    const Scan passes = scan(threePass);
    ASSERT_EQ(passes.result, kSuccess) << m_scanner.lastError().toStdString();
    EXPECT_EQ(passes.image, plain.image);

    // One byte at a time, and lines padded past their pixels.
    Options awkward = pattern;
    awkward.push_back({"read-limit", "true"});
    awkward.push_back({"read-limit-size", "7"});
    awkward.push_back({"ppl-loss", "3"});
    const Scan pieces = scan(awkward);
    ASSERT_EQ(pieces.result, kSuccess) << m_scanner.lastError().toStdString();
    EXPECT_EQ(pieces.image, plain.image.copy(0, 0, 154, 196));
}

TEST_F(ScannerTest, AreaResolutionAndHandScannerSetTheSize) {
    const Scan area = scan(
        {{"tl-x", "10"}, {"tl-y", "10"}, {"br-x", "50"}, {"br-y", "30"}, {"resolution", "100"}});
    ASSERT_EQ(area.result, kSuccess) << m_scanner.lastError().toStdString();
    EXPECT_EQ(area.image.size(), QSize(157, 78));
    EXPECT_EQ(area.image.dotsPerMeterX(), 3937);

    // A hand scanner announces no height; its width is fixed at 11 cm.
    const Scan hand = scan({{"hand-scanner", "true"}});
    ASSERT_EQ(hand.result, kSuccess) << m_scanner.lastError().toStdString();
    EXPECT_EQ(hand.image.width(), 216);
    EXPECT_GT(hand.image.height(), 0);
    EXPECT_EQ(hand.bitsPerPixel, 8);
}

TEST_F(ScannerTest, FailuresBecomeCodesAndCloseTheDevice) {
    const std::pair<const char*, int> statuses[] = {{"SANE_STATUS_JAMMED", kErrorFileRead},
                                                    {"SANE_STATUS_IO_ERROR", kErrorFileRead},
                                                    {"SANE_STATUS_CANCELLED", kErrorUserAbort},
                                                    {"SANE_STATUS_NO_MEM", kErrorNoMemory}};
    for (const auto& [status, code] : statuses) {
        EXPECT_EQ(scan({{"read-return-value", status}}).result, code) << status;
        EXPECT_FALSE(m_scanner.lastError().isEmpty());
        EXPECT_TRUE(canOpen("test:0")) << status;
    }
    EXPECT_EQ(scan({{"no-such-option", "1"}}).result, kErrorInvalidParameter);
    EXPECT_EQ(scan({{"depth", "deep"}}).result, kErrorInvalidParameter);
    EXPECT_EQ(scan({{"mode", "Infrared"}}).result, kErrorInvalidParameter);
    EXPECT_TRUE(canOpen("test:0"));
    EXPECT_EQ(scan({}).result, kSuccess);
}

TEST_F(ScannerTest, CancelInTheProgressDialogStopsTheScan) {
    // At 600 dpi with a pause after each 64 KiB the whole scan takes ~14 s.
    bool clicked = false;
    whenShown<QProgressDialog>([&](QProgressDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Acquire");
        if (auto* cancel = dialog->findChild<QPushButton*>()) {
            cancel->click();
            clicked = true;
        }
    });
    QElapsedTimer clock;
    clock.start();
    const Scan cancelled =
        scan({{"resolution", "600"}, {"read-delay", "true"}, {"read-delay-duration", "200000"}});
    EXPECT_TRUE(clicked);
    EXPECT_EQ(cancelled.result, kErrorUserAbort);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(cancelled.image.isNull());
    EXPECT_TRUE(canOpen("test:0"));
    EXPECT_EQ(scan({}).result, kSuccess);
}

TEST_F(ScannerTest, ChosenSourceIsKeptAndScanned) {
    whenShown<ScannerSourceDlg>([this](ScannerSourceDlg* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Select Source");
        auto* list = dialog->findChild<QListWidget*>();
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(1)->text(), m_scanner.devices().at(1));
        list->setCurrentRow(1);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    ASSERT_EQ(m_scanner.selectSource(nullptr), kSuccess);
    EXPECT_EQ(m_scanner.source(), "test:1");

    whenShown<ScannerSourceDlg>([](ScannerSourceDlg* dialog) { dialog->reject(); });
    EXPECT_EQ(m_scanner.selectSource(nullptr), kErrorUserAbort);
    EXPECT_EQ(m_scanner.source(), "test:1");

    // With test:0 held open elsewhere, only a scan from test:1 can work.
    SANE_Handle held = nullptr;
    ASSERT_EQ(sane_open("test:0", &held), SANE_STATUS_GOOD);
    QImage image;
    EXPECT_EQ(m_scanner.acquire(&image, nullptr), kSuccess);
    m_scanner.setSource("test:0");
    EXPECT_EQ(m_scanner.acquire(&image, nullptr), kErrorFileOpen);
    sane_close(held);
}
