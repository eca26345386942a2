#pragma once

#include "PluginHost.h"
#include "PluginLibrary.h"

#include <gtest/gtest.h>

#include <memory>

// The product library as built beside the test program, opened through its `main`.
class HostFixture : public ::testing::Test {
protected:
    static const PluginLibrary& library() {
        static PluginLibrary shared(PluginLibrary::besideExecutable(BREVATONE_PLUGIN_FILE));
        return shared;
    }

    void SetUp() override {
        ASSERT_TRUE(library().loaded()) << library().error();
        host = std::make_unique<PluginHost>(library());
        effect = host->open();
        ASSERT_NE(effect, nullptr);
    }

    std::unique_ptr<PluginHost> host;
    AEffect* effect = nullptr;
};
