#include "win/CharStep.h"
#include "win/String.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

using text::String;

TEST(CharStep, ProcessRunsWithTheUtf8CodePage) {
    // The manifest linked into every program selects UTF-8; the Korean
    // tests below depend on it.
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    EXPECT_TRUE(text::IsUtf8CodePage());
}

TEST(CharStep, StepsWholeSequencesAndNeverPastTheEnd) {
    const char* korean = "사a";
    EXPECT_EQ(text::CharLength(korean), 3);
    EXPECT_EQ(text::NextChar(korean), korean + 3);
    EXPECT_EQ(text::NextChar(korean + 3), korean + 4);
    EXPECT_EQ(text::NextChar(korean + 4), korean + 4);
    // A sequence cut short by the terminator or a plain byte resyncs there.
    const char truncated[] = {'\xEC', '\x82', 0};
    EXPECT_EQ(text::CharLength(truncated), 2);
    const char broken[] = {'\xEC', 'a', 0};
    EXPECT_EQ(text::CharLength(broken), 1);
    const char stray[] = {'\x82', 0};
    EXPECT_EQ(text::CharLength(stray), 1);
}

TEST(String, CapacityStepsOfConstructionAndGrowth) {
    String def;
    EXPECT_EQ(def.Capacity(), 63);
    EXPECT_TRUE(def.IsEmpty() && def.BufferSize() == 64);

    const int hints[][2] = {{63, 63}, {64, 127}, {511, 511}, {512, 512}};
    for (const auto& hint : hints) {
        String s(hint[0]);
        EXPECT_EQ(s.Capacity(), hint[1]) << "hint " << hint[0];
    }

    const int growth[][2] = {{64, 127}, {1000, 1023}, {2048, 2048}};
    for (const auto& step : growth) {
        String s;
        s.Reserve(step[0]);
        EXPECT_EQ(s.Capacity(), step[1]) << "reserve " << step[0];
        EXPECT_EQ(s.Data()[s.Capacity()], 0);
    }
}

TEST(String, AppendGrowsAndKeepsText) {
    String s;
    s.Assign(std::string(63, 'a').c_str());
    EXPECT_EQ(s.Capacity(), 63);
    s.AppendChar('b');
    s.Append(std::string(100, 'c').c_str());
    EXPECT_EQ(s.Capacity(), 255);
    EXPECT_EQ(std::string(s.Data()), std::string(63, 'a') + "b" + std::string(100, 'c'));

    // Appending its own text survives the reallocation it causes.
    String self;
    self.Assign(std::string(40, 'x').c_str());
    self.Append(self.Data());
    EXPECT_EQ(std::string(self.Data()), std::string(80, 'x'));
    self.Assign(self.Data() + 70);
    EXPECT_EQ(std::string(self.Data()), std::string(10, 'x'));
}

TEST(String, SetAtStoresOnlyBelowCapacityAndCompare) {
    String s;
    s.Assign("abc");
    EXPECT_EQ(s.SetAt(1, 'X'), 1);
    EXPECT_STREQ(s.Data(), "aXc");
    EXPECT_EQ(s.SetAt(63, 'Y'), 63);
    EXPECT_EQ(s.Data()[63], 0);
    s.SetAt(-1, 'Z');
    EXPECT_STREQ(s.Data(), "aXc");

    s.Assign("Photo.JPG");
    EXPECT_NE(s.Compare("photo.jpg"), 0);
    EXPECT_EQ(s.CompareNoCase("photo.jpg"), 0);
}

TEST(String, LoadFromResourceCutsAtCapacityWithoutGrowing) {
    String s;
    EXPECT_EQ(s.LoadFromResource(1), 63);
    EXPECT_EQ(s.Capacity(), 63);
    EXPECT_EQ(std::string(s.Data()),
              std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJK"));

    String wide(200);
    EXPECT_EQ(wide.LoadFromResource(1), 100);

    // 'x' and 28 three-byte syllables: a 63-byte cut would split the 21st
    // syllable, so only 20 whole syllables (61 bytes) are kept.
    String korean;
    EXPECT_EQ(korean.LoadFromResource(2), 61);
    EXPECT_EQ(std::string(korean.Data()), std::string("x가나다라마바사아자차카타파하가나다라마바"));

    String missing;
    missing.Assign("old");
    EXPECT_EQ(missing.LoadFromResource(999), 0);
    EXPECT_TRUE(missing.IsEmpty());
}

TEST(String, ReverseFindStepsWholeCharacters) {
    String s;
    s.Assign("C:\\사진\\여행\\바다.jpg");
    EXPECT_EQ(s.ReverseFind('\\'), static_cast<int>(std::strlen("C:\\사진\\여행")));
    EXPECT_EQ(s.ReverseFind('.'), static_cast<int>(std::strlen("C:\\사진\\여행\\바다")));
    // 0xAC is the last byte of '사': a byte inside a character never matches.
    EXPECT_EQ(s.ReverseFind(0xAC), -1);
    String empty;
    EXPECT_EQ(empty.ReverseFind('a'), -1);
}

TEST(String, ReplaceCharBuildsDoubleNulList) {
    String filter;
    filter.Assign("그림 파일\t*.bmp;*.png\t모든 파일\t*.*\t");
    const int length = filter.Length();
    filter.ReplaceChar('\t', 0);
    const char expected[] = "그림 파일\0*.bmp;*.png\0모든 파일\0*.*\0";
    ASSERT_EQ(length + 1, static_cast<int>(sizeof(expected)));
    EXPECT_EQ(std::memcmp(filter.Data(), expected, sizeof(expected)), 0);
    EXPECT_EQ(filter.Data()[length - 1], 0);
    EXPECT_EQ(filter.Data()[length], 0);

    // The same list out of the string table.
    String loaded;
    loaded.LoadFromResource(3);
    loaded.ReplaceChar('\t', 0);
    EXPECT_EQ(std::memcmp(loaded.Data(), "사진\0*.jpg\0\0", 12), 0);
}

TEST(String, StripFileNameAndGetExtension) {
    // A path, what stripping the file name leaves (no separator), and the
    // text after the last dot, which replaces what the output held.
    const char* const rows[][3] = {{"C:\\dir\\a.png", "C:\\dir", "png"},
                                   {"a.tar.gz", "", "gz"},
                                   {"dir/sub/file", "dir/sub", ""},
                                   {"dir\\sub/file", "dir", ""},
                                   {"D:\\사진\\여행\\바다.JPG", "D:\\사진\\여행", "JPG"}};
    for (const auto& row : rows) {
        String s;
        s.Assign(row[0]);
        String extension;
        extension.Assign("stale");
        s.GetExtension(extension);
        EXPECT_STREQ(extension.Data(), row[2]) << row[0];
        s.StripFileName();
        EXPECT_STREQ(s.Data(), row[1]) << row[0];
    }
}

TEST(String, SetModulePathPointsBesideTheProgram) {
    char module[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, module, MAX_PATH), 0u);
    std::string folder(module);
    folder.erase(folder.find_last_of('\\'));

    String path;
    ASSERT_TRUE(path.SetModulePath("Quiltora.ini"));
    EXPECT_EQ(std::string(path.Data()), folder + "\\Quiltora.ini");
    EXPECT_GE(path.Capacity(), 511);

    String bare;
    ASSERT_TRUE(bare.SetModulePath(nullptr));
    EXPECT_EQ(std::string(bare.Data()), folder);
    EXPECT_NE(bare.Data()[bare.Length() - 1], '\\');
}
