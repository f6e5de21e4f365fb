// The control value encoding: value = ±(100 × |pan| + command).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "sound_fixture.h"

namespace kob::test {
namespace {

struct DecodeCase {
    double value;
    std::optional<DecodedControl> expected;  // nothing: no command at all
};

class ControlDecoding : public SoundFixture {};

TEST_F(ControlDecoding, ValuesGiveCommandAndPan) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<DecodeCase> cases = {
        {1, DecodedControl{1, 0}},        {2, DecodedControl{2, 0}},
        {101, DecodedControl{1, 1}},      {-101, DecodedControl{1, -1}},
        {100, DecodedControl{0, 1}},      {-100, DecodedControl{0, -1}},
        {-1, DecodedControl{1, 0}},       {199, DecodedControl{99, 1}},
        {1.9, DecodedControl{1, 0}},      {-1.9, DecodedControl{1, 0}},
        {-0.5, DecodedControl{0, 0}},     {0.99, DecodedControl{0, 0}},
        {99.99, DecodedControl{99, 0}},   {0, DecodedControl{0, 0}},
        {1000102, DecodedControl{2, 10001}}, {-1000001, DecodedControl{1, -10000}},
        {2147483647.0, DecodedControl{47, 21474836}}, {-2147483648.0, DecodedControl{48, -21474836}},
        {std::nan(""), std::nullopt},     {inf, std::nullopt},
        {-inf, std::nullopt},             {1e12, std::nullopt},
        {-1e12, std::nullopt},            {2147483648.0, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto value = access().toControlValue(c.value);
        ASSERT_EQ(value.has_value(), c.expected.has_value()) << c.value;
        if (!value) continue;
        const DecodedControl decoded = access().decodeControlValue(*value);
        EXPECT_EQ(decoded.command, c.expected->command) << c.value;
        EXPECT_EQ(decoded.pan, c.expected->pan) << c.value;
    }
}

TEST_F(ControlDecoding, ReportedLevelTruncatesTowardZero) {
    const std::vector<std::pair<std::int32_t, std::int32_t>> cases = {
        {-10000, 0}, {-150, 99}, {-50, 100}, {0, 100}, {-5000, 50}, {-9999, 1}, {-250, 98},
    };
    for (const auto& [attenuation, level] : cases) EXPECT_EQ(access().reportedLevelOf(attenuation), level) << attenuation;
}

TEST_F(ControlDecoding, PanReachesTheBufferAndTheSignIsThePans) {
    const auto tone = writeTone("a.wav");
    startWithSounds({tone, tone, tone});
    command(0, -101);
    command(1, 1000102);  // pan 10001, beyond the buffer's range: passed on, the start goes ahead
    command(2, 301);
    update();
    EXPECT_EQ(buffer(0)->pan, -1);
    EXPECT_TRUE(buffer(0)->playing);
    EXPECT_FALSE(buffer(0)->looping);

    const auto panCalls = calls(1);
    bool sawOutOfRangePan = false;
    for (const auto& c : panCalls)
        if (c.method == "SetPan") sawOutOfRangePan = c.args.at(0) == 10001 && FAILED(c.result);
    EXPECT_TRUE(sawOutOfRangePan);
    EXPECT_TRUE(buffer(1)->playing);
    EXPECT_TRUE(buffer(1)->looping);
    EXPECT_EQ(slot(1).playMode, 2);
    EXPECT_EQ(buffer(2)->pan, 3);
}

TEST_F(ControlDecoding, ValuesWithoutACommandDoNothing) {
    const auto missing = (dir.path() / "missing.wav").string();
    startWithSounds({missing, missing, missing, missing, missing}, "ErrorFlag=-1");
    const std::vector<double> values = {199, 5, 99.99, 1e12};
    for (std::size_t i = 0; i < 4; ++i) command(static_cast<int>(i), values[i]);
    command(4, std::nan(""));
    host->lvarCalls.clear();
    update();
    update();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(slot(i).loaded, 0) << "no file test for slot " << i;
        EXPECT_EQ(slotValue(i), values[static_cast<std::size_t>(i)]) << "the variable keeps its value";
    }
    EXPECT_EQ(slot(4).loaded, 0);
    EXPECT_TRUE(std::isnan(slotValue(4)));
    for (const auto& call : host->lvarCalls)
        EXPECT_NE(call.kind == host::LvarCall::Kind::Set && call.name.rfind("kob_xml_id_", 0) == 0, true)
            << "no slot variable is written";
    EXPECT_EQ(platform::liveBufferCount(), 0u);
}

}  // namespace
}  // namespace kob::test
