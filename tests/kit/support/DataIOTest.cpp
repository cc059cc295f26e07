// Byte streams: bounds of memory buffers, growth and holes of malloc buffers.
#include <DataIO.h>

#include <cstring>

#include <gtest/gtest.h>

TEST(DataIOTest, MemoryIOStaysInsideItsBuffer)
{
	char storage[8] = {};
	BMemoryIO io(storage, sizeof(storage));
	EXPECT_EQ(io.WriteAt(6, "abcd", 4), 2);
	EXPECT_EQ(io.WriteAt(8, "x", 1), 0);
	EXPECT_EQ(io.WriteAt(-1, "x", 1), B_BAD_VALUE);
	char out[4];
	EXPECT_EQ(io.ReadAt(6, out, 4), 2);
	EXPECT_EQ(memcmp(out, "ab", 2), 0);

	const char readOnly[] = "const";
	BMemoryIO constant(readOnly, 5);
	EXPECT_EQ(constant.WriteAt(0, "x", 1), B_NOT_ALLOWED);
	EXPECT_EQ(constant.Read(out, 4), 4);
	EXPECT_EQ(constant.Position(), 4);
}

TEST(DataIOTest, MallocIOGrowsAndZeroFillsHoles)
{
	BMallocIO io;
	io.SetBlockSize(3);
	EXPECT_EQ(io.Write("ab", 2), 2);
	EXPECT_EQ(io.WriteAt(5, "z", 1), 1);
	ASSERT_EQ(io.BufferLength(), 6u);
	EXPECT_EQ(memcmp(io.Buffer(), "ab\0\0\0z", 6), 0);
	off_t size = 0;
	EXPECT_EQ(io.GetSize(&size), B_OK);
	EXPECT_EQ(size, 6);
	EXPECT_EQ(io.SetSize(1), B_OK);
	EXPECT_EQ(io.BufferLength(), 1u);
	EXPECT_EQ(io.Seek(-2, SEEK_SET), B_BAD_VALUE);
	EXPECT_EQ(io.Seek(0, SEEK_END), 1);
	EXPECT_EQ(io.WriteAt(0x7fffffffffffffffLL, "x", 2), B_NO_MEMORY);
}

TEST(DataIOTest, ExactTransfersReportShortStreams)
{
	const char data[] = "0123";
	BMemoryIO io(data, 4);
	char out[8];
	size_t got = 0;
	EXPECT_EQ(io.ReadExactly(out, 8, &got), B_IO_ERROR);
	EXPECT_EQ(got, 4u);
	BMallocIO sink;
	EXPECT_EQ(sink.WriteExactly(data, 4), B_OK);
	EXPECT_EQ(sink.BufferLength(), 4u);
}
