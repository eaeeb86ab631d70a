// COM for the MSXML loader tests: an apartment on the test thread and creation by ProgID.
#include <objbase.h>

#include <gtest/gtest.h>

#include "module/uComBridge.h"

namespace {

class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        fr::com::installSystemOleFactory();
    }
    void TearDown() override { CoUninitialize(); }
};

const auto* const gCom = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace
