#include <gtest/gtest.h>

#include <string>

#include "recording/ArchiveString.h"

namespace shakemeter {
namespace {

struct Decoded {
    ArchiveStringStatus status;
    std::string text = "unchanged";
    std::size_t pos = 0;
};

Decoded Decode(const std::string& bytes, std::size_t start = 0)
{
    Decoded d{ArchiveStringStatus::Ok, "unchanged", start};
    d.status = ReadArchiveString(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), d.pos, d.text);
    return d;
}

TEST(ArchiveString, WritesTheShortestFormAndReadsEachForm)
{
    const std::pair<std::size_t, std::string> cases[] = {
        {0, std::string("\x00", 1)},
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {65533, "\xFF\xFD\xFF"},
        {65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
        {70000, std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)},
    };
    for (const auto& [length, prefix] : cases) {
        const std::string text(length, 'a');
        std::string out = "keep";
        AppendArchiveString(out, text);
        EXPECT_EQ(out, "keep" + prefix + text) << length;
        EXPECT_EQ(out.size(), 4 + ArchiveStringSize(length));

        const Decoded back = Decode(out, 4);
        EXPECT_EQ(back.status, ArchiveStringStatus::Ok);
        EXPECT_EQ(back.text, text);
        EXPECT_EQ(back.pos, out.size());
    }
    // Another writer may use a wider form than needed: the length decides.
    EXPECT_EQ(Decode(std::string("\xFF\xFF\xFF\x02\x00\x00\x00"
                                 "hi",
                                 9))
                  .text,
              "hi");
}

TEST(ArchiveString, ReadsWideStringsOnlyInTheLatin1Range)
{
    const Decoded wide =
        Decode(std::string("\xFF\xFE\xFF\x03"
                           "A\0\xE9\0z\0",
                           10));
    EXPECT_EQ(wide.status, ArchiveStringStatus::Ok);
    EXPECT_EQ(wide.text, "A\xE9z");
    EXPECT_EQ(wide.pos, 10u);

    // U+0101 has no 8-bit form: refused, not mangled.
    const Decoded outside = Decode(std::string("\xFF\xFE\xFF\x01\x01\x01", 6));
    EXPECT_EQ(outside.status, ArchiveStringStatus::Invalid);
    EXPECT_EQ(outside.text, "unchanged");
    EXPECT_EQ(Decode(std::string("\xFF\xFE\xFF\xFF\xFE\xFF\x00", 7)).status, ArchiveStringStatus::Invalid);
}

TEST(ArchiveString, RefusesShortInputWithoutMovingOn)
{
    const std::string shortInputs[] = {
        std::string(),
        std::string("\x05"
                    "abcd",
                    5),                          // one character missing
        std::string("\xFF\x01", 2),              // word cut
        std::string("\xFF\xFF\xFF\x10\x00", 5),  // dword cut
        std::string("\xFF\xFF\xFF\xF0\xFF\xFF\x7F"
                    "x",
                    8),  // 2 GB announced, 1 byte there
        std::string("\xFF\xFE\xFF\x02"
                    "A\0B",
                    7),  // half a wide character missing
    };
    for (const std::string& input : shortInputs) {
        const Decoded d = Decode(input);
        EXPECT_EQ(d.status, ArchiveStringStatus::Truncated) << input.size();
        EXPECT_EQ(d.text, "unchanged");
        EXPECT_EQ(d.pos, 0u);
    }
    EXPECT_EQ(Decode(std::string(7, '\xFF')).status, ArchiveStringStatus::TooLarge);
    EXPECT_EQ(Decode(std::string(2, '\0'), 3).status, ArchiveStringStatus::Truncated);
}

}  // namespace
}  // namespace shakemeter
