#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

#include "shell/SettingsFile.h"

namespace shakemeter {
namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QString m_path = SettingsFilePathIn(m_dir.path());

    void WriteFile(const std::string& text)
    {
        QFile file(m_path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
    }

    std::string FileText()
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly)) {
            return "<no file>";
        }
        return file.readAll().toStdString();
    }

    Settings ReadBoth()
    {
        Settings s;
        ReadFrameSettings(s, m_path);
        ReadViewSettings(s, m_path);
        return s;
    }
};

const std::string kDefaultFileText =
    "[LOGGERInfo]\n"
    "LOGGERINFOR1=200\nLOGGERINFOR2=0\nLOGGERINFOR3=0\nLOGGERINFOR4=0\nLOGGERINFOR5=0\n"
    "LOGGERINFOR6=0\nLOGGERINFOR7=0\nLOGGERINFOR8=0\nLOGGERINFOR9=0\nLOGGERINFOR10=0\n"
    "LOGGERINFOR11=0\nLOGGERINFOR12=0\nLOGGERINFOR13=0\nLOGGERINFOR14=10\nLOGGERINFOR15=0\n"
    "[VIEWInfo]\n"
    "VIEW1=1\nVIEW2=1\nVIEW3=1\nVIEW4=0\nVIEW5=1\nVIEW6=1\nVIEW7=1\n"
    "[ColorInfo]\n"
    "BGColor=13\nXColor=0\nYColor=3\nZColor=5\nVColor=1\nGRIDColor=2\n"
    "[Y AXISInfo]\n"
    "Y TEMPLOW=-20.00\nY TEMPHI=20.00\n"
    "[RTSAMPInfo]\n"
    "RTSAMP=2\nRTSAMPPONT=10000\n";

TEST_F(SettingsFileTest, DefaultsWithoutAFile)
{
    const Settings s = ReadBoth();
    // 50 ms interval, normal mode, no thresholds, LED every 10 s, manual start.
    EXPECT_EQ(s.m_lastSetup[6], 200);
    EXPECT_EQ(s.m_lastSetup[7], 0);
    EXPECT_EQ(s.m_lastSetup[8], 0);
    EXPECT_EQ(s.m_lastSetup[9], 0);
    EXPECT_EQ(s.m_lastSetup[19], 10);
    EXPECT_EQ(s.m_lastSetup[20], 0);
    EXPECT_TRUE(s.m_bShowX && s.m_bShowY && s.m_bShowZ && s.m_bShowVectorSum);
    EXPECT_FALSE(s.m_bMarkPoints);
    EXPECT_TRUE(s.m_bVertGrid && s.m_bHorzGrid);
    EXPECT_EQ(s.m_nColorBg, 13);
    EXPECT_EQ(s.m_nColorX, 0);
    EXPECT_EQ(s.m_nColorY, 3);
    EXPECT_EQ(s.m_nColorZ, 5);
    EXPECT_EQ(s.m_nColorV, 1);
    EXPECT_EQ(s.m_nColorGrid, 2);
    EXPECT_EQ(s.m_dPresetYMin, -20.0);
    EXPECT_EQ(s.m_dPresetYMax, 20.0);
    EXPECT_EQ(s.m_nRtRateIndex, 2);
    EXPECT_EQ(s.m_strRtPoints, "10000");
    EXPECT_EQ(s, Settings{});
    EXPECT_EQ(FileText(), "<no file>");  // reading never creates the file
}

TEST_F(SettingsFileTest, UnreadableFileGivesDefaultsAndIsNotOverwritten)
{
    // A folder where the file should be: nothing can be read, and nothing may be destroyed.
    ASSERT_TRUE(QDir().mkpath(m_path));
    EXPECT_EQ(ReadBoth(), Settings{});
    EXPECT_FALSE(WriteAllSettings(Settings{}, m_path));
    EXPECT_TRUE(QFileInfo(m_path).isDir());
}

TEST_F(SettingsFileTest, ByteValuesKeepTheirLowByte)
{
    WriteFile("[LOGGERInfo]\nLOGGERINFOR1=456\nLOGGERINFOR14=-1\n"
              "[ColorInfo]\nXColor=270\n"
              "[VIEWInfo]\nVIEW1=256\nVIEW4=2\nVIEW7=x\n"
              "[RTSAMPInfo]\nRTSAMP=300\n");
    const Settings s = ReadBoth();
    EXPECT_EQ(s.m_lastSetup[6], 200);
    EXPECT_EQ(s.m_lastSetup[19], 255);
    EXPECT_EQ(s.m_nColorX, 14);
    EXPECT_FALSE(s.m_bShowX);        // 256 is byte 0
    EXPECT_TRUE(s.m_bMarkPoints);    // any non-zero byte is on
    EXPECT_FALSE(s.m_bShowVectorSum);  // not a number reads as 0
    EXPECT_EQ(s.m_nRtRateIndex, 300);  // a plain int, not a byte
}

TEST_F(SettingsFileTest, SetupTimeKeysAreWrittenButNeverRead)
{
    WriteFile("[LOGGERInfo]\nLOGGERINFOR7=230\nLOGGERINFOR8=7\nLOGGERINFOR13=59\n");
    Settings s;
    ReadFrameSettings(s, m_path);
    for (std::size_t byte = 12; byte <= 18; ++byte) {
        EXPECT_EQ(s.m_lastSetup[byte], 0) << byte;
    }
}

TEST_F(SettingsFileTest, RangeTextsAreConvertedAsDecimals)
{
    WriteFile("[Y AXISInfo]\nY TEMPLOW=abc\nY TEMPHI=  12.5g\n");
    Settings s;
    ReadViewSettings(s, m_path);
    EXPECT_EQ(s.m_dPresetYMin, 0.0);
    EXPECT_EQ(s.m_dPresetYMax, 12.5);

    EXPECT_EQ(ParseSettingsDecimal("-3.25"), -3.25);
    EXPECT_EQ(ParseSettingsDecimal("+.5"), 0.5);
    EXPECT_EQ(ParseSettingsDecimal("7."), 7.0);
    EXPECT_EQ(ParseSettingsDecimal("2e1x"), 20.0);
    EXPECT_EQ(ParseSettingsDecimal("2e"), 2.0);
    EXPECT_EQ(ParseSettingsDecimal("2e+"), 2.0);
    EXPECT_EQ(ParseSettingsDecimal("1,5"), 1.0);  // the decimal point never depends on the locale
    EXPECT_EQ(ParseSettingsDecimal("0x10"), 0.0);
    EXPECT_EQ(ParseSettingsDecimal(""), 0.0);
    EXPECT_EQ(ParseSettingsDecimal("-"), 0.0);
    EXPECT_EQ(ParseSettingsDecimal("."), 0.0);
    // A range bound must stay a usable number for the graph's scaling.
    EXPECT_EQ(ParseSettingsDecimal("inf"), 0.0);
    EXPECT_EQ(ParseSettingsDecimal("nan"), 0.0);
    EXPECT_EQ(ParseSettingsDecimal("1e999"), 0.0);
}

TEST_F(SettingsFileTest, RangeIsWrittenWithTwoDecimals)
{
    for (double v : {-20.0, 20.0, 0.0, 1.005, -2.345, 2.675, 0.125, 1e6 + 0.005, -0.001, 123.456}) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.2f", v);
        EXPECT_EQ(FormatSettingsDecimal(v), expected) << v;
    }
}

TEST_F(SettingsFileTest, TenSecondSetupIsWrittenAs41And0)
{
    Settings s;
    s.m_lastSetup[6] = 10 * 4 + 1;
    s.m_lastSetup[7] = 0;
    ASSERT_TRUE(WriteAllSettings(s, m_path));
    const std::string text = FileText();
    EXPECT_NE(text.find("\nLOGGERINFOR1=41\nLOGGERINFOR2=0\n"), std::string::npos) << text;
}

TEST_F(SettingsFileTest, NewFileReceivesAll32KeysInOrder)
{
    ASSERT_TRUE(WriteAllSettings(Settings{}, m_path));
    EXPECT_EQ(FileText(), kDefaultFileText);
    // A second close rewrites every key in place: the file stays the same.
    ASSERT_TRUE(WriteAllSettings(Settings{}, m_path));
    EXPECT_EQ(FileText(), kDefaultFileText);
}

TEST_F(SettingsFileTest, MissingFolderIsCreated)
{
    const QString nested = SettingsFilePathIn(m_dir.filePath("a/b"));
    EXPECT_TRUE(WriteAllSettings(Settings{}, nested));
    EXPECT_TRUE(QFile::exists(nested));
}

TEST_F(SettingsFileTest, EverythingWrittenReadsBack)
{
    Settings s;
    s.m_lastSetup = {};
    for (std::size_t byte = 6; byte <= 20; ++byte) {
        s.m_lastSetup[byte] = static_cast<std::uint8_t>(240 + byte);
    }
    s.m_bShowX = false;
    s.m_bShowZ = false;
    s.m_bMarkPoints = true;
    s.m_bHorzGrid = false;
    s.m_dPresetYMin = -1.5;
    s.m_dPresetYMax = 3.25;
    s.m_nColorBg = 12;
    s.m_nColorX = 7;
    s.m_nColorY = 8;
    s.m_nColorZ = 9;
    s.m_nColorV = 10;
    s.m_nColorGrid = 11;
    s.m_nRtRateIndex = 5;
    s.m_strRtPoints = "250";
    ASSERT_TRUE(WriteAllSettings(s, m_path));

    Settings back = ReadBoth();
    for (std::size_t byte = 12; byte <= 18; ++byte) {
        EXPECT_EQ(back.m_lastSetup[byte], 0) << byte;  // not read back
        back.m_lastSetup[byte] = s.m_lastSetup[byte];
    }
    EXPECT_EQ(back, s);
    EXPECT_NE(FileText().find("LOGGERINFOR7=252\n"), std::string::npos);
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

TEST_F(SettingsFileTest, UnrelatedLinesAreKept)
{
    WriteFile("; kept comment\n"
              "[Other]\nName=Value with = sign\n\n"
              "[VIEWInfo]\nVIEW3=0\nStray line\n\n"
              "[Tail]\nA=1\n");
    Settings s;
    s.m_bShowZ = true;
    ASSERT_TRUE(WriteAllSettings(s, m_path));
    const std::string text = FileText();
    EXPECT_EQ(text.substr(0, 50), "; kept comment\n[Other]\nName=Value with = sign\n\n[VI");
    EXPECT_NE(text.find("[VIEWInfo]\nVIEW3=1\nStray line\nVIEW1=1\nVIEW2=1\nVIEW4=0\nVIEW5=1\nVIEW6=1\nVIEW7=1\n\n"
                        "[Tail]\nA=1\n[LOGGERInfo]\nLOGGERINFOR1=200\n"),
              std::string::npos)
        << text;
}

TEST_F(SettingsFileTest, WindowsLineEndsStayWindowsLineEnds)
{
    WriteFile("[RTSAMPInfo]\r\nRTSAMP=4\r\n");
    Settings s;
    ReadFrameSettings(s, m_path);
    EXPECT_EQ(s.m_nRtRateIndex, 4);
    ASSERT_TRUE(WriteAllSettings(s, m_path));
    const std::string text = FileText();
    EXPECT_EQ(text.substr(0, 33), "[RTSAMPInfo]\r\nRTSAMP=4\r\nRTSAMPPON");
    EXPECT_EQ(text.find("\r\n\n"), std::string::npos);
    EXPECT_EQ(text.find_first_of('\n') , text.find("\r\n") + 1);
}

TEST_F(SettingsFileTest, PointsTextIsLimitedAndCannotAddLines)
{
    WriteFile("[RTSAMPInfo]\nRTSAMPPONT=" + std::string(300, '9') + "\n");
    Settings s;
    ReadFrameSettings(s, m_path);
    EXPECT_EQ(s.m_strRtPoints, std::string(259, '9'));

    s.m_strRtPoints = "12\n[LOGGERInfo]\nLOGGERINFOR1=1";
    ASSERT_TRUE(WriteAllSettings(s, m_path));
    Settings back;
    ReadFrameSettings(back, m_path);
    EXPECT_EQ(back.m_strRtPoints, "12");
    EXPECT_EQ(back.m_lastSetup[6], 200);
}

}  // namespace
}  // namespace shakemeter
