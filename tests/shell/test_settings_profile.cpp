#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <string>

#include "shell/ProfileFile.h"

namespace shakemeter {
namespace {

ProfileFile ProfileOf(const std::string& text)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.ini");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
    file.close();
    ProfileFile profile;
    EXPECT_TRUE(profile.Load(path));
    return profile;
}

TEST(ProfileIntegers, ParseLikeTheProfileFunctions)
{
    EXPECT_EQ(ProfileFile::ParseInt("42"), 42);
    EXPECT_EQ(ProfileFile::ParseInt("  -12abc"), -12);
    EXPECT_EQ(ProfileFile::ParseInt("+7"), 7);
    EXPECT_EQ(ProfileFile::ParseInt("abc"), 0);
    EXPECT_EQ(ProfileFile::ParseInt("1.9"), 1);
    EXPECT_EQ(ProfileFile::ParseInt("0x1F"), 0);
    EXPECT_EQ(ProfileFile::ParseInt("4294967297"), 1);  // 32-bit wrap, never undefined behaviour
}

TEST(ProfileLookups, MissingAndEmptyValues)
{
    const ProfileFile p = ProfileOf("[S]\nEmpty=\nQuoted=\"  a b \"\nSpaced =  x y  \nNoEquals\n[T]\nK=1\n");
    EXPECT_EQ(p.GetInt("S", "Missing", 17), 17);
    EXPECT_EQ(p.GetInt("Nowhere", "K", -3), -3);
    EXPECT_EQ(p.GetInt("S", "Empty", 17), 17);  // an empty value does not count as a number
    EXPECT_EQ(p.GetString("S", "Empty", "d"), "");
    EXPECT_EQ(p.GetString("S", "Quoted", "d"), "  a b ");
    EXPECT_EQ(p.GetString("s", "spaced", "d"), "x y");
    EXPECT_EQ(p.GetString("S", "NoEquals", "d"), "d");
    EXPECT_EQ(p.GetString("S", "K", "d"), "d");  // keys belong to their own section only
    EXPECT_EQ(p.GetInt("t", "k", 0), 1);
}

TEST(ProfileLookups, FirstMatchWinsAndKeysBeforeAnySectionAreNobodys)
{
    const ProfileFile p = ProfileOf("\xEF\xBB\xBF[A]\nK=1\nk=2\n[a]\nK=3\n");
    EXPECT_EQ(p.GetInt("A", "K", 0), 1);
    EXPECT_EQ(ProfileOf("K=5\n[A]\n").GetInt("A", "K", 0), 0);
}

TEST(ProfileWrites, InPlaceAppendAndNewSection)
{
    ProfileFile p = ProfileOf("[A]\n  key = old ; note\nOther=1\n\n[B]\nX=1\n");
    EXPECT_TRUE(p.SetString("a", "KEY", "new"));
    EXPECT_TRUE(p.SetString("A", "Added", "2"));
    EXPECT_TRUE(p.SetString("C", "Y TEMPHI", "5.00"));
    EXPECT_EQ(p.Text(), "[A]\n  key=new\nOther=1\nAdded=2\n\n[B]\nX=1\n[C]\nY TEMPHI=5.00\n");
}

TEST(ProfileWrites, UnusableNamesAreRefused)
{
    ProfileFile p;
    EXPECT_FALSE(p.SetString("", "K", "1"));
    EXPECT_FALSE(p.SetString("S", "", "1"));
    EXPECT_FALSE(p.SetString("S]x", "K", "1"));
    EXPECT_FALSE(p.SetString("S", "K=1", "1"));
    EXPECT_FALSE(p.SetString("S", "K\nL", "1"));
    EXPECT_FALSE(p.SetString("S", ";K", "1"));
    EXPECT_EQ(p.Text(), "");
}

TEST(ProfileFiles, OversizedFileIsNeitherReadNorReplaced)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[A]\nK=1\n");
    file.write(QByteArray(ProfileFile::MAX_FILE_BYTES, ';'));
    file.close();
    ProfileFile p;
    EXPECT_FALSE(p.Load(path));
    EXPECT_EQ(p.GetInt("A", "K", 9), 9);
}

}  // namespace
}  // namespace shakemeter
