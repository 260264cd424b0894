#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "OrderEntryFixture.h"
#include "devices/ScannerTestSupport.h"
#include "devices/SerialScannerSource.h"

using namespace torvane;

namespace {
using ScannedEntry = test::OrderEntryFixture;
}

// A handheld scanner on a pseudo-terminal: what it sends reaches the order-entry screen as
// scans, on the main thread.
TEST_F(ScannedEntry, ASerialScannerFillsTheLine) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    screen->useHandheldSource(std::make_unique<SerialScannerSource>(ptsname(master)));
    screen->impostaCliente(std::string("C001"));
    const std::string scans = "100001\r\n10000\r\n";
    ASSERT_EQ(::write(master, scans.data(), scans.size()), static_cast<ssize_t>(scans.size()));
    EXPECT_TRUE(test::pumpUntil(ui, [&] { return screen->scelta().coloreCorrente.has_value(); }));
    EXPECT_EQ(screen->scelta().articoloCorrente->codice(), "ART1");
    EXPECT_EQ(screen->scelta().coloreDigitato, "001");
    screen.reset();  // stops the reader before the line closes
    ::close(master);
}
