// The e-mail of an order: recipients, subject, body and the attachments, and the private
// folder the documents and pictures pass through.
#include <gtest/gtest.h>
#include <filesystem>

#include "platform/DateFormat.h"
#include "platform/Paths.h"
#include "platform/Picture.h"
#include "review/OrderFixture.h"
#include "review/OrderMail.h"
#include "support/TestJpeg.h"

namespace torvane::test {
namespace {

struct OrderMailTest : OrderFixture {
    std::string xmlPath;

    void SetUp() override {
        OrderFixture::SetUp();
        for (auto key : {keys::pref_REPORTPDFENABLED, keys::pref_REPORTTXTENABLED, keys::pref_REPORTHTMLENABLED})
            prefs().setBool(key, true);
        prefs().setString(keys::pref_EMAILCC1, "x");  // one character: never a copy
        prefs().setString(keys::pref_EMAILCC2, "copia@azienda.it");
        prefs().setString(keys::pref_EMAILXML, "xml@azienda.it");
        xmlPath = dir.file("ordine.xml");
        writeFile(xmlPath, "<Ordine>42</Ordine>");
    }
    // An order of client C1 with one line, so its documents have something in them.
    SceltaTestata order(const std::string& clientName) {
        listino("L01", "Estate");
        articolo("ART1");
        cliente("C1", clientName, {{"email", "cliente@example.it"}});
        auto t = ordine(42, std::string("C1"), std::string("L01"));
        t.setClienteRagioneSociale(clientName);
        riga(t, "ART1", "001", 2, "4.50");
        return t;
    }
    static std::vector<unsigned char> png(const std::string& name) {
        std::string problem;
        return Picture::pngFromFile(std::string(TORVANE_RESOURCES_SOURCE_DIR) + "/" + name, problem).value();
    }
    static std::vector<std::string> names(const MailDraft& draft) {
        std::vector<std::string> out;
        for (const auto& a : draft.attachments) out.push_back(a.fileName + " " + a.mediaType);
        return out;
    }
    bool privateFoldersLeft() const {
        for (const auto& entry : std::filesystem::directory_iterator(Paths::temporary()))
            if (entry.path().filename().string().rfind("posta-", 0) == 0) return true;
        return false;
    }
    const Timestamp today = parseIsoDate("2026-12-08T10:00:00Z").value();
};

TEST_F(OrderMailTest, FirstSendGoesToTheClientWithEveryAttachmentInOrder) {
    auto t = order("Tessuti & Figli <Società>");
    t.setFirma(png("magnifying_glass.png"));  // 64 x 64, with transparency
    db->fetchClienteByCodice("C1")->setFoto(png("barra_verde.png"));  // 140 x 16

    MailDraft draft = OrderMail(db).compose(t, xmlPath, today);

    EXPECT_EQ(draft.to, std::vector<std::string>{"cliente@example.it"});
    EXPECT_EQ(draft.cc, (std::vector<std::string>{"copia@azienda.it", "xml@azienda.it"}));
    EXPECT_EQ(draft.subject, "Tessuti & Figli <Società> del " + DateFormat("dd-MM-yyyy").format(today));
    ASSERT_TRUE(draft.htmlBody);
    EXPECT_NE(draft.htmlBody->find("&amp; Figli &lt;Società&gt;"), std::string::npos);
    EXPECT_EQ(names(draft), (std::vector<std::string>{"FirmaOrdine.jpg image/jpeg", "FotoCliente.jpg image/jpeg",
                                                      "Ordine.pdf application/pdf", "Ordine.txt text/plain",
                                                      "Ordine.xml text/plain"}));
    // Pictures come out as real JPEGs of their own size, whatever they were stored as.
    EXPECT_EQ(draft.attachments[0].bytes.substr(0, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(Picture::decodedSize(draft.attachments[0].bytes), std::make_pair(64, 64));
    EXPECT_EQ(Picture::decodedSize(draft.attachments[1].bytes), std::make_pair(140, 16));
    EXPECT_EQ(draft.attachments[2].bytes.substr(0, 5), "%PDF-");
    EXPECT_NE(draft.attachments[3].bytes.find("ART1"), std::string::npos);
    EXPECT_EQ(draft.attachments[4].bytes, "<Ordine>42</Ordine>");
    EXPECT_FALSE(privateFoldersLeft());
    EXPECT_TRUE(log->contains("Invio la Mail ..."));
}

TEST_F(OrderMailTest, ALargeClientPhotoIsAttachedWhole) {
    auto t = order("Rossi");
    const std::string photo = testJpeg(2000, 1300, true, 100);
    ASSERT_GT(photo.size(), 4'000'000u);
    db->fetchClienteByCodice("C1")->setFoto(std::vector<unsigned char>(photo.begin(), photo.end()));

    MailDraft draft = OrderMail(db).compose(t, xmlPath, today);

    ASSERT_EQ(draft.attachments.at(0).fileName, "FotoCliente.jpg");
    EXPECT_EQ(Picture::decodedSize(draft.attachments[0].bytes), std::make_pair(2000, 1300));
    EXPECT_FALSE(privateFoldersLeft());
}

TEST_F(OrderMailTest, TheSignatureAndPhotoGoWhateverTheTemporaryFolderDoes) {
    auto t = order("Rossi");
    t.setFirma(png("magnifying_glass.png"));
    db->fetchClienteByCodice("C1")->setFoto(png("barra_verde.png"));
    prefs().setBool(keys::pref_REPORTPDFENABLED, false);
    prefs().setBool(keys::pref_REPORTTXTENABLED, false);
    std::filesystem::remove_all(Paths::temporary());
    writeFile(Paths::temporary(), "a file where the folder should be");

    MailDraft draft = OrderMail(db).compose(t, xmlPath, today);

    EXPECT_EQ(names(draft), (std::vector<std::string>{"FirmaOrdine.jpg image/jpeg", "FotoCliente.jpg image/jpeg",
                                                      "Ordine.xml text/plain"}));
}

TEST_F(OrderMailTest, AnOrderSentBeforeGoesAgainWithoutTheOrderFileAndItsCopy) {
    auto t = order("Rossi");
    const Timestamp sent = parseIsoDate("2026-03-04T10:05:00Z").value();
    t.setDataTrasmissione(sent);
    t.setNote(std::string("Consegna a marzo"));
    prefs().setBool(keys::pref_REPORTHTMLENABLED, false);
    prefs().setBool(keys::pref_MODALITAFIERAENABLED, true);
    prefs().setString(keys::pref_MANIFESTAZIONE, "Milano Unica");

    MailDraft draft = OrderMail(db).compose(t, xmlPath, today);

    EXPECT_EQ(draft.cc, std::vector<std::string>{"copia@azienda.it"});
    EXPECT_EQ(draft.subject,
              "Altro invio FIERA Milano Unica - Rossi del " + DateFormat("dd-MM-yyyy HH:mm").format(sent));
    EXPECT_FALSE(draft.htmlBody);
    EXPECT_EQ(draft.textBody, "Consegna a marzo");
    // No signature, no photo: the documents come first.
    EXPECT_EQ(names(draft), (std::vector<std::string>{"Ordine.pdf application/pdf", "Ordine.txt text/plain"}));
}

TEST_F(OrderMailTest, InFairModeTheOrderFileIsAttachedButNotCopiedAndNoNoteMeansNoBody) {
    auto t = order("Rossi");
    prefs().setBool(keys::pref_MODALITAFIERAENABLED, true);
    prefs().setBool(keys::pref_REPORTHTMLENABLED, false);
    prefs().setBool(keys::pref_REPORTTXTENABLED, false);
    prefs().setBool(keys::pref_REPORTPDFENABLED, false);
    prefs().setString(keys::pref_EMAILCC2, "");

    MailDraft draft = OrderMail(db).compose(t, xmlPath, today);

    EXPECT_TRUE(draft.cc.empty());
    EXPECT_EQ(draft.subject.rfind("FIERA  - Rossi del ", 0), 0u) << draft.subject;
    EXPECT_FALSE(draft.htmlBody);
    EXPECT_FALSE(draft.textBody);
    EXPECT_EQ(names(draft), std::vector<std::string>{"Ordine.xml text/plain"});
}

}  // namespace
}  // namespace torvane::test
