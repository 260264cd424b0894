// The server's answers to what devices send: orders, logins, the page, the folder's files.
#include "FairServerFixture.h"
#include "PageAccess.h"
#include "UploadName.h"

namespace torvane::test {
namespace {

using fiera::PageAccess;
using fiera::UploadName;

TEST_F(FairServerTest, ARetryOfTheSameBytesIsAnsweredAsStoredAndKeptOnce) {
    EXPECT_EQ(fair->banner(), "in ascolto su http://127.0.0.1:" + std::to_string(fair->port()));
    const std::string xml = order("00042", "Tessuti Rossi");
    const std::string path = root.file("Ordine.xml");
    writeFile(path, xml);

    EXPECT_EQ(deviceUpload(path, "ORDINE_mario_U1_260304090500_00042_1_260304100001.xml"), 0);
    // The answer was lost on the way: the device tries again under its second name.
    EXPECT_EQ(deviceUpload(path, "ORDINE_mario_U1_260304090500_00042_2_260304100012.xml"), 0);

    ASSERT_EQ(stored(), std::vector<std::string>{"ORDINE_mario_U1_260304090500_00042_1_260304100001.xml"});
    // The field's content as the device lays it out: the document and one line break.
    EXPECT_EQ(readFile(dir / "ordini" / stored()[0]), xml + "\r\n");
    EXPECT_TRUE(fair->logHas("POST /upload.php 200 ordine salvato come ORDINE_mario_U1_260304090500_00042_1_"))
        << fair->log();
    EXPECT_TRUE(fair->logHas("POST /upload.php 200 gia' ricevuto come ORDINE_mario_U1_260304090500_00042_1_"));
}

TEST_F(FairServerTest, AnotherOrderUnderATakenNameIsStoredBesideItNeverOverIt) {
    ASSERT_EQ(upload("ordine.xml", order("1", "Primo"))->status, 200);
    auto second = upload("ordine.xml", order("2", "Secondo"));
    ASSERT_EQ(second->status, 200);
    EXPECT_NE(second->body.find(" successfully "), std::string::npos);
    EXPECT_EQ(stored(), (std::vector<std::string>{"ordine-2.xml", "ordine.xml"}));
    EXPECT_NE(readFile(dir / "ordini" / "ordine.xml").find("Primo"), std::string::npos);
    EXPECT_NE(readFile(dir / "ordini" / "ordine-2.xml").find("Secondo"), std::string::npos);
}

TEST_F(FairServerTest, ASentNameBecomesOnePlainFileInTheOrdersFolder) {
    EXPECT_EQ(UploadName::sanitised("a/b\\c\x01\x7f.xml"), "a_b_c__.xml");
    EXPECT_EQ(UploadName::sanitised(".nascosto"), "nascosto.xml");
    EXPECT_EQ(UploadName::sanitised(".."), "_.xml");
    EXPECT_EQ(UploadName::sanitised(""), "ordine.xml");
    // At most 200 bytes, cut on a whole character: "è" is two bytes and never split.
    std::string accented;
    for (int i = 0; i < 150; ++i) accented += "\xc3\xa8";
    EXPECT_EQ(UploadName::sanitised("a" + accented), "a" + accented.substr(0, 194) + ".xml");
    EXPECT_EQ(UploadName::sanitised(std::string(300, 'a')).size(), UploadName::maxLength);

    ASSERT_EQ(upload("../../fuori.xml", order("3", "Terzo"))->status, 200);
    ASSERT_EQ(upload("sub/dir/x.xml", order("4", "Quarto"))->status, 200);
    EXPECT_EQ(stored(), (std::vector<std::string>{"____fuori.xml", "sub_dir_x.xml"}));
    EXPECT_FALSE(fs::exists(root.path() / "fuori.xml"));
    EXPECT_FALSE(fs::exists(dir / "fuori.xml"));
}

TEST_F(FairServerTest, WhatIsNotAnOrderIsRefusedWithoutTheMarkerAndNotKept) {
    struct Case {
        httplib::Result result;
        int status;
        const char* what;
    };
    const std::string entities =
        "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY x \"xxxxxxxxxx\"><!ENTITY y \"&x;&x;&x;&x;\">]><a>&y;</a>";
    std::vector<Case> cases;
    cases.push_back({upload("o.xml", order("1", "Uno"), "altrofile"), 400, "no userfile field"});
    cases.push_back({client().Post("/upload.php", order("1", "Uno"), "text/xml"), 400, "not a form"});
    cases.push_back({upload("o.xml", "questo non e' XML <"), 422, "not XML"});
    cases.push_back({upload("o.xml", ""), 422, "empty"});
    cases.push_back({upload("o.xml", "<a><b></a>"), 422, "not well-formed"});
    cases.push_back({upload("o.xml", entities), 422, "a document type declaring entities"});
    for (const Case& c : cases) {
        ASSERT_TRUE(c.result) << c.what;
        EXPECT_EQ(c.result->status, c.status) << c.what;
        EXPECT_EQ(c.result->body.find(" successfully "), std::string::npos) << c.what;
    }
    // Cut off half-way through the field.
    const std::string start = "--b\r\nContent-Disposition: form-data; name=\"userfile\"; filename=\"c.xml\"\r\n\r\n<a>";
    const std::string cut = rawExchange(fair->port(),
                                        "POST /upload.php HTTP/1.1\r\nHost: x\r\nContent-Type: multipart/form-data; "
                                        "boundary=b\r\nContent-Length: 5000\r\n\r\n" + start,
                                        3000ms, true);
    EXPECT_EQ(cut.find(" successfully "), std::string::npos);
    EXPECT_TRUE(stored().empty()) << "not even a temporary file is left";
}

TEST_F(FairServerTest, AnOrderUpToTheLimitIsStoredAndOneByteMoreIsNot) {
    // A real order runs to hundreds of kilobytes; the limit is on the whole body.
    const std::string closing = "</TorvaneMobile>\n";
    const std::string opening = order("1", "Grande").substr(0, order("1", "Grande").size() - closing.size());
    const std::string boundary = "----torvaneprova";
    const std::string before = "--" + boundary +
                               "\r\nContent-Disposition: form-data; name=\"userfile\"; filename=\"grande.xml\"\r\n"
                               "Content-Type: application/octet-stream\r\n\r\n";
    const std::string after = "\r\n--" + boundary + "--\r\n";
    std::size_t xmlSize = 0;
    auto postBodyOf = [&](std::size_t bodySize) {
        // Lines as an order has them, then a comment making up the exact size.
        const std::string line = "<DettaglioOrdine><Articolo>ART0001</Articolo><Quantita>1</Quantita></DettaglioOrdine>\n";
        const std::size_t room = bodySize - before.size() - after.size() - opening.size() - closing.size() - 7;
        std::string xml = opening;
        xml.reserve(bodySize);
        for (std::size_t n = room / line.size(); n > 0; --n) xml += line;
        xml += "<!--" + std::string(room % line.size(), 'x') + "-->" + closing;
        xmlSize = xml.size();
        return client().Post("/upload.php", before + xml + after, "multipart/form-data; boundary=" + boundary);
    };
    auto fits = postBodyOf(20u * 1024u * 1024u);
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->status, 200);
    EXPECT_NE(fits->body.find(" successfully "), std::string::npos);
    const std::size_t storedSize = xmlSize;
    // Refused on its length: the server may close before the client has sent it all.
    auto over = postBodyOf(20u * 1024u * 1024u + 1u);
    if (over) {
        EXPECT_EQ(over->status, 413);
        EXPECT_EQ(over->body.find(" successfully "), std::string::npos);
    }
    EXPECT_TRUE(fair->logHas("413 rifiutato prima di leggerlo: 20971521 byte")) << fair->log();
    ASSERT_EQ(stored(), std::vector<std::string>{"grande.xml"});
    EXPECT_EQ(fs::file_size(dir / "ordini" / "grande.xml"), storedSize);
}

TEST_F(FairServerTest, AnOversizedBodyIsRefusedOnItsLengthBeforeItIsRead) {
    const auto start = std::chrono::steady_clock::now();
    const std::string answer = rawExchange(
        fair->port(), "POST /upload.php HTTP/1.1\r\nHost: x\r\nContent-Type: multipart/form-data; boundary=b\r\n"
                      "Content-Length: 1073741824\r\n\r\n--b\r\n");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "the gigabyte is not waited for";
    EXPECT_NE(answer.find("413"), std::string::npos) << answer;
    EXPECT_EQ(answer.find(" successfully "), std::string::npos);

    // A client that asks first is told no before it sends anything.
    const std::string asked = rawExchange(
        fair->port(), "POST /upload.php HTTP/1.1\r\nHost: x\r\nContent-Type: multipart/form-data; boundary=b\r\n"
                      "Content-Length: 1073741824\r\nExpect: 100-continue\r\n\r\n");
    EXPECT_EQ(asked.rfind("HTTP/1.1 417", 0), 0u) << asked;
    EXPECT_EQ(asked.find("100 Continue"), std::string::npos);

    // Still serving.
    auto after = client().Get("/fiere.xml");
    ASSERT_TRUE(after);
    EXPECT_EQ(after->status, 200);
}

TEST_F(FairServerTest, ThePageListsTheOrdersWithEveryTextEscaped) {
    ASSERT_EQ(upload("a.xml", order("00042", "&lt;script&gt;alert(1)&lt;/script&gt; Rossi &amp; Figli", 3))->status,
              200);
    ASSERT_EQ(upload("<img src=x onerror=y>.xml", order("7", "Bianchi"))->status, 200);
    auto page = client().Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
    const std::string& html = page->body;
    EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt; Rossi &amp; Figli"), std::string::npos) << html;
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("<img"), std::string::npos);
    EXPECT_NE(html.find(">00042<"), std::string::npos);
    EXPECT_NE(html.find(">3<"), std::string::npos) << "the lines of the order";
    EXPECT_NE(html.find("AG7 (mario)"), std::string::npos);
    EXPECT_NE(html.find("Bianchi"), std::string::npos);
}

TEST_F(FairServerTest, WithAPasswordThePageAsksForItAndOtherwiseOnlyThisPcSeesIt) {
    fair.reset();
    fair = std::make_unique<FairProcess>(dir.string(), std::vector<std::string>{"--pagina-password", "stand42"});
    auto none = client().Get("/");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->status, 401);
    EXPECT_NE(none->get_header_value("WWW-Authenticate").find("Basic"), std::string::npos);
    httplib::Client wrong = client();
    wrong.set_basic_auth("stand", "stand41");
    EXPECT_EQ(wrong.Get("/")->status, 401);
    httplib::Client right = client();
    right.set_basic_auth("chiunque", "stand42");
    EXPECT_EQ(right.Get("/")->status, 200);

    // Without a password, the loopback rule (another address cannot be reached from here).
    const PageAccess open(std::nullopt);
    EXPECT_EQ(open.check("::ffff:127.0.0.1", ""), PageAccess::Verdict::Allowed);
    EXPECT_EQ(open.check("192.168.1.20", ""), PageAccess::Verdict::Refused);
    EXPECT_EQ(open.check("::ffff:10.0.0.2", "Basic eDp5"), PageAccess::Verdict::Refused);
}

TEST_F(FairServerTest, ServesTheFilesOfTheFolderAndNothingOutsideIt) {
    auto fiere = client().Get("/fiere.xml");
    ASSERT_TRUE(fiere);
    EXPECT_EQ(fiere->status, 200);
    EXPECT_EQ(fiere->body, "<Fiere><Fiera>Milano Unica</Fiera></Fiere>");
    auto photo = client().Get("/foto/ART1.jpg");
    EXPECT_EQ(photo->get_header_value("Content-Type"), "image/jpeg");
    EXPECT_EQ(photo->body.size(), 9u);

    ASSERT_EQ(upload("privato.xml", order("9", "Privato"))->status, 200);
    fs::create_symlink(root.path() / "segreto.txt", dir / "link.txt");
    fs::create_symlink(dir / "fiere.xml", dir / "alias.xml");
    writeFile(dir / ".nascosto", "no");
    for (const std::string path :
         {"/../segreto.txt", "/%2e%2e/segreto.txt", "/%2E%2E%2Fsegreto.txt", "/foto/../../segreto.txt",
          "/..%2fsegreto.txt", "/ordini/privato.xml", "/ordini", "/foto", "/link.txt", "/.nascosto",
          "/fiere.xml%00.jpg", "/foto//ART1.jpg"}) {
        const std::string answer =
            rawExchange(fair->port(), "GET " + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        EXPECT_EQ(answer.find("fuori dalla cartella"), std::string::npos) << path;
        EXPECT_EQ(answer.find("Privato"), std::string::npos) << path;
        EXPECT_EQ(answer.rfind("HTTP/1.1 200", 0), std::string::npos) << path << ": " << answer.substr(0, 40);
    }
    EXPECT_EQ(client().Get("/alias.xml")->status, 200) << "a link that stays inside is followed";
}

TEST_F(FairServerTest, LogsEachRequestAndStopsCleanlyOnSigterm) {
    client().Get("/fiere.xml");
    client().Get("/assente.xml");
    rawExchange(fair->port(), "GET /x%0a127.0.0.1%20GET%20/finto%20200 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(fair->stop(), 0);
    const std::string log = fair->log();
    EXPECT_NE(log.find("127.0.0.1 GET /fiere.xml 200"), std::string::npos) << log;
    EXPECT_NE(log.find("127.0.0.1 GET /assente.xml 404"), std::string::npos);
    EXPECT_NE(log.find("Server fermato"), std::string::npos);
    EXPECT_NE(log.find("127.0.0.1 GET /x?127.0.0.1 GET /finto 200 404"), std::string::npos)
        << "a line break in a path does not start a line of its own";
    EXPECT_EQ(log.find("\n127.0.0.1 GET /finto"), std::string::npos);
}

TEST_F(FairServerTest, WithAProfilesFileItAnswersLoginsAndOnlyTheRightPasswordGetsTheCompanies) {
    writeFile(root.path() / "profili.json",
              R"({"utenti":[{"user":"demo","password":"a&b","aziende":[{"codice":"01","userLegacyCode":["AG01"]}]},
                            {"password":"senza utente"}]})");
    fair->stop();
    fair = std::make_unique<FairProcess>(dir.string(), std::vector<std::string>{"--profili", (root.path() / "profili.json").string()});
    auto login = [&](const std::string& user, const std::string& password) {
        auto result = client().Post("/ios/userProfile", httplib::Params{{"user", user}, {"pass", password}, {"udid", "x"}});
        return result ? result->body : std::string("(nessuna risposta)");
    };
    EXPECT_EQ(login("demo", "a&b"), R"({"aziende":[{"codice":"01","userLegacyCode":["AG01"]}]})");
    EXPECT_EQ(login("demo", "a"), R"({"aziende":[]})");
    EXPECT_EQ(login("", "senza utente"), R"({"aziende":[]})");
    auto big = client().Post("/ios/userProfile", std::string(100 * 1024, 'x'), "application/x-www-form-urlencoded");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->status, 413);
    EXPECT_EQ(fair->log().find("a&b"), std::string::npos) << "passwords never reach the log";

    writeFile(root.path() / "rotto.json", "[1, 2");
    EXPECT_THROW(FairProcess(dir.string(), {"--profili", (root.path() / "rotto.json").string()},
                             (root.path() / "rotto.log").string()),
                 std::runtime_error)
        << "a profiles file that cannot be used stops the server at once";
}

}  // namespace
}  // namespace torvane::test
