#include <atomic>
#include <thread>
#include <vector>

#include "loader/XmlTestSupport.h"
#include "loader/xml/XmlElement.h"

using namespace torvane;
using torvane::test::tempXmlFile;

namespace {

// Either refused, or parsed with text that stays small however it is read.
void expectRefusedOrSmall(const std::string& xml) {
    auto result = XmlDocument::initWithData(xml);
    if (!result.ok()) return;
    const auto& doc = result.value();
    EXPECT_LT(doc->stringValue().size(), 1u << 20);
    auto strings = doc->nodesForXPath("//*");
    ASSERT_TRUE(strings.ok());
    for (XmlNode* n : *strings) EXPECT_LT(n->stringValue().size(), 1u << 20);
    EXPECT_LT(doc->XMLData().size(), 1u << 20);
}

}  // namespace

TEST(XmlHostile, BillionLaughsFailsOrStaysSmall) {
    std::string xml = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    std::string previous = "lol";
    for (int i = 1; i <= 9; ++i) {
        std::string name = "lol" + std::to_string(i);
        xml += "<!ENTITY " + name + " \"";
        for (int k = 0; k < 10; ++k) xml += "&" + previous + ";";
        xml += "\">";
        previous = name;
    }
    xml += "]><lolz a=\"&lol9;\">&lol9;</lolz>";
    expectRefusedOrSmall(xml);
}

TEST(XmlHostile, QuadraticBlowupIsRefused) {
    // 100 kB of document that would read as a gigabyte of text.
    std::string xml = "<!DOCTYPE q [<!ENTITY a \"" + std::string(50000, 'x') + "\">]><q>";
    for (int i = 0; i < 20000; ++i) xml += "&a;";
    xml += "</q>";
    auto result = XmlDocument::initWithData(xml);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().domain, "XmlErrorDomain");
    expectRefusedOrSmall(xml);
}

TEST(XmlHostile, ModestInternalEntitiesStillRead) {
    auto result = XmlDocument::initWithData(
        "<!DOCTYPE r [<!ENTITY ditta \"Tessitura &amp; Figli\">]><r a=\"&ditta;\">&ditta; srl</r>");
    ASSERT_TRUE(result.ok()) << result.error().message;
    EXPECT_EQ(result.value()->rootElement()->stringValue(), "Tessitura & Figli srl");
}

TEST(XmlHostile, ExternalEntitiesAndDtdsAreNeverLoaded) {
    auto secret = tempXmlFile("secret.txt", "SEGRETO");
    auto dtd = tempXmlFile("evil.dtd", "<!ENTITY fromdtd \"DTDSEGRETO\">");
    std::string xml = "<?xml version=\"1.0\"?><!DOCTYPE r SYSTEM \"" + dtd.string() +
                      "\" [<!ENTITY xxe SYSTEM \"file://" + secret.string() + "\">]>"
                      "<r><a>&xxe;</a><b>&fromdtd;</b></r>";
    auto result = XmlDocument::initWithData(xml);
    std::string everything = result.ok() ? result.value()->stringValue() + result.value()->XMLData() : "";
    std::filesystem::remove(secret);
    std::filesystem::remove(dtd);
    EXPECT_EQ(everything.find("SEGRETO"), std::string::npos) << everything;
}

// The DOM layer recovers from errors: what it keeps must be bounded and readable.
TEST(XmlHostile, DeepNestingAndOddBytesRecoverIntoABoundedReadableTree) {
    std::string open, close;
    for (int i = 0; i < 100000; ++i) open += "<a>";
    for (int i = 0; i < 100000; ++i) close += "</a>";
    for (const std::string& deep : {open, open + close}) {
        auto nested = XmlDocument::initWithData(deep);
        ASSERT_TRUE(nested.ok()) << nested.error().message;
        auto elements = nested.value()->nodesForXPath("//a");
        ASSERT_TRUE(elements.ok());
        EXPECT_GT(elements->size(), 1u);
        EXPECT_LE(elements->size(), 257u) << "cut at the parser's depth limit";
    }

    // Control characters are not XML text: they are left out (\r becomes \n).
    std::string junk = "<r>";
    for (int c = 1; c < 256; ++c)
        if (c != '<' && c != '&') junk += static_cast<char>(c);
    junk += "</r>";
    auto odd = XmlDocument::initWithData(junk);
    ASSERT_TRUE(odd.ok());
    std::string text = odd.value()->rootElement()->stringValue();
    EXPECT_NE(text.find("\t\n"), std::string::npos);
    EXPECT_NE(text.find("ABC"), std::string::npos);
    for (unsigned char c : text) EXPECT_TRUE(c >= 0x20 || c == '\t' || c == '\n' || c == '\r') << int(c);

    auto nul = XmlDocument::initWithData(std::string("<r>a\0b</r>", 10));
    ASSERT_TRUE(nul.ok());
    EXPECT_EQ(nul.value()->rootElement()->stringValue(), "a") << "the text ends at the NUL";
}

TEST(XmlHostile, ParallelParsesKeepTheirOwnErrors) {
    // The catalogue parses on a background thread while the main thread may parse too.
    std::atomic<int> wrong{0};
    auto work = [&](bool good) {
        for (int i = 0; i < 200; ++i) {
            auto r = XmlDocument::initWithData(good ? "<a><b>x</b></a>" : "oops");
            if (r.ok() != good) ++wrong;
            if (!good && r.error().message != "Start tag expected, '<' not found") ++wrong;
            if (good && r.value()->nodesForXPath("//[").ok()) ++wrong;
        }
    };
    testing::internal::CaptureStderr();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back(work, t % 2 == 0);
    for (auto& t : threads) t.join();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(wrong.load(), 0);
}
