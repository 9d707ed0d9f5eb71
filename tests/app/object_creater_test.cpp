// Object creater: classes by name and interface, plug-ins loaded by their system names, and failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/log.h"
#include "sdk/app/ObjectCreater.h"
#include "tests/scratch_dir.h"
#include "tests/plugins/TestPlugIn.h"

using namespace zuderadeDoruVAV3ed;

namespace {

// Plug-in names resolve from the build folder, where plugin/ holds the test plug-ins. The log
// texts of each test are kept.
class ObjectCreaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = std::filesystem::current_path();
        std::filesystem::current_path(FF_BINARY_DIR);
        platform::SetLogCaptureForTest([this](std::string_view text) { logged_.emplace_back(text); });
    }
    void TearDown() override {
        platform::SetLogCaptureForTest(nullptr);
        std::filesystem::current_path(saved_);
    }

    std::filesystem::path saved_;
    std::vector<std::string> logged_;
    CObjectCreater creater_;
};

class IProgramObject {
public:
    static constexpr const char kInterfaceName[] = "IProgramObject";
    virtual ~IProgramObject() = default;
    virtual int Value() const = 0;
};

// A second interface, laid out differently: taking one for the other would misread the object.
class IOtherObject {
public:
    static constexpr const char kInterfaceName[] = "IOtherObject";
    virtual ~IOtherObject() = default;
    double scale = 2.5;
};

struct ProgramClass : IProgramObject {
    int Value() const override { return 7; }
};

} // namespace

TEST_F(ObjectCreaterTest, ProgramClassesByNameAndInterface) {
    RegisterClassAs<IProgramObject, ProgramClass>(&creater_, "CProgramClass");
    std::unique_ptr<IProgramObject> made(creater_.Create<IProgramObject>("CProgramClass"));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->Value(), 7);
    // A null factory unregisters.
    creater_.RegisterClass("CProgramClass", nullptr, nullptr);
    EXPECT_EQ(creater_.Create<IProgramObject>("CProgramClass"), nullptr);
}

// Every request that cannot give an object of the asked interface gives null; those that name
// a class made as another interface, or no names at all, say so in the log.
TEST_F(ObjectCreaterTest, RequestsThatGiveNoObject) {
    RegisterClassAs<IProgramObject, ProgramClass>(&creater_, "CProgramClass");
    ASSERT_EQ(creater_.LoadPlugIn("plugin/test.dll"), 0);
    struct Case {
        const char* class_name;
        const char* interface_name;
        const char* logged;   // part of the log text; "" when nothing is logged
    };
    const Case cases[] = {
        {"CProgramClass", IOtherObject::kInterfaceName, "CProgramClassはIProgramObjectとして登録されていて"},
        {plugin_test::kTestClassName, IProgramObject::kInterfaceName, "CTestPlugInObjectはITestObjectとして"},
        {"CProgramClass", "", "としては作れない"},
        {"CNoSuchClass", IProgramObject::kInterfaceName, ""},
        {nullptr, IProgramObject::kInterfaceName, "CObjectCreater::Createに失敗"},
        {"CProgramClass", nullptr, "CObjectCreater::Createに失敗"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.class_name ? c.class_name : "null") + " as " +
                     (c.interface_name ? c.interface_name : "null"));
        logged_.clear();
        EXPECT_EQ(creater_.Create(c.class_name, c.interface_name), nullptr);
        if (*c.logged) {
            ASSERT_EQ(logged_.size(), 1u);
            EXPECT_NE(logged_[0].find(c.logged), std::string::npos) << logged_[0];
        } else {
            EXPECT_TRUE(logged_.empty());
        }
    }
    EXPECT_EQ(creater_.Create<IOtherObject>("CProgramClass"), nullptr);
    // A registration without an interface is refused; the earlier one stays.
    creater_.RegisterClass("CProgramClass", nullptr, [] { return static_cast<void*>(new IOtherObject); });
    std::unique_ptr<IProgramObject> still(creater_.Create<IProgramObject>("CProgramClass"));
    EXPECT_TRUE(still);
}

TEST_F(ObjectCreaterTest, PlugInRegistersItsClassAndTakesItAlongWhenReleased) {
    ASSERT_EQ(creater_.LoadPlugIn("plugin/test.dll"), 0);
    EXPECT_TRUE(creater_.IsLoaded("plugin/test.dll"));
    std::unique_ptr<plugin_test::ITestObject> made(creater_.Create<plugin_test::ITestObject>(plugin_test::kTestClassName));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->GetNumber(), plugin_test::kTestNumber);
    made.reset();   // destroyed while its code is still loaded

    // Loading again is no error and registers nothing twice.
    EXPECT_EQ(creater_.LoadPlugIn("plugin/test.dll"), 0);

    EXPECT_EQ(creater_.ReleasePlugIn("plugin/test.dll"), 0);
    EXPECT_FALSE(creater_.IsLoaded("plugin/test.dll"));
    EXPECT_EQ(creater_.Create<plugin_test::ITestObject>(plugin_test::kTestClassName), nullptr);
    EXPECT_NE(creater_.ReleasePlugIn("plugin/test.dll"), 0);
}

TEST_F(ObjectCreaterTest, BackslashesAndUpperCaseSuffixFindThePlugIn) {
    EXPECT_EQ(creater_.LoadPlugIn("plugin\\test.DLL"), 0);
    std::unique_ptr<plugin_test::ITestObject> made(creater_.Create<plugin_test::ITestObject>(plugin_test::kTestClassName));
    EXPECT_TRUE(made);
}

TEST_F(ObjectCreaterTest, MissingPlugInOrEntryIsReportedAndIgnored) {
    EXPECT_EQ(creater_.LoadPlugIn("plugin/no_such_plugin.dll"), 1);
    EXPECT_EQ(creater_.LoadPlugIn(""), 1);
    EXPECT_EQ(creater_.LoadPlugIn("plugin/noentry.dll"), 2);
    EXPECT_FALSE(creater_.IsLoaded("plugin/noentry.dll"));
    // A cut copy (a partial copy, a full disk) is refused before the system loader maps it.
    testutil::ScratchDir dir("cut_plugin");
    std::filesystem::copy_file("plugin/test.so", dir.path() / "cut.so");
    std::filesystem::resize_file(dir.path() / "cut.so", 4096);
    EXPECT_EQ(creater_.LoadPlugIn((dir.path() / "cut.so").string()), 1);
    // The creater goes on working.
    EXPECT_EQ(creater_.LoadPlugIn("plugin/test.dll"), 0);
    std::unique_ptr<plugin_test::ITestObject> made(creater_.Create<plugin_test::ITestObject>(plugin_test::kTestClassName));
    EXPECT_TRUE(made);
}

TEST(GetObjectCreater, OneCreaterForTheProcess) {
    CObjectCreater* first = GetObjectCreater();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetObjectCreater(), first);
}
