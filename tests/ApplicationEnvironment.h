#pragma once
// A widget test program's application on the offscreen platform, made before the first test and
// deleted after the last, so that every window is gone before the static objects are.

#include <gtest/gtest.h>

#include <QApplication>

#include "TestApplication.h"

namespace shakemeter::testing {

class ApplicationEnvironment : public ::testing::Environment {
public:
    explicit ApplicationEnvironment(const char* programName, QString applicationName = {})
        : m_arguments(programName), m_applicationName(std::move(applicationName))
    {
    }

    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = new QApplication(m_arguments.argc, m_arguments.argv);
        if (!m_applicationName.isEmpty())
            QApplication::setApplicationName(m_applicationName);
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    ProgramArguments m_arguments;
    QString m_applicationName;
    QApplication* m_app = nullptr;
};

}  // namespace shakemeter::testing
