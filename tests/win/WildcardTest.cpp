#include "win/Wildcard.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(Wildcard, MatchesWholeNamesWithBacktrackingAndWithoutCase) {
    // The pattern, the name and whether it matches.
    const std::tuple<const char*, const char*, bool> cases[] = {
        // A star gives back what it took when the rest does not match.
        {"*a*b", "aXbab", true},
        {"*.jpg", "a.b.jpg", true},
        {"a*c", "abcbc", true},
        {"*.jpg", "a.jpg.png", false},
        {"**", "anything", true},
        {"abc*", "abc", true},
        {"*?", "ab?", true},
        // The whole name, never a part of it.
        {"bc", "abc", false},
        {"ab", "abc", false},
        {"*.jp", "a.jpg", false},
        {"a?", "a", false},
        {"", "a", false},
        // '?' is one character, however many bytes; equal first bytes are not equal characters.
        {"사진?.jpg", "사진가.jpg", true},
        {"사진?.jpg", "사진가나.jpg", false},
        {"???", "사", false},
        {"?.png", "😀.png", true},
        {"사", "삭", false},
        {"*사.jpg", "a삭.jpg", false},
        {"a*사.jpg", "a삭사.jpg", true},
        // Case does not matter in any script that has it.
        {"*.jpg", "IMG_1.JPG", true},
        {"ÄÖ*", "äö.png", true},
        {"ФОТО.*", "фото.png", true},
        {"*.JPG", "Фото.jpg", true},
        {"αβγ?.png", "ΑΒΓΔ.PNG", true},
        {"ä*", "a.png", false},
    };
    for (const auto& [pattern, name, expected] : cases) {
        EXPECT_EQ(text::MatchWildcard(pattern, name), expected) << pattern << " " << name;
    }
    EXPECT_FALSE(text::MatchWildcard(nullptr, "a"));
    EXPECT_FALSE(text::MatchWildcard("*", nullptr));
}
