#include "image/fileinfodlg.h"

#include <gtest/gtest.h>

namespace {

TEST(FileInfoValues, SizeInMemoryFollowsTheDepth) {
    const struct {
        int width, height, bits;
        qint64 bytes;
    } rows[] = {
        {100, 10, 1, 125},   {100, 10, 2, 250},
        {101, 10, 4, 505},   {100, 10, 7, 875},
        {100, 10, 8, 1000},  {100, 10, 16, 2000},
        {100, 10, 24, 3000}, {100, 10, 32, 4000},
        {100, 10, 12, 0},    {65535, 65535, 32, qint64(65535) * 65535 * 4},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(image::imageSizeInMemory(row.width, row.height, row.bits), row.bytes) << row.bits;
    }
}

}  // namespace
