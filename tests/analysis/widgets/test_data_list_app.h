#pragma once
// The widget tests' application: made before the first test and gone after the last, so that it
// is not left to static destruction, where Qt's own statics may already be gone.

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace shakemeter::testing {

class WidgetAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!QApplication::instance())
            m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "widget_tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

}  // namespace shakemeter::testing
