#include "loader/XmlTestSupport.h"
#include "loader/xml/HtmlDocument.h"
#include "loader/xml/XmlElement.h"

using namespace torvane;
using torvane::test::parseXml;
using torvane::test::tempXmlFile;

TEST(XmlDocument, EmptyMissingAndRootlessInputAreErrorsNotDocuments) {
    for (std::string_view input : {std::string_view(), std::string_view(""), std::string_view("   \n"),
                                   std::string_view("just text"), std::string_view("<?xml version=\"1.0\"?>")}) {
        auto result = XmlDocument::initWithData(input);
        ASSERT_FALSE(result.ok()) << "accepted: [" << input << "]";
        EXPECT_EQ(result.error().domain, "XmlErrorDomain");
        EXPECT_EQ(result.error().code, 1);
        EXPECT_FALSE(result.error().message.empty());
    }
    // libxml2's own words come back, without its trailing line break.
    auto garbage = XmlDocument::initWithData("just text");
    EXPECT_EQ(garbage.error().message, "Start tag expected, '<' not found");
}

TEST(XmlDocument, RecoversFromMalformedMarkupKeepsWhatItCanAndStaysOffStderr) {
    testing::internal::CaptureStderr();
    auto doc = parseXml("<Root><Cliente codice=\"C1\">Rossi<Cliente codice=\"C2\">Bianchi</Root>");
    auto failed = XmlDocument::initWithData("<<<");
    ASSERT_TRUE(doc);
    auto xpath = doc->nodesForXPath("//[");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(failed.ok());
    EXPECT_FALSE(xpath.ok());
    auto nodes = doc->nodesForXPath("//Cliente/@codice");
    ASSERT_TRUE(nodes.ok());
    ASSERT_EQ(nodes->size(), 2u);
    EXPECT_EQ(nodes->at(1)->stringValue(), "C2");
}

TEST(XmlDocument, EncodingComesFromTheDocumentUnlessForced) {
    const std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>caf\xe9</a>";
    auto declared = parseXml(latin1);
    ASSERT_TRUE(declared);
    EXPECT_EQ(declared->rootElement()->stringValue(), "caf\xc3\xa9");

    // Undeclared Latin-1 bytes read right when the caller names the encoding.
    auto forced = XmlDocument::initWithData("<a>caf\xe9</a>", "ISO-8859-1");
    ASSERT_TRUE(forced.ok());
    EXPECT_EQ(forced.value()->rootElement()->stringValue(), "caf\xc3\xa9");

    auto utf8 = XmlDocument::initWithXMLString("<a>\xe2\x82\xac 5</a>");
    ASSERT_TRUE(utf8.ok());
    EXPECT_EQ(utf8.value()->rootElement()->stringValue(), "\xe2\x82\xac 5");
}

TEST(XmlDocument, ReadsFilesByPathOrFileUrlOnly) {
    auto path = tempXmlFile("doc.xml", "<TorvaneMobile><Dati/></TorvaneMobile>");
    auto byPath = XmlDocument::initWithContentsOfURL(path.string());
    auto byUrl = XmlDocument::initWithContentsOfURL("file://" + path.string());
    std::filesystem::remove(path);
    ASSERT_TRUE(byPath.ok());
    ASSERT_TRUE(byUrl.ok());
    EXPECT_EQ(byUrl.value()->rootElement()->name(), "TorvaneMobile");

    EXPECT_FALSE(XmlDocument::initWithContentsOfURL(path.string()).ok());  // gone now
    auto remote = XmlDocument::initWithContentsOfURL("http://127.0.0.1:1/x.xml");
    ASSERT_FALSE(remote.ok());
    EXPECT_EQ(remote.error().domain, "XmlErrorDomain");
}

TEST(XmlDocument, SerialisesWholeDocumentAndRootElement) {
    auto doc = parseXml("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r a=\"1\"><x>t &amp; u</x></r>");
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->XMLString(), "<r a=\"1\"><x>t &amp; u</x></r>");
    std::string data = doc->XMLData();
    EXPECT_EQ(data.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << data;
    EXPECT_NE(data.find("<r a=\"1\"><x>t &amp; u</x></r>"), std::string::npos);

    // What libxml2 wrote reads back to the same tree.
    auto again = parseXml(data);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->XMLString(), doc->XMLString());
}

TEST(HtmlDocument, ParsesHtmlAndPromotesTheFragmentOfAString) {
    auto page = HtmlDocument::initWithXHTMLData("<html><body>\n  <p>Ciao <b>mondo</b></p>\n</body></html>");
    ASSERT_TRUE(page.ok()) << page.error().message;
    EXPECT_EQ(page.value()->kind(), XmlNodeKind::HtmlDocument);
    EXPECT_EQ(page.value()->rootElement()->name(), "html");
    auto p = page.value()->nodeForXPath("/html/body/p");
    ASSERT_TRUE(p.ok());
    ASSERT_NE(p.value(), nullptr);
    EXPECT_EQ(p.value()->stringValue(), "Ciao mondo");

    auto fragment = HtmlDocument::initWithXHTMLString("<div id=\"x\"><span>uno</span></div><p>due</p>");
    ASSERT_TRUE(fragment.ok());
    XmlElement* root = fragment.value()->rootElement();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->name(), "div");
    EXPECT_EQ(root->attributeValue("id"), "x");
    EXPECT_EQ(fragment.value()->XMLString(), "<div id=\"x\"><span>uno</span></div>");

    auto empty = HtmlDocument::initWithXHTMLData("");
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.error().code, -1);
    EXPECT_EQ(HtmlDocument::initWithXHTMLString("").error().code, 1);
}
