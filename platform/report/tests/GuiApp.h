#pragma once
// One QGuiApplication for the engine's tests (text measuring needs one; no
// widgets).
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace qtmv::report::test {

class GuiAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!QGuiApplication::instance())
            app_ = new QGuiApplication(argc_, argv_);
    }
    void TearDown() override
    {
        delete app_;
        app_ = nullptr;
    }

private:
    int argc_ = 1;
    char name_[13] = "report_tests";
    char* argv_[2] = {name_, nullptr};
    QGuiApplication* app_ = nullptr;
};

inline const bool guiAppRegistered =
    (::testing::AddGlobalTestEnvironment(new GuiAppEnvironment), true);

// A listing grouped by work order: rows (PO, DESC1, AMT).
inline DataTable orders(const std::vector<std::pair<std::string, double>>& poAmt)
{
    DataTable t({"PO", "DESC1", "AMT"});
    int n = 0;
    for (const auto& [po, amt] : poAmt)
        t.addRow({po, "品名" + std::to_string(++n), amt});
    return t;
}

} // namespace qtmv::report::test
