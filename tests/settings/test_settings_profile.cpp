#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <string>

#include "settings/ProfileFile.h"

namespace shakemeter {
namespace {

ProfileFile ProfileOf(const QByteArray& text)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("p.ini"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    ProfileFile profile;
    EXPECT_EQ(profile.Load(file.fileName()), text.size() <= ProfileFile::MAX_FILE_BYTES);
    return profile;
}

TEST(ProfileReads, IntegersStringsAndMissingValues)
{
    EXPECT_EQ(ProfileFile::ParseInt("  -12abc"), -12);
    EXPECT_EQ(ProfileFile::ParseInt("+7"), 7);
    EXPECT_EQ(ProfileFile::ParseInt("0x1F"), 0);
    EXPECT_EQ(ProfileFile::ParseInt("4294967297"), 1);  // 32-bit wrap, never undefined behaviour

    const ProfileFile p = ProfileOf(
        "\xEF\xBB\xBF[S]\nEmpty=\nQuoted=\"  a b \"\nSpaced =  x y  \nNoEquals\n"
        "K=1\nk=2\n[T]\nK=3\n[s]\nK=4\n");
    EXPECT_EQ(p.GetInt("S", "Missing", 17), 17);
    EXPECT_EQ(p.GetInt("Nowhere", "K", -3), -3);
    EXPECT_EQ(p.GetInt("S", "Empty", 17), 17);  // an empty value does not count as a number
    EXPECT_EQ(p.GetString("S", "Empty", "d"), "");
    EXPECT_EQ(p.GetString("S", "Quoted", "d"), "  a b ");
    EXPECT_EQ(p.GetString("s", "spaced", "d"), "x y");
    EXPECT_EQ(p.GetString("S", "NoEquals", "d"), "d");
    EXPECT_EQ(p.GetInt("s", "k", 0), 1);  // the first section and the first key win
    EXPECT_EQ(ProfileOf("K=5\n[A]\n").GetInt("A", "K", 0), 0);

    QByteArray big("[A]\nK=1\n");
    big.append(QByteArray(ProfileFile::MAX_FILE_BYTES, ';'));
    EXPECT_EQ(ProfileOf(big).GetInt("A", "K", 9), 9);
}

TEST(ProfileWrites, InPlaceAppendNewSectionAndRefusals)
{
    ProfileFile p = ProfileOf("[A]\n  key = old ; note\nOther=1\n\n[B]\nX=1\n");
    EXPECT_TRUE(p.SetString("a", "KEY", "new"));
    EXPECT_TRUE(p.SetString("A", "Added", "2"));
    EXPECT_TRUE(p.SetString("C", "Y TEMPHI", "5.00"));
    for (const auto& [section, key] : {std::pair{"", "K"}, {"S", ""}, {"S]x", "K"}, {"S", "K=1"}, {"S", "K\nL"}}) {
        EXPECT_FALSE(p.SetString(section, key, "1")) << section << "/" << key;
    }
    EXPECT_EQ(p.Text(), "[A]\n  key=new\nOther=1\nAdded=2\n\n[B]\nX=1\n[C]\nY TEMPHI=5.00\n");
}

TEST(ProfileWrites, ValuesWithBlanksOrQuotesAtTheEndsReadBackUnchanged)
{
    ProfileFile p = ProfileOf("[RTSAMPInfo]\nRTSAMPPONT=1\n");
    for (const std::string value :
         {"  spaced  ", " 500", "500\t", "\"quoted\"", "'single'", "\"", "\"half", "plain text"}) {
        ASSERT_TRUE(p.SetString("RTSAMPInfo", "RTSAMPPONT", value));
        EXPECT_EQ(p.Value("RTSAMPInfo", "RTSAMPPONT"), value) << p.Text();
        EXPECT_EQ(ProfileOf(QByteArray::fromStdString(p.Text())).Value("RTSAMPInfo", "RTSAMPPONT"), value);
        ASSERT_TRUE(p.SetString("New", "Key", value));
        EXPECT_EQ(p.Value("New", "Key"), value);
    }
    // Values that read back as they are keep the file's old form, quotes and all.
    ASSERT_TRUE(p.SetString("RTSAMPInfo", "RTSAMPPONT", "10000"));
    EXPECT_EQ(p.Text(), "[RTSAMPInfo]\nRTSAMPPONT=10000\n[New]\nKey=plain text\n");
}

TEST(ProfileReads, TextReadFromMemoryIsTheFileReadFromDisk)
{
    const std::string text = "\xEF\xBB\xBF[A]\r\nkey = \"v\" \r\nn=12\r\n";
    ProfileFile p;
    p.LoadText(text);
    EXPECT_EQ(p.Value("a", "KEY"), std::optional<std::string>("v"));
    EXPECT_EQ(p.GetInt("A", "n", 0), 12);
    EXPECT_EQ(p.Text(), text);
}

TEST(ProfileWrites, EveryLineKeepsItsOwnEnding)
{
    // Mixed endings and stray carriage returns come back byte for byte, whatever is changed.
    for (const std::string text : {"\r\r", "[A]\r\nk=1\nx\r\r\n", "a\rb\n[A]\nk=1\r\n", "[A]\nk=1"}) {
        ProfileFile p;
        p.LoadText(text);
        ASSERT_TRUE(p.SetString("A", "k", "2"));
        ASSERT_TRUE(p.SetString("B", "n", "3"));
        const std::string changed = p.Text();
        ProfileFile again;
        again.LoadText(changed);
        EXPECT_EQ(again.Text(), changed) << text;
        EXPECT_EQ(again.Value("A", "k"), std::optional<std::string>("2")) << text;
        EXPECT_EQ(again.Value("B", "n"), std::optional<std::string>("3")) << text;
    }
    ProfileFile p;
    p.LoadText("[A]\r\nk=1\nx\r\r\n");
    ASSERT_TRUE(p.SetString("A", "k", "2"));
    EXPECT_EQ(p.Text(), "[A]\r\nk=2\nx\r\r\n");
}

}  // namespace
}  // namespace shakemeter
