#include "support/TestFiles.h"
#include "win/FileHandle.h"
#include "win/WidePath.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <utility>

using file::FileHandle;

namespace {

class FileHandleTest : public ::testing::Test {
protected:
    testsupport::ScratchFolder folder;
};

} // namespace

TEST_F(FileHandleTest, WriteReadSeekAndSize) {
    const std::string path = folder.Join("data.bin");
    {
        FileHandle f;
        ASSERT_TRUE(f.CreateWrite(path.c_str()));
        EXPECT_EQ(f.Write("0123456789", 10), 10u);
        EXPECT_TRUE(f.Close());
        EXPECT_FALSE(f.Close());
    }
    // A missing file leaves no handle.
    FileHandle f;
    EXPECT_FALSE(f.OpenRead(folder.Join("missing.bin").c_str()));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_FALSE(f.Close());
    ASSERT_TRUE(f.OpenRead(path.c_str()));
    EXPECT_EQ(f.Size(), 10u);
    EXPECT_EQ(f.Seek(-4, FILE_END), 6u);
    char buffer[16] = {};
    EXPECT_EQ(f.Read(buffer, sizeof(buffer)), 4u); // a short count passes through
    EXPECT_STREQ(buffer, "6789");
    EXPECT_EQ(f.Seek(2, FILE_BEGIN), 2u);
    // Writing to a file opened for reading fails with a zero count.
    EXPECT_EQ(f.Write("x", 1), 0u);

    // Readers share the file.
    FileHandle second;
    EXPECT_TRUE(second.OpenRead(path.c_str()));
}

TEST_F(FileHandleTest, CreateWriteTruncatesAndDoesNotShare) {
    const std::string path = folder.Join("truncate.txt");
    std::ofstream(path, std::ios::binary) << "a much longer old content";
    FileHandle f;
    ASSERT_TRUE(f.CreateWrite(path.c_str()));
    EXPECT_EQ(f.Size(), 0u);

    FileHandle second;
    EXPECT_FALSE(second.CreateWrite(path.c_str()));
    EXPECT_FALSE(second.IsOpen());
    FileHandle reader;
    EXPECT_FALSE(reader.OpenRead(path.c_str()));

    EXPECT_EQ(f.Write("new", 3), 3u);
    f.Close();
    EXPECT_EQ(testsupport::ReadAll(path), "new");
    EXPECT_TRUE(second.CreateWrite(path.c_str()));
}

// The sizes are set as the end of an empty file, which takes no disk space.
TEST_F(FileHandleTest, FilesOf4GiBOrMoreHaveNoSize) {
    const LONGLONG GiB4 = 0x100000000LL;
    // The file's end, and the size it is given.
    const std::pair<LONGLONG, DWORD> cases[] = {
        {GiB4 + 10, INVALID_FILE_SIZE}, {GiB4, INVALID_FILE_SIZE}, {GiB4 - 2, 0xFFFFFFFEu}};
    const std::string path = folder.Join("large.bin");
    for (const auto& [end, size] : cases) {
        FileHandle f;
        ASSERT_TRUE(f.CreateWrite(path.c_str()));
        LARGE_INTEGER at = {};
        at.QuadPart = end;
        ASSERT_TRUE(SetFilePointerEx(f.Handle(), at, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(f.Handle()));
        ASSERT_TRUE(f.OpenRead(path.c_str()));
        EXPECT_EQ(f.Size(), size) << end;
    }
}

TEST_F(FileHandleTest, PathsLongerThanMaxPathInAnyScriptAndReopening) {
    // Three folders of 60 Hangul characters: 560 UTF-8 bytes and over 260
    // UTF-16 characters, so neither a byte buffer nor the plain W form holds it.
    std::string path = folder.path;
    for (int i = 0; i < 3; ++i) {
        path += "\\" + testsupport::Repeat("사", 60);
        ASSERT_TRUE(testsupport::MakeFolder(path));
    }
    const std::string target = path + "\\진.txt";
    {
        FileHandle f;
        ASSERT_TRUE(f.CreateWrite(target.c_str()));
        EXPECT_EQ(f.Write("가", 3), 3u);
        // Opening another file releases this one and its exclusive lock.
        EXPECT_TRUE(f.OpenRead(target.c_str()));
        FileHandle g;
        EXPECT_TRUE(g.OpenRead(target.c_str()));
        EXPECT_EQ(g.Size(), 3u);
    }
    // Both handles are closed: nothing holds the file.
    EXPECT_TRUE(DeleteFileW(file::WidePath(target.c_str()).Get()));
}
