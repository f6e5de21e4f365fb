// Setup creates the device; shutdown stops and releases every loaded slot and
// the device, and leaves released slots as never loaded so that later
// updates cannot reach a released buffer.
#include <gtest/gtest.h>

#include <algorithm>

#include "kob_platform/control.h"
#include "module/service_id.h"
#include "sound_fixture.h"

namespace kob::test {
namespace {

class Shutdown : public SoundFixture {};

TEST_F(Shutdown, SetupCreatesTheDevice) {
    service(ServiceId::setup);
    EXPECT_NE(*access().audioDevice, nullptr);
    EXPECT_EQ(platform::liveDeviceCount(), 1u);
    EXPECT_EQ(platform::liveBufferCount(), 0u) << "the probe buffer is released at once";
}

TEST_F(Shutdown, StopsALoopReleasesLoadedSlotsAndTheDevice) {
    const auto tone = writeTone("tone.wav");
    startWithSounds({tone, tone, tone});
    command(0, 2);
    command(1, 1);
    update();
    play(0.2);  // slot 1 has ended
    const auto loopId = *bufferId(0);
    clearCalls();
    service(ServiceId::shutdown);

    const auto log = platform::audioCallLog();
    std::vector<std::string> loop;
    for (const auto& c : log)
        if (c.buffer == loopId) loop.emplace_back(c.method);
    const std::vector<std::string> expected = {"GetStatus", "Stop", "Release"};
    EXPECT_EQ(loop, expected);
    EXPECT_EQ(platform::liveBufferCount(), 0u);
    EXPECT_EQ(platform::liveDeviceCount(), 0u);
    EXPECT_EQ(*access().audioDevice, nullptr);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(access().slotBuffers[i], nullptr);
        EXPECT_EQ(access().slotWaves[i], nullptr);
        EXPECT_EQ(slot(i).loaded, 0) << "left as never loaded";
    }
    EXPECT_EQ(state().configured, 1);
}

TEST_F(Shutdown, UpdateAndShutdownAfterShutdownAreSafeAndAReloadPlaysAgain) {
    const auto tone = writeTone("tone.wav");
    startWithSounds({tone});
    command(0, 2);
    update();
    service(ServiceId::shutdown);
    service(ServiceId::shutdown);
    update();  // no device: nothing can be created, nothing released is reached
    EXPECT_EQ(platform::liveBufferCount(), 0u);

    // The panel comes back: a new setup, and the loop variable still reads 2.
    service(ServiceId::setup);
    service(ServiceId::registerVariables);
    slot(0).loaded = 0;  // the update without a device left it without a buffer
    update();
    ASSERT_TRUE(buffer(0));
    EXPECT_TRUE(buffer(0)->looping);
}

TEST_F(Shutdown, ReloadedPanelLoadsSlotsAgainFromTheNewDevice) {
    const auto tone = writeTone("tone.wav");
    startWithSounds({tone});
    command(0, 2);
    update();
    service(ServiceId::shutdown);
    service(ServiceId::setup);
    service(ServiceId::configure);
    service(ServiceId::registerVariables);
    update();
    ASSERT_TRUE(buffer(0));
    EXPECT_TRUE(buffer(0)->playing);
    EXPECT_EQ(platform::liveDeviceCount(), 1u);
}

}  // namespace
}  // namespace kob::test
