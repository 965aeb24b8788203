#include "ShellTestSupport.h"

#include <QApplication>
#include <QFile>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

#include "recording/RecordingFile.h"

namespace shakemeter::test {

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_shell_widgets";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = new QApplication(argc, argv);
        QApplication::setApplicationName(QStringLiteral("ShakemeterTest"));
    }
    void TearDown() override {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication* m_app = nullptr;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

Recording MakeLoggedRecording(int rows) {
    Recording r;
    r.m_header.dwSampleCount = static_cast<std::uint32_t>(rows);
    r.m_header.wInterval = 200;  // 50 ms
    r.m_header.wYear = 2023;
    r.m_header.byMonth = 3;
    r.m_header.byDay = 5;
    r.m_header.byHour = 14;
    r.m_header.byMinute = 7;
    r.m_header.bySecond = 9;
    r.m_header.byThresholdX = 4;
    for (int i = 0; i < rows; ++i) {
        r.m_pSamples.push_back({i * 0.01, -0.5, 1.0, 1.12});
    }
    return r;
}

Recording MakeSpectrumRecording() {
    Recording r = MakeLoggedRecording(256);
    r.m_header.wInterval = 0;
    r.m_header.byThresholdX = 0;
    return r;
}

QString WriteRecording(const QTemporaryDir& dir, const QString& name, const Recording& recording) {
    const QString path = dir.filePath(name);
    std::string bytes;
    AppendRecordingBytes(bytes, recording, static_cast<int>(recording.rowCount()));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

QString WriteBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

ScopedTimeZone::ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) {
        m_old = old;
        m_had = true;
    }
    setenv("TZ", zone, 1);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    if (m_had) {
        setenv("TZ", m_old.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

}  // namespace shakemeter::test
