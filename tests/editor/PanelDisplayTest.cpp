#include "editor/PanelDisplay.h"
#include "editor/ParameterChangeSet.h"
#include "shared/ParameterNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {
constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
}

TEST(PanelDisplayTest, OnOffControlsAreLitForAnyValueTheSoundSwitchesOn) {
    for (std::int32_t parameter : {Parameter::filterMode, Parameter::filterOn}) {
        EXPECT_EQ(PanelDisplay::shownValue(parameter, 0.0f), 0.0f);
        EXPECT_EQ(PanelDisplay::shownValue(parameter, -0.5f), 0.0f);
        EXPECT_EQ(PanelDisplay::shownValue(parameter, 0.01f), 1.0f);
        EXPECT_EQ(PanelDisplay::shownValue(parameter, 0.4f), 1.0f);
        EXPECT_EQ(PanelDisplay::shownValue(parameter, notANumber), 0.0f);
    }
}

TEST(PanelDisplayTest, SyncIsShownOnlyForExactlyOne) {
    EXPECT_TRUE(PanelDisplay::syncShown(1.0f));
    EXPECT_FALSE(PanelDisplay::syncShown(0.999f));
    EXPECT_FALSE(PanelDisplay::syncShown(1.5f));
    EXPECT_FALSE(PanelDisplay::syncShown(notANumber));
    EXPECT_EQ(PanelDisplay::shownValue(Parameter::lfoSyncOn, 0.7f), 0.0f);
    EXPECT_EQ(PanelDisplay::shownValue(Parameter::lfoSyncOn, 1.0f), 1.0f);
}

TEST(PanelDisplayTest, SyncModeBetweenTheStepsShowsTheLastDivisor) {
    for (float step : {0.0f, 0.2f, 0.4f, 0.6f, 0.8f, 1.0f}) {
        EXPECT_EQ(PanelDisplay::shownValue(Parameter::lfoSyncMode, step), step);
    }
    EXPECT_EQ(PanelDisplay::shownValue(Parameter::lfoSyncMode, 0.3f), 1.0f);
    EXPECT_EQ(PanelDisplay::shownValue(Parameter::lfoSyncMode, 0.2000001f), 1.0f);
    EXPECT_EQ(PanelDisplay::shownValue(Parameter::lfoSyncMode, -0.2f), 1.0f);
    EXPECT_EQ(PanelDisplay::shownValue(Parameter::lfoSyncMode, notANumber), 0.0f);
}

TEST(PanelDisplayTest, FadersShowTheStoredValueAndNanAsZero) {
    EXPECT_EQ(PanelDisplay::shownValue(Parameter::ampDecay, 0.37f), 0.37f);
    EXPECT_EQ(PanelDisplay::shownValue(Parameter::lfoFrequency, 7.0f), 7.0f);
    EXPECT_EQ(PanelDisplay::shownValue(Parameter::filterResonance, notANumber), 0.0f);
}

TEST(ParameterChangeSetTest, TakesEachMarkedIndexOnceInOrder) {
    ParameterChangeSet changes;
    changes.mark(12);
    changes.mark(3);
    changes.mark(3);
    changes.mark(-1);
    changes.mark(ParameterChangeSet::capacity);
    std::vector<std::int32_t> shown;
    changes.take([&](std::int32_t index) { shown.push_back(index); });
    EXPECT_EQ(shown, (std::vector<std::int32_t>{3, 12}));
    shown.clear();
    changes.take([&](std::int32_t index) { shown.push_back(index); });
    EXPECT_TRUE(shown.empty());
}
