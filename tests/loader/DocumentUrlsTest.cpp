#include <gtest/gtest.h>

#include "loader/DocumentUrls.h"

using namespace torvane;

namespace {
const std::string kServer = "http://server.example/cat/";
}

TEST(DocumentUrls, ServerFolderAndCompanyGiveOneOrFourDocumentsNamedAfterTheCompany) {
    auto four = DocumentUrls::build(false, std::nullopt, kServer, std::string("01"), true);
    EXPECT_EQ(four.urls, (std::vector<std::string>{kServer + "01.LEV1.xml", kServer + "01.LEV2.xml",
                                                   kServer + "01.LEV3.xml", kServer + "01.LEV4.xml"}));
    auto one = DocumentUrls::build(false, std::nullopt, kServer, std::string("01"), false);
    EXPECT_EQ(one.urls, std::vector<std::string>{kServer + "01.L1.xml"});
    // A server text that names a document is extended, whatever the four-step switch says.
    auto named = DocumentUrls::build(false, std::nullopt, std::string("http://h/name.xml"), std::string("01"), true);
    EXPECT_EQ(named.urls, std::vector<std::string>{"http://h/name.xml.L1.xml"});
    // Without a company the folder itself gets the document name.
    EXPECT_EQ(DocumentUrls::build(false, std::nullopt, kServer, std::nullopt, false).urls,
              std::vector<std::string>{kServer + "L1.xml"});
    EXPECT_EQ(DocumentUrls::lastPathComponent(kServer + "01.LEV3.xml?x=1"), "01.LEV3.xml");
}

TEST(DocumentUrls, FairModeTakesTheFairPcAndRefusesUnusableAddresses) {
    EXPECT_EQ(DocumentUrls::build(true, std::string("http://pc/"), kServer, std::string("01"), true).urls,
              std::vector<std::string>{"http://pc/fiere.xml"});
    EXPECT_EQ(DocumentUrls::build(true, std::string("http://pc/cat.xml"), kServer, std::nullopt, false).urls,
              std::vector<std::string>{"http://pc/cat.xml"});
    auto noFair = DocumentUrls::build(true, std::nullopt, kServer, std::nullopt, false);
    EXPECT_TRUE(noFair.urls.empty());
    EXPECT_EQ(noFair.refusal, "Imposta indirizzo HTTP del PC Fiera !!!");
    for (auto server : {std::optional<std::string>(), std::optional<std::string>(""),
                        std::optional<std::string>("http://a b/")}) {
        auto refused = DocumentUrls::build(false, std::nullopt, server, std::string("01"), false);
        EXPECT_TRUE(refused.urls.empty());
        EXPECT_EQ(refused.refusal, "Manca l'indirizzo HTTP !!!");
    }
}
