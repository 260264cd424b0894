#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

}  // namespace

TEST(XmlWriter, LayoutOfTextNestedAndEmptyElements) {
    XmlWriter w;
    w.writeStartElement("A");
    w.writeCharacters("x&y");
    w.writeEndElement();
    EXPECT_EQ(w.toString(), "\n<A>x&amp;y</A>");

    XmlWriter n;
    n.writeStartElement("A");
    n.writeStartElement("B");
    n.writeEndElement();
    n.writeEndElement();
    EXPECT_EQ(n.toString(), "\n<A>\n\t<B />\n</A>");

    XmlWriter q;
    q.writeStartElement("A");
    q.writeAttribute("v", "di \"qualità\"");
    q.writeAttribute("w", "2");
    q.writeEndElement();
    EXPECT_EQ(q.toString(), "\n<A v=\"di &quot;qualità&quot;\" w=\"2\" />");
}

TEST(XmlWriter, WholeDocumentLayout) {
    XmlWriter w;
    w.writeStartDocumentWithEncodingAndVersion(std::string("UTF-8"), std::string("1.0"));
    w.writeStartElement("TorvaneMobile");
    w.writeStartElement("Testata");
    w.writeStartElement("Cliente");
    w.writeCharacters("C001");
    w.writeEndElement();
    w.writeEmptyElement("Vuoto");
    w.writeStartElement("Note");
    w.writeEndElement("Note");  // a named end keeps the long form
    w.writeEndDocument();
    EXPECT_EQ(w.toString(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
              "<TorvaneMobile>\n"
              "\t<Testata>\n"
              "\t\t<Cliente>C001</Cliente>\n"
              "\t\t<Vuoto />\n"
              "\t\t<Note></Note>\n"
              "\t</Testata>\n"
              "</TorvaneMobile>");
    EXPECT_EQ(w.level(), 0);

    XmlWriter plain;
    plain.writeStartDocument();
    EXPECT_EQ(plain.toString(), "<?xml version=\"1.0\" ?>");
    XmlWriter versioned;
    versioned.writeStartDocumentWithVersion(std::string("1.1"));
    EXPECT_EQ(versioned.toString(), "<?xml version=\"1.1\" ?>");
}

TEST(XmlWriter, LayoutPropertiesCanBeChangedOrSwitchedOff) {
    XmlWriter w;
    w.setLineBreak(std::nullopt);
    w.setIndentation(std::nullopt);
    w.setAutomaticEmptyElements(false);
    w.writeStartElement("a");
    w.writeStartElement("b");
    w.writeEndElement();
    w.writeEndElement();
    EXPECT_EQ(w.toString(), "<a><b></b></a>");

    XmlWriter s;
    s.setLineBreak(std::string("\r\n"));
    s.setIndentation(std::string("  "));
    s.writeStartElement("a");
    s.writeStartElement("b");
    s.writeStartElement("c");
    s.writeEndDocument();
    EXPECT_EQ(s.toString(), "\r\n<a>\r\n  <b>\r\n    <c />\r\n  </b>\r\n</a>");
}

TEST(XmlWriter, CommentsCDataAndProcessingInstructionsAreWrittenRaw) {
    XmlWriter w;
    w.writeStartElement("a");
    w.writeComment(" x < y ");
    w.writeCData("<b>&</b>");
    w.writeProcessingInstruction("stampa", "pagina=\"1\"");
    w.writeEndElement();
    EXPECT_EQ(w.toString(), "\n<a><!-- x < y --><![CDATA[<b>&</b>]]><?stampa pagina=\"1\"?></a>");
}

TEST(XmlWriter, CDataHoldingItsOwnTerminatorReadsBackWhole) {
    XmlWriter w;
    w.writeStartElement("a");
    w.writeCData("x]]>y");
    w.writeEndElement();
    auto doc = XmlDocument::initWithData(w.toString());
    ASSERT_TRUE(doc.ok());
    EXPECT_EQ(doc.value()->rootElement()->stringValue(), "x]]>y");
}

TEST(XmlWriter, EscapingDropsWhatXmlCannotCarry) {
    XmlWriter w;
    w.writeStartElement("a");
    w.writeAttribute("v", std::string("l'\x01" "a\tb\nc\rd<>", 13));
    w.writeCharacters("O'Brien \x01\x1f ok \xf0\x9f\x98\x80 fine \xef\xbf\xbe\xef\xbf\xbf end");
    w.writeCharacters("bad \xff\xfe bytes");
    w.writeCharacters("\xe2\x82\xac \xc3\xa8");  // BMP characters stay
    w.writeEndElement();
    EXPECT_EQ(w.toString(),
              "\n<a v=\"l'a\tb\nc\rd&lt;&gt;\">O'Brien  ok  fine  endbad  bytes\xe2\x82\xac \xc3\xa8</a>");
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
    EXPECT_EQ(w.toString(), "\n<A>t");
    w.writeEndElement();
    EXPECT_EQ(w.toString(), "\n<A>t</A>");

    XmlWriterException e("r");
    EXPECT_STREQ(XmlWriterException::name(), "XmlWriterException");
}

TEST(XmlWriter, NamespacesBindDeclareAndUnbind) {
    XmlWriter w;
    w.setPrefix(std::string("t"), std::string("urn:t"));  // declared on the next start tag
    w.writeStartElementWithNamespace(std::string("urn:t"), "Ordine");
    w.writeDefaultNamespace(std::string("urn:d"));        // declared at once
    w.writeAttributeWithNamespace(std::string("urn:t"), "id", "1");
    w.writeStartElementWithNamespace(std::string("urn:d"), "Riga");
    w.writeNamespace(std::string("r"), std::string("urn:r"));
    w.writeEmptyElementWithNamespace(std::string("urn:r"), "Taglia");
    w.writeEndElement();
    EXPECT_EQ(w.getPrefix("urn:r"), std::nullopt);         // gone with its element
    EXPECT_EQ(w.getPrefix("urn:t"), "t");
    EXPECT_EQ(w.getNamespaceURI(""), "urn:d");
    w.writeEndElement();
    EXPECT_EQ(w.toString(),
              "\n<t:Ordine xmlns=\"urn:d\" t:id=\"1\" xmlns:t=\"urn:t\">"
              "\n\t<Riga xmlns:r=\"urn:r\">\n\t\t<r:Taglia />\n\t</Riga>\n</t:Ordine>");
    EXPECT_EQ(w.getPrefix("urn:t"), std::nullopt);
    EXPECT_EQ(w.getPrefix("http://www.w3.org/XML/1998/namespace"), "xml");
    EXPECT_EQ(w.getNamespaceURI("xmlns"), "http://www.w3.org/2000/xmlns/");

    // The output is namespace-correct XML.
    auto doc = XmlDocument::initWithData(w.toString());
    ASSERT_TRUE(doc.ok());
    auto found = doc.value()->nodesForXPath("//r:Taglia", {{"r", "urn:r"}});
    ASSERT_TRUE(found.ok());
    ASSERT_EQ(found->size(), 1u);
    XmlNode* taglia = found->at(0);
    EXPECT_EQ(taglia->parent()->URI(), "urn:d");
    EXPECT_EQ(doc.value()->rootElement()->attributeValue("t:id"), "1");
}

TEST(XmlWriter, NamespaceBindingErrors) {
    XmlWriter w;
    w.setPrefix(std::string("a"), std::string("urn:a"));
    w.setDefaultNamespace(std::string("urn:d"));
    EXPECT_EQ(reasonOf([&] { w.setPrefix(std::nullopt, std::string("urn:x")); }), "Prefix cannot be NULL");
    EXPECT_EQ(reasonOf([&] { w.setPrefix(std::string("x"), std::nullopt); }), "Namespace cannot be NULL");
    EXPECT_EQ(reasonOf([&] { w.setPrefix(std::string("b"), std::string("urn:a")); }),
              "Name namespace urn:a has already been set");
    EXPECT_EQ(reasonOf([&] { w.setPrefix(std::string("a"), std::string("urn:b")); }),
              "Prefix a has already been set");
    EXPECT_EQ(reasonOf([&] { w.setDefaultNamespace(std::string("urn:e")); }),
              "Default namespace has already been set");
    EXPECT_EQ(reasonOf([&] { w.setPrefix(std::string("z"), std::string("http://www.w3.org/XML/1998/namespace")); }),
              "Name namespace http://www.w3.org/XML/1998/namespace has already been set");
}

TEST(XmlWriter, BindingInsideContentEndsWithItsElement) {
    XmlWriter w;
    w.writeStartElement("a");
    w.writeCharacters("x");
    w.setPrefix(std::string("p"), std::string("urn:p"));  // no start tag follows inside a
    w.writeEndElement();
    EXPECT_EQ(w.getPrefix("urn:p"), std::nullopt);
    EXPECT_EQ(reasonOf([&] { w.setPrefix(std::string("p"), std::string("urn:p")); }), "");
}

TEST(XmlWriter, ToDataUsesTheRememberedEncodingWithoutLoss) {
    XmlWriter utf8;
    utf8.writeStartElement("a");
    utf8.writeCharacters("caff\xc3\xa8");
    utf8.writeEndElement();
    EXPECT_EQ(utf8.toData(), utf8.toString());

    XmlWriter latin;
    latin.writeStartDocumentWithEncodingAndVersion(std::string("ISO-8859-1"), std::nullopt);
    latin.writeStartElement("a");
    latin.writeCharacters("caff\xc3\xa8");
    latin.writeEndElement();
    auto data = latin.toData();
    ASSERT_TRUE(data.has_value());
    EXPECT_NE(data->find("caff\xe8</a>"), std::string::npos);
    auto doc = XmlDocument::initWithData(*data);  // its declaration says how to read it
    ASSERT_TRUE(doc.ok());
    EXPECT_EQ(doc.value()->rootElement()->stringValue(), "caff\xc3\xa8");

    latin.writeComment("\xe2\x82\xac");  // the euro sign has no Latin-1 code
    EXPECT_EQ(latin.toData(), std::nullopt);

    XmlWriter unknown;
    unknown.writeStartDocumentWithEncodingAndVersion(std::string("NO-SUCH-CHARSET"), std::nullopt);
    EXPECT_EQ(unknown.toData(), std::nullopt);
}

TEST(XmlWriter, OutputReadsBackThroughTheDomAndXmllint) {
    XmlWriter w;
    w.writeStartDocumentWithEncodingAndVersion(std::string("UTF-8"), std::string("1.0"));
    w.writeStartElement("TorvaneMobile");
    w.writeStartElement("Cliente");
    w.writeAttribute("ragioneSociale1", "Rossi & Figli \"Tessuti\" <srl>");
    w.writeCharacters("via Roma 1\tinterno 2\x02 \xf0\x9f\xa7\xb5");
    w.writeEndElement();
    w.writeStartElement("Righe");
    for (int i = 0; i < 3; ++i) {
        w.writeStartElement("Riga");
        w.writeAttribute("n", std::to_string(i));
        w.writeEndElement();
    }
    w.writeEndDocument();

    auto doc = XmlDocument::initWithData(w.toString());
    ASSERT_TRUE(doc.ok()) << doc.error().message;
    auto* cliente = doc.value()->rootElement()->elementsForName("Cliente").at(0);
    EXPECT_EQ(cliente->attributeValue("ragioneSociale1"), "Rossi & Figli \"Tessuti\" <srl>");
    EXPECT_EQ(cliente->stringValue(), "via Roma 1\tinterno 2 ");
    EXPECT_EQ(doc.value()->nodeForXPath("//Riga").value()->asElement()->attributeValue("n"), "2");

    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint missing";
    auto path = std::filesystem::temp_directory_path() /
                ("torvane-writer-" + std::to_string(::getpid()) + ".xml");
    std::ofstream(path, std::ios::binary) << *w.toData();
    int status = std::system(("xmllint --noout '" + path.string() + "' 2>/dev/null").c_str());
    std::filesystem::remove(path);
    EXPECT_EQ(status, 0);
}
