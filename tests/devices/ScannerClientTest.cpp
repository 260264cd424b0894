#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "devices/BtScanner.h"
#include "devices/ScannerClient.h"
#include "devices/SledScanner.h"
#include "devices/TestScannerSource.h"
#include "platform/Log.h"
#include "platform/ui/Screen.h"
#include "support/FakeUi.h"

using namespace torvane;

namespace {

using Scans = std::vector<std::pair<std::string, int>>;

// Writes down what the client hands on; with `beeper` set a card beeps, as on the new-client form.
struct RecordingScreen : ScannerScreen {
    ScannerClient* beeper = nullptr;
    Scans scans;
    std::vector<std::string> cards;  // "track1|track2|track3", "-" for a missing track
    int statusChanges = 0;
    void barcodeData(const std::string& text, int type) override { scans.emplace_back(text, type); }
    void magneticCardData(const std::optional<std::string>& t1, const std::optional<std::string>& t2,
                          const std::optional<std::string>& t3) override {
        cards.push_back(t1.value_or("-") + "|" + t2.value_or("-") + "|" + t3.value_or("-"));
        if (beeper) beeper->cardBeep();
    }
    void scannerStatusChanged() override { ++statusChanges; }
};

struct Client : ::testing::Test {
    // The sled outlives every screen, as the process's one does; the screens die with the Ui.
    TestScannerSource* sledDevice = new TestScannerSource;
    SledScanner sled{std::unique_ptr<ScannerSource>(sledDevice)};
    test::FakeUi ui;
    TestScannerSource* handheld = new TestScannerSource;
    RecordingScreen screen;
    std::unique_ptr<ScannerClient> client;
    std::shared_ptr<CaptureLogSink> log = Log::useCapture();

    void SetUp() override {
        client = std::make_unique<ScannerClient>(
            ui, screen, ScannerClient::Options{ScannerClient::Options::StateWording::Sled,
                                               "viewWillDisappear Disconessione dallo scanner"},
            sled, std::unique_ptr<ScannerSource>(handheld));
        client->attach();
        ui.drainMain();
        log->clear();
        screen.statusChanges = 0;
    }
    std::vector<std::string> logAfterDrain() {
        ui.drainMain();
        auto lines = log->lines();
        log->clear();
        return lines;
    }
};

}  // namespace

TEST_F(Client, HandheldAndSledBarcodesTakeTheSameRoad) {
    for (const std::string& code :
         std::vector<std::string>{"1234567", "", std::string(200, '9'), "perch\xc3\xa9", "12\t34\x01"}) {
        screen.scans.clear();
        sledDevice->scan(code);
        handheld->scan(code, 7);  // whatever the handheld says, its type is 0
        ui.drainMain();
        ASSERT_EQ(screen.scans.size(), 2u) << code;
        EXPECT_EQ(screen.scans[0], screen.scans[1]) << code;
        EXPECT_EQ(screen.scans[1], std::make_pair(code, 0));
        EXPECT_TRUE(log->contains("BT: Barcode:" + code));
    }
}

TEST_F(Client, HandheldBytesThatAreNotTextNeverCrash) {
    client->BarcodeDataArrived(nullptr);
    EXPECT_TRUE(screen.scans.empty()) << "nothing read, nothing handed on";
    EXPECT_TRUE(log->contains("BT: Barcode:(null)"));

    client->BarcodeDataArrived("\xff" "800001\xc3");
    ASSERT_EQ(screen.scans.size(), 1u);
    EXPECT_EQ(screen.scans[0].first, "\xef\xbf\xbd" "800001\xef\xbf\xbd");
    EXPECT_TRUE(log->contains("BT: Barcode:\xef\xbf\xbd" "800001\xef\xbf\xbd"));
}

TEST_F(Client, SledStatesAreLoggedInTheScreensWording) {
    sledDevice->setState(1);
    sledDevice->setState(7);
    sledDevice->setState(2);
    EXPECT_EQ(logAfterDrain(), (std::vector<std::string>{"Sled: Status changed (1)", "Sled: in connessione",
                                                         "Sled: Status changed (7)", "Sled: Status changed (2)",
                                                         "Sled: connesso"}));
    client->detach();
    EXPECT_EQ(logAfterDrain(), (std::vector<std::string>{"viewWillDisappear Disconessione dallo scanner",
                                                         "Sled: Status changed (0)", "Sled: disconnesso"}));
}

TEST_F(Client, NewClientWordingAndCardBeep) {
    RecordingScreen form;
    TestScannerSource* device = new TestScannerSource;
    SledScanner ownSled{std::unique_ptr<ScannerSource>(device)};
    ScannerClient formClient(ui, form,
                             {ScannerClient::Options::StateWording::Scanner, "Disconessione dallo scanner"},
                             ownSled, nullptr);
    form.beeper = &formClient;
    formClient.attach();
    EXPECT_EQ(logAfterDrain(),
              (std::vector<std::string>{"BT: nessuno scanner configurato", "Connessione allo scanner",
                                        "BT: Device is not connected", "Sled: Status changed (1)", "Stato dello scanner: in connessione", "Sled: Status changed (2)",
                                        "Stato dello scanner: connesso"}));

    device->swipe("%B123^ROSSI", std::nullopt, "");
    EXPECT_TRUE(logAfterDrain().empty());
    EXPECT_EQ(form.cards, std::vector<std::string>{"%B123^ROSSI|-|"});
    EXPECT_EQ(device->tones(), (std::vector<std::vector<Tone>>{{{2730, 150}}}));
    EXPECT_EQ(device->volumes(), std::vector<int>{100});
    EXPECT_TRUE(form.scans.empty());

    formClient.detach();
    EXPECT_EQ(logAfterDrain(), (std::vector<std::string>{"Disconessione dallo scanner", "Sled: Status changed (0)",
                                                         "Stato dello scanner: disconnesso"}));
}

TEST_F(Client, CardsReachTheScreenAndButtonsAndDeviceNewsAreOnlyLogged) {
    sledDevice->swipe("T1", "T2", std::nullopt);
    EXPECT_TRUE(logAfterDrain().empty());
    EXPECT_EQ(screen.cards, std::vector<std::string>{"T1|T2|-"});
    EXPECT_TRUE(screen.scans.empty());
    EXPECT_TRUE(sledDevice->tones().empty());

    sledDevice->press(3);
    sledDevice->release(3);
    ui.drainMain();
    client->DisplayAlert(2, "Batteria scarica", 15);
    client->SaveEmailSettings();
    EXPECT_EQ(logAfterDrain(), (std::vector<std::string>{"Button Pressed 3 !", "Button Released 3 !",
                                                         "BT: DisplayAlert 2 Batteria scarica 15",
                                                         "BT: SaveEmailSettings"}));
    EXPECT_TRUE(ui.events().empty()) << "no alert, no sound, no redraw";
}

TEST_F(Client, PleaseWaitIsLoggedAloneOnceThenTheFullBlock) {
    BtScannerInfo info{"SN0042", "2.14", "b7", "00:11:22:33:44:55", "BT 1.8", 12, 480};
    const int syncsAtConnection = handheld->clockSyncs();
    handheld->feed(scanner::PleaseWait{});
    handheld->feed(scanner::DeviceInfo{info});
    EXPECT_EQ(logAfterDrain(), std::vector<std::string>{"BT: Please wait ..."});
    EXPECT_FALSE(client->btScanner().pleaseWait());
    EXPECT_EQ(handheld->clockSyncs(), syncsAtConnection) << "no clock sync while it is busy";

    handheld->setState(2);
    EXPECT_EQ(logAfterDrain(),
              (std::vector<std::string>{"BT: Device is connected", "--------------------------------------",
                                        "BT Information:", "    Serial No: SN0042", "    FwVersion: 2.14b7",
                                        "    Bluetooth MAC address: 00:11:22:33:44:55",
                                        "    Bluetooth firmware version: BT 1.8",
                                        "    Memory status 12 stored/480 KB left",
                                        "--------------------------------------"}));
    EXPECT_EQ(handheld->clockSyncs(), syncsAtConnection + 1);
    EXPECT_EQ(screen.statusChanges, 2) << "the table is redrawn in both cases";

    handheld->setState(0);
    EXPECT_EQ(logAfterDrain(), std::vector<std::string>{"BT: Device is not connected"});
    EXPECT_EQ(screen.statusChanges, 3);
    client->btScanner().SendBeepCommand(1);
    EXPECT_TRUE(handheld->beepCommands().empty()) << "a disconnected scanner ignores commands";
}

TEST_F(Client, DisplayMessageIsCutOrPaddedToTheBuffer) {
    const std::string longText(70, 'A');
    client->inviaMessaggioAlloScanner(longText + std::string(130, 'B'));
    const std::string cut(65, 'A');
    EXPECT_EQ(std::string(client->btScanner().displayText()), cut);
    EXPECT_EQ(handheld->messages(), std::vector<std::string>{cut});
    EXPECT_TRUE(log->contains("BT: inviaMessaggioAlloScanner " + longText + std::string(130, 'B') + " [" + cut + "]"));

    client->inviaMessaggioAlloScanner("Ordine 12");
    const std::string padded = "Ordine 12" + std::string(56, ' ');
    EXPECT_EQ(std::string(client->btScanner().displayText()), padded);
    EXPECT_TRUE(log->contains("BT: inviaMessaggioAlloScanner Ordine 12 [" + padded + "]"));

    client->inviaMessaggioAlloScanner("Qt\xc3\xa0\n!\xff");
    EXPECT_EQ(std::string(client->btScanner().displayText()), "Qt??" "!?" + std::string(59, ' '))
        << "one '?' per character the display cannot show";

    client->inviaMessaggioAlloScanner("");
    EXPECT_EQ(std::string(client->btScanner().displayText()), std::string(65, ' '));
}

TEST_F(Client, BoopaSequence) {
    client->boopa();
    EXPECT_EQ(ui.sounds(), std::vector<ui::Sound>{ui::Sound::System1002});
    EXPECT_EQ(sledDevice->tones(), (std::vector<std::vector<Tone>>{
                                       {{2730, 150}, {0, 30}, {2730, 150}, {0, 30}, {2730, 150}}}));
    EXPECT_EQ(sledDevice->volumes(), std::vector<int>{100});
    EXPECT_TRUE(handheld->beepCommands().empty());
    ui.advance(std::chrono::milliseconds(99));
    EXPECT_TRUE(handheld->beepCommands().empty());
    ui.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(handheld->beepCommands(), std::vector<int>{1});

    // Without scanners, or after the screen went away, only the device's own sound.
    sledDevice->canBeep = false;
    client->boopa();
    EXPECT_EQ(ui.sounds().size(), 2u);
    client.reset();  // the handheld goes with the screen before the 0.1 s pass
    EXPECT_NO_FATAL_FAILURE(ui.advance(std::chrono::milliseconds(200)));
    EXPECT_TRUE(sled.delegates().empty()) << "a destroyed screen leaves the sled";
    EXPECT_EQ(sled.connstate(), SledScanner::Disconnected);
}

TEST_F(Client, SynchronizeFinishedLetsTheDeviceSleepAndErasesWhenAsked) {
    ui.setKeepAwake(true);
    client->btScanner().setSynchronizing(true);
    handheld->feed(scanner::SynchronizeFinished{});
    ui.drainMain();
    EXPECT_FALSE(ui.keepAwake());
    EXPECT_FALSE(client->btScanner().synchronizing());
    EXPECT_EQ(handheld->erases(), 0);

    client->btScanner().setEraseAfterSync(true);
    handheld->feed(scanner::SynchronizeFinished{});
    ui.drainMain();
    EXPECT_EQ(handheld->erases(), 1);
}

// Two accepting screens on one navigation stack: only the one in front hears the sled.
namespace {
struct ScanningScreen : ui::Screen, ScannerScreen {
    ScanningScreen(test::FakeUi& ui, SledScanner& sled, std::string leaveLog)
        : Screen(ui), client(ui, *this, {ScannerClient::Options::StateWording::Sled, std::move(leaveLog)}, sled,
                             nullptr) {}
    void viewWillAppear() override { client.attach(); }
    void viewWillDisappear() override { client.detach(); }
    void barcodeData(const std::string& text, int) override { received.push_back(text); }
    ScannerClient client;
    std::vector<std::string> received;
};
}  // namespace

TEST_F(Client, OnlyTheScreenInFrontReceivesSledEvents) {
    client->detach();
    auto order = std::make_shared<ScanningScreen>(ui, sled, "viewWillDisappear Disconessione dallo scanner");
    auto form = std::make_shared<ScanningScreen>(ui, sled, "Disconessione dallo scanner");
    ui.showTabs({{"SCELTA", "", order}});
    ui.drainMain();
    sledDevice->scan("100001");
    ui.drainMain();

    log->clear();
    ui.push(*order, form);
    ui.drainMain();
    auto lines = log->lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "viewWillDisappear Disconessione dallo scanner") << "the leaving screen detaches first";
    EXPECT_EQ(sled.delegates(), std::vector<SledScannerDelegate*>{&form->client});
    EXPECT_EQ(sled.connstate(), SledScanner::Connected);
    sledDevice->scan("200002");
    ui.drainMain();

    ui.pop(*form);
    ui.drainMain();
    EXPECT_TRUE(log->contains("Disconessione dallo scanner"));
    sledDevice->scan("300003");
    ui.drainMain();

    EXPECT_EQ(order->received, (std::vector<std::string>{"100001", "300003"}));
    EXPECT_EQ(form->received, std::vector<std::string>{"200002"});
}
