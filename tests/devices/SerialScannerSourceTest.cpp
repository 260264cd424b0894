#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "ScannerTestSupport.h"
#include "devices/ScannerClient.h"
#include "devices/SerialScannerSource.h"
#include "devices/SledScanner.h"
#include "platform/Log.h"
#include "support/FakeUi.h"
#include "support/TempDir.h"

using namespace torvane;
using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

struct Screen : ScannerScreen {
    std::vector<std::string> scans;
    void barcodeData(const std::string& text, int type) override {
        scans.push_back(text + "/" + std::to_string(type));
    }
};

// A pseudo-terminal stands in for the scanner: the test writes on the master side what the
// scanner would send, the reader opens the slave side as it would open /dev/ttyUSB0.
struct SerialLine : ::testing::Test {
    int master = -1;
    std::string slavePath;
    test::FakeUi ui;
    Screen screen;
    std::unique_ptr<SledScanner> sled;
    std::unique_ptr<ScannerClient> client;

    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        slavePath = ptsname(master);
    }
    void TearDown() override {
        client.reset();
        sled.reset();
        if (master >= 0) ::close(master);
    }
    void open(const std::string& path, int baud = SerialScannerSource::kDefaultBaud) {
        sled = std::make_unique<SledScanner>(std::make_unique<SerialScannerSource>(path, baud));
        client = std::make_unique<ScannerClient>(ui, screen, ScannerClient::Options{}, *sled, nullptr);
        client->attach();
    }
    bool connected() {
        return test::pumpUntil(ui, [&] { return sled->connstate() == SledScanner::Connected; });
    }
    void send(const std::string& bytes) {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    bool scans(std::size_t count) {
        return test::pumpUntil(ui, [&] { return screen.scans.size() >= count; });
    }
};

}  // namespace

TEST_F(SerialLine, EachTerminatedLineBecomesOneBarcodeOnTheMainThread) {
    open(slavePath);
    ASSERT_TRUE(connected());
    EXPECT_TRUE(Log::capture()->contains("Scanner seriale: " + slavePath + " aperto a 9600 baud"));

    send("12345\r\n");
    ASSERT_TRUE(scans(1));
    EXPECT_EQ(screen.scans, std::vector<std::string>{"12345/0"});

    // LF alone, CR alone, a line split over two writes, blank lines, NUL noise.
    send("800001\n\n9000");
    send("42\r\r\n1\0" "2\r"s);
    ASSERT_TRUE(scans(4));
    EXPECT_EQ(screen.scans, (std::vector<std::string>{"12345/0", "800001/0", "900042/0", "12/0"}));

    // An unterminated line is not a scan yet.
    send("77");
    ui.waitForTask(100ms);
    ui.drainMain();
    EXPECT_EQ(screen.scans.size(), 4u);
}

TEST_F(SerialLine, BadBytesAndOverlongLinesNeverCrash) {
    open(slavePath, 115200);
    ASSERT_TRUE(connected());
    send(std::string(SerialScannerSource::kMaxLine + 10, '5') + "\r\n");
    send(std::string(200, 'A') + "\r\n");
    send("\xff\xc3(\x01\r\n");
    ASSERT_TRUE(scans(2));
    EXPECT_EQ(screen.scans,
              (std::vector<std::string>{std::string(200, 'A') + "/0", "\xef\xbf\xbd\xef\xbf\xbd(\x01/0"}));
    EXPECT_TRUE(Log::capture()->contains("Scanner seriale: riga di oltre 4096 caratteri scartata"));
}

TEST_F(SerialLine, AMissingOrWrongDeviceIsOnlyLoggedAsDisconnected) {
    auto log = Log::useCapture();
    open("/dev/torvane-nessuno-scanner");
    EXPECT_TRUE(test::pumpUntil(ui, [&] { return log->contains("Sled: disconnesso"); }));
    EXPECT_TRUE(log->contains(
        "Scanner seriale: impossibile aprire /dev/torvane-nessuno-scanner (No such file or directory)"));
    EXPECT_EQ(sled->connstate(), SledScanner::Disconnected);
    EXPECT_TRUE(screen.scans.empty());

    // A plain file is not a serial line.
    test::TempDir dir;
    const std::string file = dir.file("not-a-tty");
    test::writeFile(file, "12345\n");
    client->detach();
    log->clear();
    open(file);
    EXPECT_TRUE(test::pumpUntil(ui, [&] { return log->contains("Sled: disconnesso"); }));
    EXPECT_TRUE(log->contains("Scanner seriale: " + file + " non è una linea seriale (Inappropriate ioctl for device)"));
    EXPECT_EQ(sled->connstate(), SledScanner::Disconnected);
}

TEST_F(SerialLine, ADeviceThatGoesAwayIsReportedAndCanBeReconnected) {
    open(slavePath);
    ASSERT_TRUE(connected());
    ::close(master);
    master = -1;
    EXPECT_TRUE(test::pumpUntil(ui, [&] { return sled->connstate() == SledScanner::Disconnected; }));

    // The device comes back on a new line; a new connection reads it.
    SetUp();
    sled->setSource(std::make_unique<SerialScannerSource>(slavePath));
    sled->connect();
    ASSERT_TRUE(connected());
    send("555555\n");
    ASSERT_TRUE(scans(1));
    EXPECT_EQ(screen.scans.back(), "555555/0");
}

TEST_F(SerialLine, DisconnectAndDestructionStopTheReaderPromptly) {
    open(slavePath);
    ASSERT_TRUE(connected());
    const auto started = std::chrono::steady_clock::now();
    client->detach();  // joins the blocked reader
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    send("666666\n");
    ui.waitForTask(100ms);
    ui.drainMain();
    EXPECT_TRUE(screen.scans.empty()) << "a detached screen reads nothing";

    client->attach();
    ASSERT_TRUE(connected());
    // Destroyed while reading: the thread is joined, queued events are dropped.
    send("777777\n");
    client.reset();
    sled.reset();
    EXPECT_NO_FATAL_FAILURE(ui.drainMain());
}
