#include <gtest/gtest.h>

#include <functional>

#include "loader/xml/XmlDocument.h"
#include "loader/xml/XmlElement.h"
#include "review/XmlWriter.h"

using namespace torvane;

namespace {

// Runs `step` and returns the reason of the XmlWriterException it raised ("" when none).
std::string reasonOf(const std::function<void()>& step) {
    try {
        step();
    } catch (const XmlWriterException& e) {
        return e.reason();
    }
    return {};
}

// <a><b><c/></b></a> left open for writeEndDocument to close.
void nest(XmlWriter& w) {
    for (const char* name : {"a", "b", "c"}) w.writeStartElement(name);
}

std::unique_ptr<XmlDocument> parsed(const std::string& text) {
    auto doc = XmlDocument::initWithData(text);
    EXPECT_TRUE(doc.ok()) << text;
    return doc.ok() ? std::move(doc.value()) : nullptr;
}

}  // namespace

TEST(XmlWriter, DocumentLayoutAndItsProperties) {
    XmlWriter w;
    w.writeStartDocumentWithEncodingAndVersion(std::string("UTF-8"), std::string("1.0"));
    w.writeStartElement("TorvaneMobile");
    w.writeStartElement("Testata");
    w.writeAttribute("v", "di \"qualità\"");
    w.writeStartElement("Cliente");
    w.writeCharacters("C001");
    w.writeEndElement();
    w.writeEmptyElement("Vuoto");
    w.writeStartElement("Note");
    w.writeEndElement("Note");  // a named end keeps the long form
    w.writeEndDocument();
    EXPECT_EQ(w.toString(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<TorvaneMobile>\n"
              "\t<Testata v=\"di &quot;qualità&quot;\">\n\t\t<Cliente>C001</Cliente>\n\t\t<Vuoto />\n"
              "\t\t<Note></Note>\n\t</Testata>\n</TorvaneMobile>");
    EXPECT_EQ(w.level(), 0);

    XmlWriter plain;
    plain.writeStartDocumentWithVersion(std::string("1.1"));
    EXPECT_EQ(plain.toString(), "<?xml version=\"1.1\" ?>");

    XmlWriter custom;
    custom.setLineBreak(std::string("\r\n"));
    custom.setIndentation(std::string("  "));
    custom.setAutomaticEmptyElements(false);
    nest(custom);
    custom.writeEndDocument();
    EXPECT_EQ(custom.toString(), "\r\n<a>\r\n  <b>\r\n    <c></c>\r\n  </b>\r\n</a>");
}

TEST(XmlWriter, CommentsCDataAndInstructionsAreRawAndCDataKeepsItsOwnTerminator) {
    XmlWriter w;
    w.writeStartElement("a");
    w.writeComment(" x < y ");
    w.writeCData("<b>&</b>");
    w.writeProcessingInstruction("stampa", "pagina=\"1\"");
    w.writeEndElement();
    EXPECT_EQ(w.toString(), "\n<a><!-- x < y --><![CDATA[<b>&</b>]]><?stampa pagina=\"1\"?></a>");

    XmlWriter c;
    c.writeStartElement("a");
    c.writeCData("x]]>y");
    c.writeEndElement();
    auto doc = parsed(c.toString());
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->rootElement()->stringValue(), "x]]>y");
}

TEST(XmlWriter, EscapingDropsWhatXmlCannotCarryAndReadsBackThroughTheDom) {
    XmlWriter w;
    w.writeStartElement("a");
    w.writeAttribute("v", std::string("l'\x01" "a\tb\nc\rd<>&\"", 15));
    w.writeCharacters("O'Brien \x01\x1f ok \xf0\x9f\x98\x80 fine \xef\xbf\xbe\xef\xbf\xbf end");
    w.writeCharacters("bad \xff\xfe bytes");
    w.writeCharacters("\xe2\x82\xac \xc3\xa8 <&>");  // BMP characters stay
    w.writeEndElement();
    EXPECT_EQ(w.toString(), "\n<a v=\"l'a\tb\nc\rd&lt;&gt;&amp;&quot;\">O'Brien  ok  fine  endbad  bytes"
                            "\xe2\x82\xac \xc3\xa8 &lt;&amp;&gt;</a>");
    auto doc = parsed(w.toString());
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->rootElement()->attributeValue("v"), "l'a b c d<>&\"") << "tabs and line ends in attributes read as blanks";
    EXPECT_EQ(doc->rootElement()->stringValue(), "O'Brien  ok  fine  endbad  bytes\xe2\x82\xac \xc3\xa8 <&>");
}

TEST(XmlWriter, MisuseRaisesAndKeepsWhatWasWritten) {
    XmlWriter w;
    EXPECT_EQ(reasonOf([&] { w.writeEndElement(); }), "Cannot write more end elements than start elements.");
    EXPECT_EQ(reasonOf([&] { w.writeEndElement("x"); }), "Cannot write more end elements than start elements.");
    EXPECT_EQ(reasonOf([&] { w.writeAttribute("a", "1"); }), "No open start element");
    w.writeStartElement("A");
    w.writeCharacters("t");
    EXPECT_EQ(reasonOf([&] { w.writeAttribute("a", "1"); }), "No open start element");
    EXPECT_EQ(reasonOf([&] { w.writeNamespace(std::string("p"), std::string("urn:p")); }), "No open start element");
    EXPECT_EQ(reasonOf([&] { w.writeStartDocument(); }), "Document has already been started");
    EXPECT_EQ(reasonOf([&] { w.writeStartElementWithNamespace(std::string("urn:nobody"), "x"); }),
              "Unknown namespace URI urn:nobody");
    w.writeEndElement();
    EXPECT_EQ(w.toString(), "\n<A>t</A>");

    // Namespace bindings that would contradict one another.
    XmlWriter b;
    b.setPrefix(std::string("a"), std::string("urn:a"));
    b.setDefaultNamespace(std::string("urn:d"));
    const std::pair<std::function<void()>, const char*> misuses[] = {
        {[&] { b.setPrefix(std::nullopt, std::string("urn:x")); }, "Prefix cannot be NULL"},
        {[&] { b.setPrefix(std::string("x"), std::nullopt); }, "Namespace cannot be NULL"},
        {[&] { b.setPrefix(std::string("b"), std::string("urn:a")); }, "Name namespace urn:a has already been set"},
        {[&] { b.setPrefix(std::string("a"), std::string("urn:b")); }, "Prefix a has already been set"},
        {[&] { b.setDefaultNamespace(std::string("urn:e")); }, "Default namespace has already been set"},
        {[&] { b.setPrefix(std::string("z"), std::string("http://www.w3.org/XML/1998/namespace")); },
         "Name namespace http://www.w3.org/XML/1998/namespace has already been set"}};
    for (const auto& [step, reason] : misuses) EXPECT_EQ(reasonOf(step), reason);
}

TEST(XmlWriter, NamespacesBindDeclareAndUnbindWithTheirElement) {
    XmlWriter w;
    w.setPrefix(std::string("t"), std::string("urn:t"));  // declared on the next start tag
    w.writeStartElementWithNamespace(std::string("urn:t"), "Ordine");
    w.writeDefaultNamespace(std::string("urn:d"));        // declared at once
    w.writeAttributeWithNamespace(std::string("urn:t"), "id", "1");
    w.writeStartElementWithNamespace(std::string("urn:d"), "Riga");
    w.writeNamespace(std::string("r"), std::string("urn:r"));
    w.writeEmptyElementWithNamespace(std::string("urn:r"), "Taglia");
    w.writeCharacters("x");
    w.setPrefix(std::string("p"), std::string("urn:p"));  // inside content: ends with Riga
    w.writeEndElement();
    EXPECT_EQ(w.getPrefix("urn:r"), std::nullopt);
    EXPECT_EQ(w.getPrefix("urn:p"), std::nullopt);
    EXPECT_EQ(w.getPrefix("urn:t"), "t");
    EXPECT_EQ(w.getNamespaceURI(""), "urn:d");
    w.writeEndElement();
    EXPECT_EQ(w.toString(), "\n<t:Ordine xmlns=\"urn:d\" t:id=\"1\" xmlns:t=\"urn:t\">"
                            "\n\t<Riga xmlns:r=\"urn:r\">\n\t\t<r:Taglia />x</Riga>\n</t:Ordine>");
    EXPECT_EQ(w.getPrefix("urn:t"), std::nullopt);
    EXPECT_EQ(w.getPrefix("http://www.w3.org/XML/1998/namespace"), "xml");

    auto doc = parsed(w.toString());
    ASSERT_TRUE(doc);
    auto found = doc->nodesForXPath("//r:Taglia", {{"r", "urn:r"}});
    ASSERT_TRUE(found.ok());
    ASSERT_EQ(found->size(), 1u);
    EXPECT_EQ(found->at(0)->parent()->URI(), "urn:d");
    EXPECT_EQ(doc->rootElement()->attributeValue("t:id"), "1");
}

TEST(XmlWriter, ToDataUsesTheRememberedEncodingWithoutLoss) {
    XmlWriter latin;
    latin.writeStartDocumentWithEncodingAndVersion(std::string("ISO-8859-1"), std::nullopt);
    latin.writeStartElement("a");
    latin.writeCharacters("caff\xc3\xa8");
    latin.writeEndElement();
    auto data = latin.toData();
    ASSERT_TRUE(data);
    EXPECT_NE(data->find("caff\xe8</a>"), std::string::npos);
    auto doc = parsed(*data);  // its declaration says how to read it
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->rootElement()->stringValue(), "caff\xc3\xa8");
    latin.writeComment("\xe2\x82\xac");  // the euro sign has no Latin-1 code
    EXPECT_EQ(latin.toData(), std::nullopt);

    XmlWriter unknown;
    unknown.writeStartDocumentWithEncodingAndVersion(std::string("NO-SUCH-CHARSET"), std::nullopt);
    EXPECT_EQ(unknown.toData(), std::nullopt);
}
