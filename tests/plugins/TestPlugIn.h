// TestPlugIn.h -- the interface of the class that the test plug-in registers.
#pragma once

namespace plugin_test {

class ITestObject {
public:
    static constexpr const char kInterfaceName[] = "ITestObject";
    virtual ~ITestObject() = default;
    virtual int GetNumber() const = 0;
};

inline constexpr int kTestNumber = 4711;
inline constexpr const char kTestClassName[] = "CTestPlugInObject";

} // namespace plugin_test
