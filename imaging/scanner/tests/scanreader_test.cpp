#include "imaging/scanner/scanreader.h"

#include <gtest/gtest.h>
#include <sane/sane.h>

#include <cstring>
#include <iterator>

#include "imaging/errors.h"
#include "sanetestbackend.h"

using namespace imaging;

namespace {

// `format` is an int: backends send frame kinds the enum does not list.
SANE_Parameters parameters(int format, int depth, int width, int lines, int lineBytes) {
    SANE_Parameters params{};
    std::memcpy(&params.format, &format, sizeof format);
    params.last_frame = SANE_TRUE;
    params.depth = depth;
    params.pixels_per_line = width;
    params.lines = lines;
    params.bytes_per_line = lineBytes;
    return params;
}

}  // namespace

TEST(ScanReader, ChecksEveryAnnouncedCount) {
    struct Case {
        SANE_Parameters params;
        int expected;
    };
    const Case cases[] = {
        {parameters(SANE_FRAME_GRAY, 8, 157, 196, 157), kSuccess},
        {parameters(SANE_FRAME_GRAY, 1, 157, 196, 20), kSuccess},
        {parameters(SANE_FRAME_GRAY, 1, 157, 196, 19), kErrorInvalidFormat},
        {parameters(SANE_FRAME_RGB, 16, 100, 10, 600), kSuccess},
        {parameters(SANE_FRAME_RGB, 1, 157, 196, 60), kSuccess},
        {parameters(SANE_FRAME_RGB, 1, 157, 196, 59), kErrorInvalidFormat},
        {parameters(SANE_FRAME_RGB, 16, 100, 10, 599), kErrorInvalidFormat},
        {parameters(SANE_FRAME_RED, 8, 100, -1, 100), kSuccess},
        {parameters(SANE_FRAME_GRAY, 8, 100, 10, 1 << 30), kErrorInvalidFormat},
        {parameters(SANE_FRAME_GRAY, 8, 0, 10, 0), kErrorInvalidFormat},
        {parameters(SANE_FRAME_GRAY, 8, -5, 10, 100), kErrorInvalidFormat},
        {parameters(SANE_FRAME_GRAY, 8, 100, 0, 100), kErrorInvalidFormat},
        {parameters(SANE_FRAME_GRAY, 8, 100, -2, 100), kErrorInvalidFormat},
        {parameters(SANE_FRAME_GRAY, 7, 100, 10, 100), kErrorInvalidFormat},
        {parameters(0x0B, 8, 100, 10, 100), kErrorInvalidFormat},  // JPEG
        {parameters(-1, 8, 100, 10, 100), kErrorInvalidFormat},
        {parameters(SANE_FRAME_GRAY, 8, 70000, 10, 70000), kErrorNoMemory},
        {parameters(SANE_FRAME_GRAY, 8, 10, 70000, 10), kErrorNoMemory},
        {parameters(SANE_FRAME_GRAY, 8, 30000, 30000, 30000), kErrorNoMemory},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(ScanReader::checkParameters(cases[i].params), cases[i].expected) << "case " << i;
    }
}

TEST(ScanReader, EndlessHandScanIsStoppedAtThePixelLimit) {
    SaneTestBackend config;
    SANE_Int version = 0;
    ASSERT_EQ(sane_init(&version, nullptr), SANE_STATUS_GOOD);
    SANE_Handle device = nullptr;
    ASSERT_EQ(sane_open("test:0", &device), SANE_STATUS_GOOD);
    SANE_Int count = 0;
    sane_control_option(device, 0, SANE_ACTION_GET_VALUE, &count, nullptr);
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* option = sane_get_option_descriptor(device, i);
        if (option->name && std::strcmp(option->name, "hand-scanner") == 0) {
            SANE_Word on = SANE_TRUE;
            sane_control_option(device, i, SANE_ACTION_SET_VALUE, &on, nullptr);
        }
    }

    // 216 pixels wide: a hundred lines fit, the backend sends more.
    ScanReader reader(device, 216 * 100);
    EXPECT_EQ(reader.run(), kErrorNoMemory);
    EXPECT_TRUE(reader.image().isNull());
    EXPECT_FALSE(reader.errorText().isEmpty());
    sane_cancel(device);
    sane_close(device);
    sane_exit();
}
