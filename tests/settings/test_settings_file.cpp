#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

#include "settings/SettingsFile.h"

namespace shakemeter {
namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QString m_path = SettingsFilePathIn(m_dir.filePath("config"));

    void WriteFile(const std::string& text)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(m_path).absolutePath()));
        QFile file(m_path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
    }

    std::string FileText()
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<no file>";
    }

    Settings ReadBoth() { return ReadAllSettings(m_path); }
};

TEST_F(SettingsFileTest, DefaultsWithoutAFileOrWithAnUnreadableOne)
{
    const Settings s = ReadBoth();
    // 50 ms interval, normal mode, LED every 10 s, manual start.
    EXPECT_EQ(s.m_lastSetup[6], 200);
    EXPECT_EQ(s.m_lastSetup[7], 0);
    EXPECT_EQ(s.m_lastSetup[8], 0);
    EXPECT_EQ(s.m_lastSetup[19], 10);
    EXPECT_EQ(s.m_lastSetup[20], 0);
    EXPECT_EQ((std::array{s.m_nColorBg, s.m_nColorX, s.m_nColorY, s.m_nColorZ, s.m_nColorV, s.m_nColorGrid}),
              (std::array{13, 0, 3, 5, 1, 2}));
    EXPECT_EQ(s.m_dPresetYMin, -20.0);
    EXPECT_EQ(s.m_dPresetYMax, 20.0);
    EXPECT_EQ(s.m_nRtRateIndex, 2);
    EXPECT_EQ(s.m_strRtPoints, "10000");
    EXPECT_EQ(s, Settings{});
    EXPECT_EQ(FileText(), "<no file>");  // reading never creates the file

    // A folder where the file should be: nothing can be read, and nothing may be destroyed.
    ASSERT_TRUE(QDir().mkpath(m_path));
    EXPECT_EQ(ReadBoth(), Settings{});
    EXPECT_FALSE(WriteAllSettings(Settings{}, m_path));
    EXPECT_TRUE(QFileInfo(m_path).isDir());
}

TEST_F(SettingsFileTest, ValuesAreReadAsTheirStoredTypes)
{
    WriteFile(
        "[LOGGERInfo]\nLOGGERINFOR1=456\nLOGGERINFOR14=-1\nLOGGERINFOR7=230\nLOGGERINFOR13=59\n"
        "[ColorInfo]\nXColor=270\n"
        "[VIEWInfo]\nVIEW1=256\nVIEW4=2\nVIEW7=x\n"
        "[Y AXISInfo]\nY TEMPLOW=abc\nY TEMPHI=  12.5g\n"
        "[RTSAMPInfo]\nRTSAMP=300\nRTSAMPPONT=" +
        std::string(300, '9') + "\n");
    const Settings s = ReadBoth();
    EXPECT_EQ(s.m_lastSetup[6], 200);  // bytes keep their low byte
    EXPECT_EQ(s.m_lastSetup[19], 255);
    EXPECT_EQ(s.m_nColorX, 14);
    for (std::size_t byte = 12; byte <= 18; ++byte) {
        EXPECT_EQ(s.m_lastSetup[byte], 0) << byte;  // the setup time is written, never read
    }
    EXPECT_FALSE(s.m_bShowX);          // 256 is byte 0
    EXPECT_TRUE(s.m_bMarkPoints);      // any non-zero byte is on
    EXPECT_FALSE(s.m_bShowVectorSum);  // not a number reads as 0
    EXPECT_EQ(s.m_dPresetYMin, 0.0);
    EXPECT_EQ(s.m_dPresetYMax, 12.5);
    EXPECT_EQ(s.m_nRtRateIndex, 300);  // a plain int, not a byte
    EXPECT_EQ(s.m_strRtPoints, std::string(259, '9'));
}

TEST_F(SettingsFileTest, DecimalTextsConvertAndFormatIndependentlyOfLocale)
{
    EXPECT_EQ(ParseSettingsDecimal("-3.25"), -3.25);
    EXPECT_EQ(ParseSettingsDecimal("+.5"), 0.5);
    EXPECT_EQ(ParseSettingsDecimal("2e1x"), 20.0);
    EXPECT_EQ(ParseSettingsDecimal("2e+"), 2.0);
    EXPECT_EQ(ParseSettingsDecimal("1,5"), 1.0);
    EXPECT_EQ(ParseSettingsDecimal("-"), 0.0);
    EXPECT_EQ(ParseSettingsDecimal("0x10"), 0.0);
    // A range bound must stay a finite number for the graph's scaling.
    EXPECT_EQ(ParseSettingsDecimal("inf"), 0.0);
    EXPECT_EQ(ParseSettingsDecimal("nan"), 0.0);
    EXPECT_EQ(ParseSettingsDecimal("1e999"), 0.0);
    for (double v : {-20.0, 1.005, -2.345, 2.675, 0.125, 1e6 + 0.005, -0.001}) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.2f", v);
        EXPECT_EQ(FormatSettingsDecimal(v), expected) << v;
    }
}

TEST_F(SettingsFileTest, NewFileReceivesAll32KeysInOrder)
{
    Settings s;
    s.m_lastSetup[6] = 10 * 4 + 1;  // a 10-second setup
    s.m_lastSetup[12] = 232;
    ASSERT_TRUE(WriteAllSettings(s, m_path));  // the folder is created on the way
    const std::string expected =
        "[LOGGERInfo]\n"
        "LOGGERINFOR1=41\nLOGGERINFOR2=0\nLOGGERINFOR3=0\nLOGGERINFOR4=0\nLOGGERINFOR5=0\n"
        "LOGGERINFOR6=0\nLOGGERINFOR7=232\nLOGGERINFOR8=0\nLOGGERINFOR9=0\nLOGGERINFOR10=0\n"
        "LOGGERINFOR11=0\nLOGGERINFOR12=0\nLOGGERINFOR13=0\nLOGGERINFOR14=10\nLOGGERINFOR15=0\n"
        "[VIEWInfo]\nVIEW1=1\nVIEW2=1\nVIEW3=1\nVIEW4=0\nVIEW5=1\nVIEW6=1\nVIEW7=1\n"
        "[ColorInfo]\nBGColor=13\nXColor=0\nYColor=3\nZColor=5\nVColor=1\nGRIDColor=2\n"
        "[Y AXISInfo]\nY TEMPLOW=-20.00\nY TEMPHI=20.00\n"
        "[RTSAMPInfo]\nRTSAMP=2\nRTSAMPPONT=10000\n";
    EXPECT_EQ(FileText(), expected);
    // A second close rewrites every key in place: the file stays the same.
    ASSERT_TRUE(WriteAllSettings(s, m_path));
    EXPECT_EQ(FileText(), expected);
}

TEST_F(SettingsFileTest, EverythingWrittenReadsBack)
{
    Settings s;
    for (std::size_t byte = 6; byte <= 20; ++byte) {
        s.m_lastSetup[byte] = static_cast<std::uint8_t>(byte == 12 ? 0 : 240 + byte);
    }
    s.m_bShowX = s.m_bShowZ = s.m_bHorzGrid = false;
    s.m_bMarkPoints = true;
    s.m_dPresetYMin = -1.5;
    s.m_dPresetYMax = 3.25;
    s.m_nColorBg = 12, s.m_nColorX = 7, s.m_nColorY = 8, s.m_nColorZ = 9, s.m_nColorV = 10, s.m_nColorGrid = 11;
    s.m_nRtRateIndex = 5;
    s.m_strRtPoints = "250";
    ASSERT_TRUE(WriteAllSettings(s, m_path));
    Settings back = ReadBoth();
    for (std::size_t byte = 13; byte <= 18; ++byte) {
        back.m_lastSetup[byte] = s.m_lastSetup[byte];  // written but not read back
    }
    EXPECT_EQ(back, s);
}

TEST_F(SettingsFileTest, NamesMatchWithoutRegardToCase)
{
    WriteFile("[loggerinfo]\nloggerinfor1=44\n[y axisinfo]\ny templow = -3.5\n[rtsampinfo]\nrtsamppont=77\n");
    const Settings s = ReadBoth();
    EXPECT_EQ(s.m_lastSetup[6], 44);
    EXPECT_EQ(s.m_dPresetYMin, -3.5);
    EXPECT_EQ(s.m_strRtPoints, "77");

    // Writing updates those lines as the file spells them; no second section appears.
    ASSERT_TRUE(WriteAllSettings(Settings{}, m_path));
    const std::string text = FileText();
    EXPECT_EQ(text.find("[LOGGERInfo]"), std::string::npos) << text;
    EXPECT_NE(text.find("[loggerinfo]\nloggerinfor1=200\nLOGGERINFOR2=0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[y axisinfo]\ny templow=-20.00\nY TEMPHI=20.00\n"), std::string::npos) << text;
}

TEST_F(SettingsFileTest, UnrelatedLinesAndLineEndsAreKept)
{
    WriteFile("; kept comment\n[Other]\nName=Value with = sign\n\n[VIEWInfo]\nVIEW3=0\nStray line\n\n[Tail]\nA=1\n");
    ASSERT_TRUE(WriteAllSettings(Settings{}, m_path));
    const std::string kept =
        "; kept comment\n[Other]\nName=Value with = sign\n\n"
        "[VIEWInfo]\nVIEW3=1\nStray line\nVIEW1=1\nVIEW2=1\nVIEW4=0\nVIEW5=1\nVIEW6=1\nVIEW7=1\n\n"
        "[Tail]\nA=1\n[LOGGERInfo]\nLOGGERINFOR1=200\n";
    EXPECT_EQ(FileText().substr(0, kept.size()), kept);

    WriteFile("[RTSAMPInfo]\r\nRTSAMP=4\r\n");
    ASSERT_TRUE(WriteAllSettings(Settings{}, m_path));
    const std::string text = FileText();
    EXPECT_EQ(text.substr(0, 33), "[RTSAMPInfo]\r\nRTSAMP=2\r\nRTSAMPPON");
    EXPECT_EQ(text.find_first_of('\n'), text.find("\r\n") + 1);
}

TEST(SettingsFilePath, SameForEveryProgramName)
{
    const QString before = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("shakemeter-cli"));
    const QString fromCli = SettingsFilePath();
    QCoreApplication::setApplicationName(QStringLiteral("shakemeter"));
    EXPECT_EQ(SettingsFilePath(), fromCli);
    EXPECT_TRUE(fromCli.endsWith(QStringLiteral("/shakemeter/ZEVORUVIDIVADUDAREZ.ini"))) << fromCli.toStdString();
    QCoreApplication::setApplicationName(before);
}

TEST_F(SettingsFileTest, PointsTextCannotAddLines)
{
    Settings s;
    s.m_strRtPoints = "12\n[LOGGERInfo]\nLOGGERINFOR1=1";
    ASSERT_TRUE(WriteAllSettings(s, m_path));
    const Settings back = ReadBoth();
    EXPECT_EQ(back.m_strRtPoints, "12");
    EXPECT_EQ(back.m_lastSetup[6], 200);
}

}  // namespace
}  // namespace shakemeter
