#include "loader/xml/XmlDocument.h"
#include "loader/xml/XmlElement.h"
#include "loader/xml/XmlNamespaceNode.h"
#include "loader/XmlTestSupport.h"

using namespace torvane;
using torvane::test::parseXml;

namespace {

const char* kListini =
    "<TorvaneMobile>"
    "<Listini><Listino codice=\"L1\"><Prezzo>1,50</Prezzo></Listino>"
    "<Listino codice=\"L2\"><Prezzo>2,50</Prezzo></Listino></Listini>"
    "<Listino codice=\"L3\"/>"
    "</TorvaneMobile>";

}  // namespace

TEST(XmlXPath, ResultsComeInDocumentOrderAndTheSingleFormTakesTheLast) {
    auto doc = parseXml(kListini);
    // A union written back to front still comes out in document order.
    auto nodes = doc->nodesForXPath("/TorvaneMobile/Listino | //Listini/Listino");
    ASSERT_TRUE(nodes.ok());
    ASSERT_EQ(nodes->size(), 3u);
    EXPECT_EQ(nodes->at(0)->asElement()->attributeValue("codice"), "L1");
    EXPECT_EQ(nodes->at(2)->asElement()->attributeValue("codice"), "L3");

    auto last = doc->nodeForXPath("//Listino");
    ASSERT_TRUE(last.ok());
    EXPECT_EQ(last.value()->asElement()->attributeValue("codice"), "L3");
    EXPECT_EQ(doc->nodeForXPath("(//Listino)[1]").value()->asElement()->attributeValue("codice"), "L1");
    EXPECT_EQ(doc->nodeForXPath("//Nessuno").value(), nullptr);
}

TEST(XmlXPath, ContextNodeIsTheNodeAsked) {
    auto doc = parseXml(kListini);
    XmlNode* l2 = doc->nodeForXPath("//Listino[@codice='L2']").value();
    ASSERT_NE(l2, nullptr);
    EXPECT_EQ(l2->nodeForXPath("Prezzo").value()->stringValue(), "2,50");
    EXPECT_EQ(l2->nodesForXPath("..//Prezzo").value().size(), 2u);
    EXPECT_EQ(l2->nodesForXPath("//Prezzo").value().size(), 2u);  // absolute paths see the document
    XmlNode* codice = l2->nodeForXPath("@codice").value();
    EXPECT_EQ(codice->kind(), XmlNodeKind::Attribute);
    EXPECT_EQ(codice->nodeForXPath("..").value(), l2);
}

TEST(XmlXPath, NonNodeSetResultsAreEmptyAndBadExpressionsAreErrors) {
    auto doc = parseXml(kListini);
    for (const char* scalar : {"count(//Listino)", "string(//Prezzo)", "1 = 1", "'testo'"}) {
        auto result = doc->nodesForXPath(scalar);
        ASSERT_TRUE(result.ok()) << scalar;
        EXPECT_TRUE(result->empty()) << scalar;
    }
    for (const char* bad : {"//[", "Listino[", "nonesiste()", "", "$variabile"}) {
        auto result = doc->nodesForXPath(bad);
        ASSERT_FALSE(result.ok()) << bad;
        EXPECT_EQ(result.error().domain, "XPathErrorDomain");
        EXPECT_EQ(result.error().code, -1);
        EXPECT_FALSE(result.error().message.empty());
        EXPECT_FALSE(doc->nodeForXPath(bad).ok());
    }
}

TEST(XmlXPath, NamespaceMappingsAndNamespaceNodes) {
    auto doc = parseXml("<r xmlns:a=\"urn:a\"><a:x>1</a:x><x>2</x></r>");
    EXPECT_FALSE(doc->nodesForXPath("//q:x").ok());  // unbound prefix
    auto mapped = doc->nodesForXPath("//q:x", {{"q", "urn:a"}});
    ASSERT_TRUE(mapped.ok());
    ASSERT_EQ(mapped->size(), 1u);
    EXPECT_EQ(mapped->at(0)->stringValue(), "1");

    auto spaces = doc->nodesForXPath("/r/namespace::a");
    ASSERT_TRUE(spaces.ok());
    ASSERT_EQ(spaces->size(), 1u);
    EXPECT_EQ(spaces->at(0)->kind(), XmlNodeKind::Namespace);
    EXPECT_EQ(spaces->at(0)->URI(), "urn:a");
    EXPECT_EQ(spaces->at(0)->parent(), doc->rootElement());
    // Asking again gives the same node, not a new one each time.
    EXPECT_EQ(doc->nodesForXPath("/r/namespace::a").value().at(0), spaces->at(0));
    EXPECT_EQ(doc->rootElement()->namespaces().at(0), spaces->at(0));
}
