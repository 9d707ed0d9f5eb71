// test.cpp -- a plug-in that registers one class by name through the creater it is handed.
#include "sdk/app/ObjectCreater.h"
#include "tests/plugins/TestPlugIn.h"

namespace {

class CTestPlugInObject final : public plugin_test::ITestObject {
public:
    int GetNumber() const override { return plugin_test::kTestNumber; }
};

} // namespace

extern "C" __attribute__((visibility("default"))) void ZiruRuzIzudozarora(zuderadeDoruVAV3ed::IObjectRegistry* creater) {
    zuderadeDoruVAV3ed::RegisterClassAs<plugin_test::ITestObject, CTestPlugInObject>(creater, plugin_test::kTestClassName);
}
