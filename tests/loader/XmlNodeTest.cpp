#include "loader/xml/XmlDocument.h"
#include "loader/xml/XmlElement.h"
#include "loader/xml/XmlNamespaceNode.h"
#include "loader/XmlTestSupport.h"

using namespace torvane;
using torvane::test::parseXml;

namespace {

using Texts = std::vector<std::optional<std::string>>;

const char* kCatalogue =
    "<TorvaneMobile xmlns:t=\"urn:torvane\">"
    "<Articolo codice=\"A1\" t:codice=\"T1\">Lana <b>merino</b><![CDATA[ <100%> ]]><!-- nota --></Articolo>"
    "<Colore codice=\"C1\"/>"
    "<?stampa pagina?>"
    "<Articolo codice=\"A2\"/>"
    "</TorvaneMobile>";

}  // namespace

TEST(XmlNode, StringValueIsAllTextBelowWithoutMarkupOrComments) {
    auto doc = parseXml(kCatalogue);
    XmlElement* articolo = doc->rootElement()->elementsForName("Articolo").at(0);
    EXPECT_EQ(articolo->stringValue(), "Lana merino <100%> ");
    EXPECT_EQ(doc->stringValue(), "Lana merino <100%> ");

    auto kids = articolo->children();
    ASSERT_EQ(kids.size(), 4u);
    EXPECT_EQ(kids[2]->kind(), XmlNodeKind::CData);
    EXPECT_EQ(kids[2]->stringValue(), " <100%> ");
    EXPECT_EQ(kids[3]->kind(), XmlNodeKind::Comment);
    EXPECT_EQ(kids[3]->stringValue(), " nota ");
}

TEST(XmlNode, AttributeLookupPlainPrefixedAndMissing) {
    auto doc = parseXml(kCatalogue);
    XmlElement* articolo = doc->rootElement()->elementsForName("Articolo").at(0);
    EXPECT_EQ((Texts{articolo->attributeValue("codice"), articolo->attributeValue("t:codice"),
                     articolo->attributeForName("t:codice")->name(), articolo->attributeForName("t:codice")->URI(),
                     articolo->attributeForLocalName("codice", "urn:torvane")->stringValue(),
                     articolo->attributeForLocalName("codice", "")->stringValue()}),
              (Texts{"A1", "T1", "t:codice", "urn:torvane", "T1", "A1"}));

    EXPECT_EQ(articolo->attributeForName("prezzo"), nullptr);
    EXPECT_EQ(articolo->attributeValue("prezzo"), std::nullopt);
    EXPECT_EQ(articolo->attributeForName("x:codice"), nullptr);

    auto attrs = articolo->attributes();
    ASSERT_EQ(attrs.size(), 2u);
    EXPECT_EQ(attrs[0]->parent(), articolo);
    EXPECT_EQ(attrs[1]->XMLString(), "t:codice=\"T1\"");
}

TEST(XmlNode, TreeNavigationAndOneWrapperPerNode) {
    auto doc = parseXml(kCatalogue);
    XmlElement* root = doc->rootElement();
    EXPECT_EQ(root->parent(), doc.get());
    ASSERT_EQ(root->childCount(), 4u);
    EXPECT_EQ(root->childAtIndex(4), nullptr);
    XmlNode* colore = root->childAtIndex(1);
    EXPECT_EQ(colore->previousSibling(), root->childAtIndex(0));
    EXPECT_EQ(colore->nextSibling()->stringValue(), "pagina");
    EXPECT_EQ(root->childAtIndex(3)->nextSibling(), nullptr);

    // Every path to a node gives the same wrapper.
    EXPECT_EQ(root->children()[1], colore);
    EXPECT_EQ(root->elementsForName("Colore").at(0), colore);
    EXPECT_EQ(doc->nodeForXPath("//Colore").value(), colore);

    auto articoli = root->elementsForName("Articolo");
    ASSERT_EQ(articoli.size(), 2u);
    EXPECT_EQ(articoli[1]->attributeValue("codice"), "A2");
    EXPECT_TRUE(root->elementsForName("articolo").empty());  // byte comparison
}

TEST(XmlNode, NamespacesDeclaredInScopeAndPredefined) {
    auto doc = parseXml("<r xmlns=\"urn:default\" xmlns:a=\"urn:a\"><a:x xmlns:a=\"urn:inner\"><y/></a:x></r>");
    XmlElement* r = doc->rootElement();
    auto declared = r->namespaces();
    ASSERT_EQ(declared.size(), 2u);
    EXPECT_EQ((Texts{declared[0]->prefix(), declared[0]->URI(), declared[0]->XMLString(), declared[1]->name(),
                     declared[1]->stringValue(), declared[1]->XMLString()}),
              (Texts{"", "urn:default", "xmlns=\"urn:default\"", "a", "urn:a", "xmlns:a=\"urn:a\""}));
    EXPECT_EQ(r->namespaces()[1], declared[1]);

    XmlElement* x = r->childAtIndex(0)->asElement();
    XmlElement* y = x->childAtIndex(0)->asElement();
    EXPECT_EQ((Texts{x->name(), x->localName(), x->URI(), y->namespaceForPrefix("a")->URI(),
                     y->resolveNamespaceForName("plain")->URI()}),
              (Texts{"a:x", "x", "urn:inner", "urn:inner", "urn:default"}));
    EXPECT_EQ(y->namespaceForPrefix("a")->parent(), x);
    EXPECT_EQ(y->namespaceForPrefix("nessuno"), nullptr);
    EXPECT_EQ(y->namespaceForPrefix("xml")->URI(), "http://www.w3.org/XML/1998/namespace");
    // urn:a is hidden below x, where "a" means something else.
    EXPECT_EQ(y->resolvePrefixForNamespaceURI("urn:a"), std::nullopt);
    EXPECT_EQ(r->resolvePrefixForNamespaceURI("urn:a"), "a");
    EXPECT_EQ(y->resolvePrefixForNamespaceURI("urn:default"), "");
    EXPECT_EQ(y->elementsForLocalName("x", "urn:inner").size(), 0u);
    EXPECT_EQ(r->elementsForLocalName("x", "urn:inner").size(), 1u);
    EXPECT_EQ(XmlElement::predefinedNamespaceForPrefix("foo"), nullptr);
}

TEST(XmlNode, SetStringValueIsLiteralAndLeavesOldWrappersSafe) {
    auto doc = parseXml("<r><a>x<b>y</b></a><c k=\"v\"/></r>");
    XmlElement* a = doc->rootElement()->elementsForName("a").at(0);
    XmlElement* b = a->elementsForName("b").at(0);
    XmlNode* text = b->childAtIndex(0);

    a->setStringValue("1 < 2 & \"tre\"");
    EXPECT_EQ(a->stringValue(), "1 < 2 & \"tre\"");
    EXPECT_EQ(a->childCount(), 1u);
    EXPECT_EQ(doc->XMLString(), "<r><a>1 &lt; 2 &amp; \"tre\"</a><c k=\"v\"/></r>");
    // The replaced nodes are gone; their wrappers answer as empty instead of reading freed memory.
    EXPECT_FALSE(b->isValid());
    EXPECT_FALSE(text->isValid());
    EXPECT_EQ(b->stringValue(), "");
    EXPECT_EQ(b->parent(), nullptr);
    EXPECT_TRUE(b->children().empty());
    EXPECT_TRUE(b->nodesForXPath("*").value().empty());

    XmlNode* k = doc->rootElement()->elementsForName("c").at(0)->attributeForName("k");
    k->setStringValue("a&b");
    EXPECT_EQ(k->stringValue(), "a&b");
    EXPECT_EQ(k->XMLString(), "k=\"a&amp;b\"");
}

TEST(XmlNode, ConstructionBuildsTreesThatOwnTheirNodes) {
    auto root = XmlElement::elementWithName("Ordine");
    XmlElement* rootRaw = root.get();
    XmlElement* testata = root->subelement("Testata");
    XmlNode* riga = testata->addChild(XmlElement::elementWithName("Riga", "10 & lode"));
    ASSERT_NE(riga, nullptr);
    testata->insertChild(XmlElement::elementWithName("Prima"), 0);
    testata->addChild(XmlNode::processingInstructionWithName("pi", "dati"));
    root->addNamespace(*XmlNamespaceNode::namespaceWithName("t", "urn:t"));
    root->addChild(XmlElement::elementWithNameAndURI("t:Extra", "urn:t"));

    EXPECT_EQ(riga->parent(), testata);
    EXPECT_EQ(testata->childAtIndex(0)->name(), "Prima");
    EXPECT_EQ(root->XMLString(),
              "<Ordine xmlns:t=\"urn:t\"><Testata><Prima/><Riga>10 &amp; lode</Riga><?pi dati?></Testata>"
              "<t:Extra xmlns:t=\"urn:t\"/></Ordine>");
    // Queries work on a tree that no document holds yet.
    EXPECT_EQ(root->nodeForXPath("Testata/Riga").value(), riga);

    auto doc = XmlDocument::documentWithRootElement(std::move(root));
    EXPECT_EQ(doc->rootElement(), rootRaw);  // same wrappers, now held by the document
    EXPECT_EQ(riga->rootDocument(), doc.get());
    EXPECT_EQ(doc->nodeForXPath("/Ordine/Testata/Riga").value(), riga);
    auto reread = XmlDocument::initWithData(doc->XMLData());
    ASSERT_TRUE(reread.ok());
    EXPECT_EQ(reread.value()->nodeForXPath("//Riga").value()->stringValue(), "10 & lode");

    // Attached nodes, documents and namespaces are refused as children.
    XmlElement* prima = testata->childAtIndex(0)->asElement();
    EXPECT_EQ(prima->addChild(XmlDocument::document()), nullptr);
    EXPECT_EQ(prima->addChild(XmlNamespaceNode::namespaceWithName("p", "urn:p")), nullptr);
    EXPECT_EQ(prima->childCount(), 0u);

    auto empty = XmlDocument::document();
    EXPECT_EQ(empty->rootElement(), nullptr);
    EXPECT_EQ(empty->XMLString(), "");

    // Detached trees are freed with their wrappers (the sanitizer build would see a leak).
    auto lone = XmlElement::elementWithName("a");
    lone->subelement("b")->subelement("c")->setStringValue("x");
    EXPECT_EQ(lone->nodeForXPath("b/c").value()->stringValue(), "x");
    lone.reset();
    auto pi = XmlNode::processingInstructionWithName("x", "y");
    EXPECT_EQ(pi->XMLString(), "<?x y?>");
}
