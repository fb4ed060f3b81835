#include "common/MappedFile.h"
#include "TestSupport.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace varnoke;
using namespace varnoke::test;

TEST(MappedFile, HoldsTheWholeFileOrSaysWhyNot) {
    TScratchFolder folder;
    WriteFile(folder.File("t.txt"), "line\r\n");
    TMappedFile file;
    ASSERT_TRUE(file.Open(folder.File("t.txt")));
    EXPECT_EQ(file.Bytes(), "line\r\n");
    EXPECT_FALSE(file.WasCut());

    WriteFile(folder.File("empty.txt"), "");
    ASSERT_TRUE(file.Open(folder.File("empty.txt")));
    EXPECT_TRUE(file.Bytes().empty());

    EXPECT_FALSE(file.Open(folder.File("missing.txt")));
    EXPECT_THROW(file.Open(folder.Path()), EFOpenError);
    EXPECT_THROW(file.Open("/dev/zero"), EFOpenError);
}

TEST(MappedFile, AFileCutShortWhileMappedReadsAsNulInsteadOfEndingTheProgram) {
    TScratchFolder folder;
    const size_t pages = 4 * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    WriteFile(folder.File("cut.txt"), std::string(pages, 'x'));
    WriteFile(folder.File("kept.txt"), std::string(pages, 'y'));
    TMappedFile cut;
    TMappedFile kept;
    ASSERT_TRUE(cut.Open(folder.File("cut.txt")));
    ASSERT_TRUE(kept.Open(folder.File("kept.txt")));

    ASSERT_EQ(::truncate(folder.File("cut.txt").c_str(), 100), 0); // an editor starts to save
    const std::string seen(cut.Bytes());
    EXPECT_EQ(seen.substr(0, 100), std::string(100, 'x'));
    EXPECT_EQ(seen.find_first_not_of('\0', seen.size() / 2), std::string::npos);
    EXPECT_TRUE(cut.WasCut());

    EXPECT_EQ(kept.Bytes(), std::string(pages, 'y'));
    EXPECT_FALSE(kept.WasCut());
}

TEST(MappedFile, AMovedMappingStaysGuarded) {
    TScratchFolder folder;
    const size_t pages = 2 * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    WriteFile(folder.File("t.txt"), std::string(pages, 'x'));
    TMappedFile first;
    ASSERT_TRUE(first.Open(folder.File("t.txt")));
    TMappedFile second(std::move(first));
    EXPECT_TRUE(first.Bytes().empty());
    ASSERT_EQ(::truncate(folder.File("t.txt").c_str(), 0), 0);
    EXPECT_EQ(second.Bytes()[pages - 1], '\0');
    EXPECT_TRUE(second.WasCut());
}
