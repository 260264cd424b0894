// The signature pad: stroke thickness, point numbers, undo, frame, digest, the picture, and
// the screen's two buttons with its delegate.
#include <gtest/gtest.h>

#include "devices/FirmaViewController.h"
#include "devices/Signature.h"
#include "devices/SignaturePadDelegate.h"
#include "platform/Picture.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "support/FakeUi.h"
#include "support/TempDir.h"

using namespace torvane;
using namespace torvane::test;

TEST(SignaturePadModel, ThicknessFollowsSpeedOrPressureAndPointsAreNumberedFrom100) {
    SignaturePad pad;
    pad.begin(10, 10, 0.0);
    EXPECT_DOUBLE_EQ(pad.strokes()[0][0].thickness, 3.0) << "a stroke starts still: the full width";
    pad.move(10 + 1500 * 0.01, 10, 0.01);  // at the maximum speed
    EXPECT_NEAR(pad.strokes()[0][1].thickness, (3.0 - 3.0 * 0.6 + 2 * 3.0) / 3, 1e-9);
    pad.end();
    pad.pressureEnabled = true;
    pad.begin(50, 50, 1.0, 1.0);  // a pen at full pressure, still
    const double previous = pad.strokes()[0][1].thickness;
    EXPECT_NEAR(pad.strokes()[1][0].thickness, (3.0 + 3 * 1.0 - 0 - 5 + 2 * previous) / 3, 1e-9);
    pad.end();
    const auto points = pad.rawPoints();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].number, 100);
    EXPECT_EQ(points[2].number, 102);

    const std::string hash = pad.hashString();
    EXPECT_EQ(hash.size(), 40u);
    EXPECT_EQ(hash.find_first_not_of("0123456789abcdef"), std::string::npos);
    pad.undo();
    EXPECT_EQ(pad.strokes().size(), 1u);
    EXPECT_NE(pad.hashString(), hash);
    const SignatureFrame frame = pad.frame();
    EXPECT_NEAR(frame.x, 10 - 1.5, 1e-6);
    EXPECT_NEAR(frame.width, 15 + 1.5 + pad.strokes()[0][1].thickness / 2, 1e-5);
    pad.move(20, 20, 2.0);
    EXPECT_EQ(pad.rawPoints().back().number, 103) << "numbers go on for the pad's whole life";

    SignaturePad speedOnly;  // pressure not enabled: a pen's pressure changes nothing
    speedOnly.begin(0, 0, 0, 0.1);
    EXPECT_DOUBLE_EQ(speedOnly.strokes()[0][0].thickness, 3.0);

    SignaturePad fixed;
    fixed.variableWidth = false;
    fixed.begin(0, 0, 0);
    EXPECT_DOUBLE_EQ(fixed.strokes()[0][0].thickness, 2.0);
}

namespace {
struct RecordingDelegate : SignaturePadDelegate {
    std::vector<Signature> signatures;
    int empty = 0, dismissed = 0;
    void signaturePadDidCompleteWithSignature(const Signature& s) override { signatures.push_back(s); }
    void signaturePadDidCompleteWithNoData() override { ++empty; }
    void didDismissModalView() override { ++dismissed; }
};
}  // namespace

TEST(SignaturePadScreen, ConfermaDeliversThePictureOrTheEmptyNewsAndAnnullaOnlyClears) {
    TempDir dir;
    Preferences::resetStandard(dir.file("prefs.json"));
    FakeUi ui;
    RecordingDelegate delegate;
    auto screen = std::make_shared<FirmaViewController>(ui, &delegate);
    EXPECT_FALSE(screen->pad().pressureEnabled);
    Preferences::standard().setBool(keys::pressureEnabled, true);
    EXPECT_TRUE(FirmaViewController(ui, &delegate).pad().pressureEnabled) << "the user default decides";
    screen->buttonTapped("done", {});
    EXPECT_EQ(delegate.empty, 1) << "nothing drawn is no picture";
    EXPECT_TRUE(delegate.signatures.empty());

    screen->pad().begin(20, 40, 0);
    screen->pad().move(200, 120, 0.2);
    screen->pad().end();
    screen->buttonTapped("reset", {});
    EXPECT_TRUE(screen->pad().isEmpty());
    screen->pad().begin(20, 40, 0);
    screen->pad().move(200, 120, 0.2);
    screen->pad().end();
    screen->buttonTapped("done", {});
    ASSERT_EQ(delegate.signatures.size(), 1u);
    const Signature& s = delegate.signatures[0];
    const std::string png(s.imageData.begin(), s.imageData.end());
    EXPECT_EQ(Picture::decodedSize(png), (std::pair<int, int>(140, 80))) << "exported at half the pad's size";
    EXPECT_EQ(s.hashString.size(), 40u);
    EXPECT_EQ(s.rawPoints.size(), 2u);
    EXPECT_TRUE(screen->pad().isEmpty()) << "the pad is cleared after it delivered";

    screen->pad().begin(20, 40, 0);
    screen->pad().end();
    EXPECT_TRUE(screen->cancelModal());
    EXPECT_EQ(delegate.dismissed, 1) << "closing the pad is its dismissal, not an empty signature";
    EXPECT_EQ(delegate.empty, 1);
    EXPECT_TRUE(screen->pad().isEmpty());
}
