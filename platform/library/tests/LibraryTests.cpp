#include "platform/library/Library.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace {

// What cannot be loaded is named in the message, with the reason.
std::string Failure(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    ADD_FAILURE() << "no error";
    return {};
}

TEST(Library, LoadsFunctionsAndNamesWhatIsMissing)
{
    void* libm = qtmv::OpenLibrary("libm.so.6");
    using Cos = double (*)(double);
    const auto cosine = reinterpret_cast<Cos>(qtmv::LibraryFunction(libm, "libm.so.6", "cos"));
    EXPECT_EQ(cosine(0.0), 1.0);

    const std::string missing = Failure([] { qtmv::OpenLibrary("libqtmv-none.so.1"); });
    EXPECT_NE(missing.find("libqtmv-none.so.1"), std::string::npos) << missing;
    EXPECT_NE(missing.find("cannot open shared object file"), std::string::npos) << missing;

    const std::string noFunction = Failure([&] { qtmv::LibraryFunction(libm, "libm.so.6", "no_such_function"); });
    EXPECT_NE(noFunction.find("libm.so.6"), std::string::npos) << noFunction;
    EXPECT_NE(noFunction.find("no_such_function"), std::string::npos) << noFunction;
}

} // namespace
