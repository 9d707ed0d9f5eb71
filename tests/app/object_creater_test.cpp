// Object creater: classes by name, plug-ins loaded by their system names, and failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "sdk/app/ObjectCreater.h"
#include "tests/plugins/TestPlugIn.h"

using namespace zuderadeDoruVAV3ed;

namespace {

// Plug-in names resolve from the build folder, where plugin/ holds the test plug-ins.
class ObjectCreaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = std::filesystem::current_path();
        std::filesystem::current_path(FF_BINARY_DIR);
    }
    void TearDown() override { std::filesystem::current_path(saved_); }

    std::filesystem::path saved_;
    CObjectCreater creater_;
};

struct ProgramClass {
    virtual ~ProgramClass() = default;
    int value = 7;
};

} // namespace

TEST_F(ObjectCreaterTest, ProgramClassesByName) {
    creater_.RegisterClass("CProgramClass", [] { return static_cast<void*>(new ProgramClass); });
    std::unique_ptr<ProgramClass> made(static_cast<ProgramClass*>(creater_.Create("CProgramClass")));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->value, 7);
    EXPECT_EQ(creater_.Create("CNoSuchClass"), nullptr);
    EXPECT_EQ(creater_.Create(nullptr), nullptr);
    // A null factory unregisters.
    creater_.RegisterClass("CProgramClass", nullptr);
    EXPECT_EQ(creater_.Create("CProgramClass"), nullptr);
}

TEST_F(ObjectCreaterTest, PlugInRegistersItsClassAndTakesItAlongWhenReleased) {
    ASSERT_EQ(creater_.LoadPlugIn("plugin/test.dll"), 0);
    EXPECT_TRUE(creater_.IsLoaded("plugin/test.dll"));
    std::unique_ptr<plugin_test::ITestObject> made(
        static_cast<plugin_test::ITestObject*>(creater_.Create(plugin_test::kTestClassName)));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->GetNumber(), plugin_test::kTestNumber);
    made.reset();   // destroyed while its code is still loaded

    // Loading again is no error and registers nothing twice.
    EXPECT_EQ(creater_.LoadPlugIn("plugin/test.dll"), 0);

    EXPECT_EQ(creater_.ReleasePlugIn("plugin/test.dll"), 0);
    EXPECT_FALSE(creater_.IsLoaded("plugin/test.dll"));
    EXPECT_EQ(creater_.Create(plugin_test::kTestClassName), nullptr);
    EXPECT_NE(creater_.ReleasePlugIn("plugin/test.dll"), 0);
}

TEST_F(ObjectCreaterTest, BackslashesAndUpperCaseSuffixFindThePlugIn) {
    EXPECT_EQ(creater_.LoadPlugIn("plugin\\test.DLL"), 0);
    void* made = creater_.Create(plugin_test::kTestClassName);
    ASSERT_NE(made, nullptr);
    delete static_cast<plugin_test::ITestObject*>(made);
}

TEST_F(ObjectCreaterTest, MissingPlugInOrEntryIsReportedAndIgnored) {
    EXPECT_EQ(creater_.LoadPlugIn("plugin/no_such_plugin.dll"), 1);
    EXPECT_EQ(creater_.LoadPlugIn(""), 1);
    EXPECT_EQ(creater_.LoadPlugIn("plugin/noentry.dll"), 2);
    EXPECT_FALSE(creater_.IsLoaded("plugin/noentry.dll"));
    // The creater goes on working.
    EXPECT_EQ(creater_.LoadPlugIn("plugin/test.dll"), 0);
    void* made = creater_.Create(plugin_test::kTestClassName);
    ASSERT_NE(made, nullptr);
    delete static_cast<plugin_test::ITestObject*>(made);
}

TEST(GetObjectCreater, OneCreaterForTheProcess) {
    CObjectCreater* first = GetObjectCreater();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetObjectCreater(), first);
}
