#include "common/ByteBuffer.h"

#include <gtest/gtest.h>

#include <string>

using namespace varnoke;

TEST(ByteBuffer, GrowsKeepingItsBytesWhateverTheSize) {
    TByteBuffer buffer;
    EXPECT_EQ(buffer.View(), "");
    buffer.Append("abc");
    // Past the size where huge pages take over, and back to a plain block.
    const std::string large(5 * 1024 * 1024, 'x');
    buffer.Append(large);
    buffer.Append("end");
    EXPECT_EQ(buffer.Size(), 3 + large.size() + 3);
    EXPECT_EQ(buffer.View().substr(0, 4), "abcx");
    EXPECT_EQ(buffer.View().substr(buffer.Size() - 4), "xend");

    TByteBuffer moved(std::move(buffer));
    EXPECT_EQ(buffer.Size(), 0u);
    EXPECT_EQ(moved.View().substr(0, 3), "abc");
    buffer = std::move(moved);
    EXPECT_EQ(buffer.View().substr(buffer.Size() - 3), "end");
}
