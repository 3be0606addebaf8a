// The debug allocation tracker: what it records and what it prints.
#include "CofferTestSupport.h"

#include "nmalloc.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const std::string kTop = "========== CURRENT NOT FREED MEMORY ===========\n";
const std::string kBottom = "===============================================\n";

std::string status()
{
    testing::internal::CaptureStderr();
    show_malloc_status();
    return testing::internal::GetCapturedStderr();
}

std::string pointerText(const void *p)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%p", p);
    return buffer;
}

} // namespace

TEST(Nmalloc, RecordsUntilForgotten)
{
    void *block = nmalloc("alloc.cpp", 10, 24);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(status(), kTop + "not freed : " + pointerText(block) + "(24) in alloc.cpp(10):malloc\n" + kBottom);
    nfree("alloc.cpp", 11, block);
    EXPECT_EQ(status(), kTop + kBottom);
    // The block itself is still the caller's to free.
    std::free(block);
}

TEST(Nmalloc, UnknownAddressesAreReportedAndChangeNothing)
{
    void *kept = ncalloc("a.cpp", 1, 4, 4);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(std::memcmp(kept, "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16), 0);
    int notTracked = 0;
    testing::internal::CaptureStderr();
    nfree("b.cpp", 7, &notTracked);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "free      : invalid address " + pointerText(&notTracked) + " in b.cpp(7)\n");
    EXPECT_EQ(status(), kTop + "not freed : " + pointerText(kept) + "(16) in a.cpp(1):calloc\n" + kBottom);
    nfree("a.cpp", 2, kept);
    std::free(kept);
}

TEST(Nmalloc, ReallocLeavesOneRecordForTheNewAddress)
{
    void *block = nmalloc("r.cpp", 1, 8);
    void *grown = nrealloc("r.cpp", 2, block, 4096);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(status(), kTop + "not freed : " + pointerText(grown) + "(4096) in r.cpp(2):realloc\n" + kBottom);
    nfree("r.cpp", 3, grown);
    std::free(grown);

    void *heap = std::malloc(4);
    testing::internal::CaptureStderr();
    void *moved = nrealloc("r.cpp", 4, heap, 8);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "realloc   : invalid address " + pointerText(heap) + " in r.cpp(4)\n");
    nfree("r.cpp", 5, moved);
    std::free(moved);
}

TEST(Nmalloc, StringCopiesCountCharactersWithTheTerminator)
{
    char *a = nstrdup("s.cpp", 1, "hello");
    char *b = nstrndup("s.cpp", 2, "hello", 3);
    const unsigned short wide[] = {'h', 'i', 0};
    unsigned short *c = n_wcsdup("s.cpp", 3, wide);
    EXPECT_STREQ(a, "hello");
    EXPECT_STREQ(b, "hel");
    EXPECT_EQ(c[0], 'h');
    EXPECT_EQ(c[2], 0);
    const std::string shown = status();
    EXPECT_NE(shown.find(pointerText(a) + "(6) in s.cpp(1):strdup\n"), std::string::npos);
    EXPECT_NE(shown.find(pointerText(b) + "(4) in s.cpp(2):strndup\n"), std::string::npos);
    EXPECT_NE(shown.find(pointerText(c) + "(3) in s.cpp(3):_wcsdup\n"), std::string::npos);
    for (void *p : {static_cast<void *>(a), static_cast<void *>(b), static_cast<void *>(c)}) {
        nfree("s.cpp", 9, p);
        std::free(p);
    }
    EXPECT_EQ(status(), kTop + kBottom);
}
