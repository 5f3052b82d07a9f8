#include <gtest/gtest.h>

#include "band/stream_state.h"

namespace tw {
namespace {

TEST(BandStream, LoadResultByVersionAndRead) {
    const std::int32_t kS_OK = 0, kS_FALSE = 1;
    const std::int32_t kE_FAIL = std::int32_t(0x80004005u);
    const std::int32_t kStreamError = std::int32_t(0x80030005u);  // STG_E_ACCESSDENIED
    struct Row {
        std::int32_t read;
        std::uint32_t bytes;
        std::uint32_t version;
        std::int32_t expected;
    };
    const Row rows[] = {
        {kS_OK, 4, 0x0300, kS_OK},
        {kS_OK, 4, 0, kS_OK},
        {kS_OK, 4, 0x02FF, kS_OK},
        {kS_OK, 4, 0x0301, kE_FAIL},
        {kS_OK, 4, 0xFFFFFFFFu, kE_FAIL},
        {kStreamError, 0, 0, kStreamError},
        {kStreamError, 4, 0x0300, kStreamError},
        // A stream that ends early: its number was never read.
        {kS_FALSE, 0, 0, kE_FAIL},
        {kS_FALSE, 2, 0x0300, kE_FAIL},
        {kS_FALSE, 4, 0x0300, kS_OK},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(BandStreamLoadResult(row.read, row.bytes, row.version), row.expected)
            << std::hex << row.read << " " << row.bytes << " " << row.version;
    }
}

}  // namespace
}  // namespace tw
