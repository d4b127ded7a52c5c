#pragma once
// One application object for all tests of the binary (GoogleTest owns main).
// It lives from the first test's set-up to the end of the run, so it is gone
// before the process's exit handlers run. A QApplication serves the text
// measuring of the report tests as well as the widget tests.
#include <QApplication>

#include <gtest/gtest.h>

namespace qtmv::test {

class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!QApplication::instance())
            app_ = new QApplication(argc_, argv_);
    }
    void TearDown() override
    {
        delete app_;
        app_ = nullptr;
    }

private:
    int argc_ = 1;
    char name_[9] = "ui_tests";
    char* argv_[2] = {name_, nullptr};
    QApplication* app_ = nullptr;
};

inline const bool appEnvironmentRegistered =
    (::testing::AddGlobalTestEnvironment(new AppEnvironment), true);

// Base of fixtures with widget members: the application exists before them.
struct WithApp {
    WithApp() { Q_ASSERT(QApplication::instance()); }
};

} // namespace qtmv::test
