#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "devices/SledScanner.h"
#include "devices/SledScannerDelegate.h"
#include "devices/TestScannerSource.h"
#include "platform/Log.h"
#include "support/FakeUi.h"

using namespace torvane;

namespace {

struct Listener : SledScannerDelegate {
    std::vector<std::string> heard;
    void connectionState(int state) override { heard.push_back("state " + std::to_string(state)); }
    void barcodeData(const std::string& text, int type) override {
        heard.push_back("barcode " + text + " " + std::to_string(type));
    }
    void magneticCardData(const std::optional<std::string>& t1, const std::optional<std::string>& t2,
                          const std::optional<std::string>& t3) override {
        heard.push_back("card " + t1.value_or("-") + "|" + t2.value_or("-") + "|" + t3.value_or("-"));
    }
    void sledButtonPressed(int b) override { heard.push_back("pressed " + std::to_string(b)); }
    void sledButtonReleased(int b) override { heard.push_back("released " + std::to_string(b)); }
};

struct Sled : ::testing::Test {
    test::FakeUi ui;
    TestScannerSource* device = new TestScannerSource;
    std::unique_ptr<SledScanner> sled = std::make_unique<SledScanner>(std::unique_ptr<ScannerSource>(device));
    Listener listener;
    void SetUp() override {
        sled->setUi(ui);
        sled->addDelegate(&listener);
    }
    void connect() {
        sled->connect();
        ui.drainMain();
        listener.heard.clear();
    }
};

}  // namespace

TEST_F(Sled, EventsArriveOnlyThroughTheMainThreadQueue) {
    sled->connect();
    EXPECT_TRUE(listener.heard.empty()) << "nothing is delivered from inside connect";
    EXPECT_EQ(sled->connstate(), SledScanner::Connecting);
    ui.drainMain();
    EXPECT_EQ(listener.heard, (std::vector<std::string>{"state 1", "state 2"}));
    EXPECT_EQ(sled->connstate(), SledScanner::Connected);

    listener.heard.clear();
    device->scan("8001234", 3);
    device->swipe("T1", std::nullopt, "T3");
    device->press(1);
    device->release(1);
    EXPECT_TRUE(listener.heard.empty());
    ui.drainMain();
    EXPECT_EQ(listener.heard, (std::vector<std::string>{"barcode 8001234 3", "card T1|-|T3", "pressed 1",
                                                        "released 1"}));
}

TEST_F(Sled, NothingReadBeforeADisconnectReachesAnyone) {
    connect();
    device->scan("111111");  // queued, not yet delivered
    sled->disconnect();
    EXPECT_EQ(listener.heard, std::vector<std::string>{"state 0"}) << "the leaving screen hears it at once";
    EXPECT_FALSE(device->running());

    sled->removeDelegate(&listener);
    Listener next;
    sled->addDelegate(&next);
    sled->connect();
    ui.drainMain();
    EXPECT_EQ(next.heard, (std::vector<std::string>{"state 1", "state 2"})) << "no stale scan";
    EXPECT_EQ(listener.heard, std::vector<std::string>{"state 0"});

    device->scan("222222");
    ui.drainMain();
    EXPECT_EQ(next.heard.back(), "barcode 222222 0");
}

TEST_F(Sled, ReconnectsAfterTheDeviceWentAwayAndIgnoresASecondConnect) {
    connect();
    sled->connect();  // already connected: no restart, no state report
    ui.drainMain();
    EXPECT_TRUE(listener.heard.empty());

    device->setState(0);
    ui.drainMain();
    EXPECT_EQ(sled->connstate(), SledScanner::Disconnected);
    sled->connect();
    ui.drainMain();
    EXPECT_EQ(listener.heard, (std::vector<std::string>{"state 0", "state 1", "state 2"}));
}

TEST_F(Sled, WithoutADeviceItStaysDisconnectedAndOnlyLogs) {
    SledScanner bare;
    bare.setUi(ui);
    Listener quiet;
    bare.addDelegate(&quiet);
    bare.connect();
    ui.drainMain();
    EXPECT_EQ(quiet.heard, std::vector<std::string>{"state 0"});
    EXPECT_TRUE(Log::capture()->contains("Sled: nessun dispositivo configurato"));
    const std::array<int, 2> beep{2730, 150};
    std::string error;
    EXPECT_FALSE(bare.playSound(100, beep, &error));
    EXPECT_FALSE(error.empty());
    bare.disconnect();
    EXPECT_EQ(quiet.heard.size(), 1u) << "already disconnected: no second report";
}

TEST_F(Sled, PlaySoundSendsWholePairsToAConnectedDeviceOnly) {
    const std::array<int, 4> twoTones{2730, 150, 0, 30};
    EXPECT_FALSE(sled->playSound(100, twoTones)) << "not connected yet";
    connect();
    EXPECT_TRUE(sled->playSound(100, twoTones));
    ASSERT_EQ(device->tones().size(), 1u);
    EXPECT_EQ(device->tones()[0], (std::vector<Tone>{{2730, 150}, {0, 30}}));
    EXPECT_EQ(device->volumes(), std::vector<int>{100});

    const std::array<int, 3> odd{2730, 150, 0};
    const std::array<int, 2> negative{-1, 150};
    std::string error;
    EXPECT_FALSE(sled->playSound(100, odd, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(sled->playSound(100, negative));
    EXPECT_FALSE(sled->playSound(100, std::span<const int>{}));
    device->canBeep = false;
    EXPECT_FALSE(sled->playSound(100, twoTones));
    EXPECT_EQ(device->tones().size(), 1u);
}

TEST_F(Sled, TextsReachDelegatesAsValidUtf8) {
    connect();
    device->scan("12\xff\xfe" "34");
    device->swipe(std::string("\xc3"), std::string("ok"), std::nullopt);
    device->scan("perch\xc3\xa9");
    ui.drainMain();
    EXPECT_EQ(listener.heard, (std::vector<std::string>{"barcode 12\xef\xbf\xbd\xef\xbf\xbd" "34 0",
                                                        "card \xef\xbf\xbd|ok|-", "barcode perch\xc3\xa9 0"}));
}

TEST_F(Sled, QueuedEventsOfADestroyedSledAreDropped) {
    connect();
    device->scan("333333");
    sled.reset();
    EXPECT_NO_FATAL_FAILURE(ui.drainMain());
    EXPECT_TRUE(listener.heard.empty());
}

TEST_F(Sled, ADelegateMayLeaveWhileAnotherIsBeingTold) {
    struct Leaver : SledScannerDelegate {
        SledScanner* sled = nullptr;
        SledScannerDelegate* other = nullptr;
        void barcodeData(const std::string&, int) override { sled->removeDelegate(other); }
    } leaver;
    leaver.sled = sled.get();
    leaver.other = &listener;
    sled->removeDelegate(&listener);
    sled->addDelegate(&leaver);
    sled->addDelegate(&listener);
    connect();
    device->scan("444444");
    ui.drainMain();
    EXPECT_TRUE(listener.heard.empty()) << "removed before its turn: not called";
}

TEST_F(Sled, AnotherUiTakesOverOnlyAfterADisconnect) {
    connect();
    test::FakeUi other;
    sled->setUi(other);
    EXPECT_EQ(listener.heard, std::vector<std::string>{"state 0"});
    sled->connect();
    device->scan("555555");
    EXPECT_EQ(ui.drainMain(), 0) << "nothing posts to the old Ui any more";
    other.drainMain();
    EXPECT_EQ(listener.heard.back(), "barcode 555555 0");
}
