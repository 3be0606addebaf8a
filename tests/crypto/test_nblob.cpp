// Blob records: copying, comparing, splitting and merging item lists.
#include "CofferTestSupport.h"

#include "nblob.h"

#include <cstdlib>
#include <cstring>

using namespace coffer_test;

namespace {

_NBLOB heapBlob(const Bytes &bytes)
{
    _NBLOB blob = COFFER_NULL_BLOB;
    AllocBlob(&blob, unsigned(bytes.size()));
    if (!bytes.empty())
        std::memcpy(blob.data, bytes.data(), bytes.size());
    return blob;
}

} // namespace

TEST(Blob, CopyReplacesTheDestinationAndDupIsIndependent)
{
    _NBLOB src = heapBlob({1, 2, 3});
    _NBLOB dst = heapBlob({9, 9, 9, 9, 9});
    EXPECT_EQ(CopyBlob(&dst, &src), 3u);
    EXPECT_EQ(bytesOf(&dst), (Bytes{1, 2, 3}));
    EXPECT_NE(dst.data, src.data);

    BlobPtr dup(DupBlob(&src));
    src.data[0] = 7;
    EXPECT_EQ(bytesOf(dup.get()), (Bytes{1, 2, 3}));
    FreeBlob(&src);
    FreeBlob(&dst);
    EXPECT_EQ(src.size, 0u);
    EXPECT_EQ(src.data, nullptr);
}

TEST(Blob, CopyOntoItselfOrOntoSharedBytesKeepsTheBytes)
{
    _NBLOB blob = heapBlob({4, 5, 6});
    EXPECT_EQ(CopyBlob(&blob, &blob), 3u);
    EXPECT_EQ(bytesOf(&blob), (Bytes{4, 5, 6}));

    // A second record that points at the same bytes: the copy must be made
    // before the destination's bytes are freed.
    _NBLOB alias = blob;
    EXPECT_EQ(CopyBlob(&alias, &blob), 3u);
    EXPECT_EQ(bytesOf(&alias), (Bytes{4, 5, 6}));
    EXPECT_NE(alias.data, blob.data);
    FreeBlob(&alias);
}

TEST(Blob, CompareIsThreeWay)
{
    _NBLOB abc = heapBlob({'a', 'b', 'c'});
    _NBLOB abcd = heapBlob({'a', 'b', 'c', 'd'});
    _NBLOB abz = heapBlob({'a', 'b', 'z'});
    _NBLOB empty = COFFER_NULL_BLOB;
    struct Case {
        const _NBLOB *a;
        const _NBLOB *b;
        int expected;
    } cases[] = {
        {nullptr, nullptr, 0}, {nullptr, &abc, -1},     {&abc, nullptr, 1},        {&abc, &abcd, -1},
        {&abcd, &abc, 1},      {&abc, &abz, 'c' - 'z'}, {&abz, &abc, 'z' - 'c'},   {&abc, &abc, 0},
        {&empty, &abc, -1},    {&empty, &empty, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(CompareBlob(c.a, c.b), c.expected);
    }
    FreeBlob(&abc);
    FreeBlob(&abcd);
    FreeBlob(&abz);
}

TEST(Blob, EqualityNeedsSameSizeAndBytes)
{
    _NBLOB a = heapBlob({1, 2});
    _NBLOB b = heapBlob({1, 2});
    _NBLOB c = heapBlob({1, 3});
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
    EXPECT_TRUE(a != c);
    _NBLOB nullData = {2, nullptr};
    EXPECT_TRUE(nullData != a);
    EXPECT_TRUE(nullData == nullData);
    FreeBlob(&a);
    FreeBlob(&b);
    FreeBlob(&c);
}

TEST(Blob, SplitReadsWholeItemsOnly)
{
    struct Case {
        const char *name;
        Bytes list;
        std::vector<Bytes> items;
    } cases[] = {
        {"three and zero bytes", {0, 0, 0, 3, 'a', 'b', 'c', 0, 0, 0, 0}, {{'a', 'b', 'c'}, {}}},
        {"last length past the end", {0, 0, 0, 1, 'x', 0, 0, 0, 9, 'y'}, {{'x'}}},
        {"length of 2^32-1", {0, 0, 0, 1, 'x', 0xFF, 0xFF, 0xFF, 0xFF, 1, 2}, {{'x'}}},
        {"trailing bytes shorter than a length", {0, 0, 0, 0, 1, 2}, {{}}},
        {"nothing whole", {0, 0, 1}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        _NBLOB list = heapBlob(c.list);
        unsigned int count = 99;
        _NBLOB *array = SplitBlob(&list, &count);
        ASSERT_NE(array, nullptr);
        ASSERT_EQ(count, c.items.size());
        for (size_t i = 0; i < c.items.size(); ++i) {
            EXPECT_EQ(bytesOf(&array[i]), c.items[i]);
            // Entries point into the source.
            EXPECT_GE(array[i].data, list.data);
            EXPECT_LE(array[i].data, list.data + list.size);
        }
        EXPECT_EQ(array[count].data, nullptr);
        EXPECT_EQ(array[count].size, 0u);
        EXPECT_EQ(GetBlobArrayLen(array), count);
        std::free(array);
        FreeBlob(&list);
    }
}

TEST(Blob, SplitOfNothingIsNull)
{
    _NBLOB empty = COFFER_NULL_BLOB;
    EXPECT_EQ(SplitBlob(&empty, nullptr), nullptr);
    EXPECT_EQ(SplitBlob(nullptr, nullptr), nullptr);
    _NBLOB noData = {4, nullptr};
    EXPECT_EQ(SplitBlob(&noData, nullptr), nullptr);
    EXPECT_EQ(GetBlobArrayLen(nullptr), 0u);
}

TEST(Blob, MergeThenSplitGivesTheBlobsBack)
{
    _NBLOB a = heapBlob({'h', 'i'});
    _NBLOB b = heapBlob({});
    _NBLOB c = heapBlob(randomBytes(300, 1));
    BlobPtr merged(MergeBlob(3, &a, &b, &c));
    ASSERT_TRUE(merged);
    EXPECT_EQ(merged->size, 2u + 0u + 300u + 12u);
    // Lengths are big-endian.
    EXPECT_EQ(Bytes(merged->data, merged->data + 6), (Bytes{0, 0, 0, 2, 'h', 'i'}));
    EXPECT_EQ(Bytes(merged->data + 10, merged->data + 14), (Bytes{0, 0, 1, 44}));

    unsigned int count = 0;
    _NBLOB *items = SplitBlob(merged.get(), &count);
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(bytesOf(&items[0]), bytesOf(&a));
    EXPECT_EQ(items[1].size, 0u);
    EXPECT_EQ(bytesOf(&items[2]), bytesOf(&c));
    std::free(items);
    FreeBlob(&a);
    FreeBlob(&c);
}

TEST(BlobDeathTest, NullRecordsStopWithTheCheckText)
{
    EXPECT_DEATH(FreeBlob(nullptr), "pBlob != NULL");
    EXPECT_DEATH(DestroyBlob(nullptr), "pBlob != NULL");
    _NBLOB blob = COFFER_NULL_BLOB;
    EXPECT_DEATH(CopyBlob(nullptr, &blob), "pDstBlob != NULL");
    EXPECT_DEATH(CopyBlob(&blob, nullptr), "pSrcBlob != NULL");
    EXPECT_DEATH(DupBlob(nullptr), "pSrcBlob != NULL");
}
