// Running out of memory while reading a file: the reader fails with a
// reason instead of letting the exception reach the import. This program
// has its own operator new, which refuses large blocks while a test asks.
#include "logic/import/SheetLimits.h"
#include "logic/import/SpreadsheetReader.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

namespace {

std::atomic<std::size_t> g_largestBlock{0}; // 0: no bound

// Refuses every block above the bound while it lives.
class AllocationBound
{
public:
    explicit AllocationBound(std::size_t bytes) { g_largestBlock = bytes; }
    ~AllocationBound() { g_largestBlock = 0; }
    AllocationBound(const AllocationBound&) = delete;
    AllocationBound& operator=(const AllocationBound&) = delete;
};

} // namespace

// The blocks come from malloc, so free is the right release; the compiler
// cannot see that through an inlined delete.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size)
{
    const std::size_t bound = g_largestBlock;
    if (bound != 0 && size > bound)
        throw std::bad_alloc();
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

TEST(ReaderMemoryTest, RunningOutOfMemoryIsAFailureWithAReason)
{
    testsupport::TempFolder folder;
    const std::string path = folder.File("list.csv");
    std::string cell;
    for (std::size_t i = 0; i < 30000; ++i)
        cell += "张";
    testsupport::WriteBytes(path, "姓名\n" + cell + "\n李四\n");

    CSpreadsheetReader reader;
    reader.SetHeaderName("姓名");
    {
        // Opening: the reader's first buffers cannot be had.
        const AllocationBound bound(16 << 10);
        EXPECT_FALSE(reader.Open(path));
    }
    EXPECT_EQ(reader.GetError(), CSheetLimits::OutOfMemory());

    // Reading: the long cell no longer fits.
    ASSERT_TRUE(reader.Open(path)) << reader.GetError();
    std::vector<std::string> cells;
    int position = 0;
    {
        const AllocationBound bound(64 << 10);
        EXPECT_FALSE(reader.ReadRecord(cells, position));
    }
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(reader.GetError(), CSheetLimits::OutOfMemory());
    EXPECT_FALSE(reader.ReadRecord(cells, position));
}
