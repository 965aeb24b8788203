#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording/ArchiveString.h"

namespace shakemeter {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& s)
{
    return {s.begin(), s.end()};
}

struct Decoded {
    ArchiveStringStatus status;
    std::string text;
    std::size_t pos;
};

Decoded Decode(const std::vector<std::uint8_t>& bytes, std::size_t start = 0)
{
    Decoded d{ArchiveStringStatus::Ok, "unchanged", start};
    d.status = ReadArchiveString(bytes.data(), bytes.size(), d.pos, d.text);
    return d;
}

TEST(ArchiveString, WritesTheShortestFormAtEachBoundary)
{
    struct Case {
        std::size_t length;
        std::string prefix;
    };
    const std::vector<Case> cases = {
        {0, std::string("\x00", 1)},
        {20, "\x14"},
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {65533, "\xFF\xFD\xFF"},
        {65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
        {70000, std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)},
    };
    for (const Case& c : cases) {
        const std::string text(c.length, 'a');
        std::string out = "keep";
        AppendArchiveString(out, text);
        ASSERT_EQ(out.size(), 4 + ArchiveStringSize(c.length)) << c.length;
        EXPECT_EQ(out.substr(0, 4), "keep");
        EXPECT_EQ(out.substr(4, c.prefix.size()), c.prefix) << c.length;
        EXPECT_EQ(out.substr(4 + c.prefix.size()), text) << c.length;

        const Decoded back = Decode(Bytes(out), 4);
        EXPECT_EQ(back.status, ArchiveStringStatus::Ok);
        EXPECT_EQ(back.text, text);
        EXPECT_EQ(back.pos, out.size());
    }
}

TEST(ArchiveString, ReadsLongerFormsThanNeeded)
{
    // Another writer may use a wider prefix for a short string; the length decides, not the form.
    const Decoded word = Decode(Bytes(std::string("\xFF\x03\x00" "abcX", 7)));
    EXPECT_EQ(word.status, ArchiveStringStatus::Ok);
    EXPECT_EQ(word.text, "abc");
    EXPECT_EQ(word.pos, 6u);

    const Decoded dword = Decode(Bytes(std::string("\xFF\xFF\xFF\x02\x00\x00\x00" "hi", 9)));
    EXPECT_EQ(dword.status, ArchiveStringStatus::Ok);
    EXPECT_EQ(dword.text, "hi");
    EXPECT_EQ(dword.pos, 9u);
}

TEST(ArchiveString, ReadsWideStringsInTheLatin1Range)
{
    const Decoded wide = Decode(Bytes(std::string("\xFF\xFE\xFF\x03" "A\0\xE9\0z\0", 10)));
    EXPECT_EQ(wide.status, ArchiveStringStatus::Ok);
    EXPECT_EQ(wide.text, "A\xE9z");
    EXPECT_EQ(wide.pos, 10u);

    // U+0101 has no 8-bit form: refused, not mangled.
    const Decoded outside = Decode(Bytes(std::string("\xFF\xFE\xFF\x01\x01\x01", 6)));
    EXPECT_EQ(outside.status, ArchiveStringStatus::Invalid);
    EXPECT_EQ(outside.text, "unchanged");
    EXPECT_EQ(outside.pos, 0u);

    const Decoded nested = Decode(Bytes(std::string("\xFF\xFE\xFF\xFF\xFE\xFF\x00", 7)));
    EXPECT_EQ(nested.status, ArchiveStringStatus::Invalid);
}

TEST(ArchiveString, RefusesShortInputWithoutMovingOn)
{
    const std::vector<std::string> shortInputs = {
        std::string(),
        std::string("\x05" "abcd", 5),                        // one character missing
        std::string("\xFF\x01", 2),                           // word cut
        std::string("\xFF\xFF\xFF\x10\x00", 5),               // dword cut
        std::string("\xFF\xFF\xFF\xF0\xFF\xFF\x7F" "x", 8),   // 2 GB announced, 1 byte there
        std::string("\xFF\xFE\xFF\x02" "A\0B", 7),            // half a wide character missing
    };
    for (const std::string& input : shortInputs) {
        const Decoded d = Decode(Bytes(input));
        EXPECT_EQ(d.status, ArchiveStringStatus::Truncated) << input.size();
        EXPECT_EQ(d.text, "unchanged");
        EXPECT_EQ(d.pos, 0u);
    }
    const Decoded escape64 = Decode(Bytes(std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7)));
    EXPECT_EQ(escape64.status, ArchiveStringStatus::TooLarge);

    std::size_t pastEnd = 3;
    std::string text;
    const std::uint8_t two[2] = {0, 0};
    EXPECT_EQ(ReadArchiveString(two, 2, pastEnd, text), ArchiveStringStatus::Truncated);
}

}  // namespace
}  // namespace shakemeter
