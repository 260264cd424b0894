// The order archive: its rows by state, reopening a suspended order, deleting, the badge.
#include <gtest/gtest.h>

#include "mail/MailMessage.h"
#include "mail/Outbox.h"
#include "platform/IsoDate.h"
#include "review/ArchivioViewController.h"
#include "review/RivediSceltaViewController.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/StoreFixture.h"
#include "support/FakeUi.h"
#include "support/RowTexts.h"

using namespace torvane;
using namespace torvane::test;

namespace {

struct Archive : StoreFixture {
    FakeUi ui;
    std::shared_ptr<ArchivioViewController> archive;

    SceltaTestata order(long long codice, long long status, const std::string& created) {
        return *db->createSceltaTestataWithCodice(codice, {{"status", status}, {"cliente", "C001"},
                                                           {"clienteRagioneSociale", "Rossi Tessuti"}, {"dataCreazione", created}});
    }
    void open() {
        db->commit();
        archive = std::make_shared<ArchivioViewController>(ui, CompanySession::over(db));
        ui.showTabs({{"SCELTA", "", std::make_shared<ui::Screen>(ui)}, {"Archivio", "database", archive}});
        ui.selectTab(1);
    }
};

}  // namespace

TEST_F(Archive, RowsShowEachStateAndTheSentTimeByDay) {
    auto today = order(1, 1, "2026-12-07T09:00:00.000Z");
    today.setDataTrasmissione(parseIsoDate("2026-12-07T10:30:00.000Z"));
    auto later = order(2, 1, "2026-12-08T09:00:00.000Z");
    later.setDataTrasmissione(parseIsoDate("2026-12-10T08:15:00.000Z"));
    order(3, 2, "2026-12-09T09:00:00.000Z");
    order(4, 2, "2026-12-10T09:00:00.000Z").setFlagDuplicato(true);
    order(5, 1, "2026-12-11T09:00:00.000Z");
    open();
    auto rows = archive->sections();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(labelTexts(rows[0].rows[0]).back(), "(indef.)") << "newest first";
    EXPECT_EQ(labelTexts(rows[1].rows[0]).back(), "(Duplicato)");
    EXPECT_EQ(labelTexts(rows[2].rows[0]).back(), "(Sospeso)");
    EXPECT_EQ(labelTexts(rows[3].rows[0]).back().rfind("Inviato ", 0), 0u);
    EXPECT_EQ(labelTexts(rows[3].rows[0]).back().size(), std::string("Inviato 10-12-2026 09:15").size())
        << "sent on a later day: date and time";
    EXPECT_EQ(labelTexts(rows[4].rows[0]).back().size(), std::string("Inviato 11:30").size()) << "sent the same day: the time";
    EXPECT_EQ(labelTexts(rows[4].rows[0])[2], "Ord.1");
    EXPECT_EQ(ui.badge(1), "2");
}

TEST_F(Archive, ASuspendedOrderReopensOnlyWhileNoneIsOpenAndAnOpenOneIsNeverDeleted) {
    auto aperto = order(1, 0, "2026-12-07T09:00:00.000Z");
    auto sospeso = order(2, 2, "2026-12-08T09:00:00.000Z");
    open();
    archive->didSelectRow(0, 0);
    EXPECT_TRUE(ui.sawAlert("Attenzione", "Hai gia' un ordine aperto. Completalo o Sospendilo !"));
    EXPECT_EQ(sospeso.status(), 2);
    archive->commitDeletion(1, 0);
    EXPECT_TRUE(ui.sawAlert("Attenzione", "Questo e' un ordine aperto. Completalo o Sospendilo !"));
    EXPECT_EQ(archive->listaScelte().size(), 2u);

    aperto.setStatus(1);
    db->commit();
    archive->didSelectRow(0, 0);
    db->rollback();
    EXPECT_EQ(db->fetchSceltaTestataByCodice(2)->status(), 0) << "reopened and committed";
    EXPECT_EQ(ui.badge(1), std::nullopt) << "the only suspended order reopened: no badge";
    archive->commitDeletion(1, 0);
    EXPECT_FALSE(db->fetchSceltaTestataByCodice(1));
    archive->didSelectRow(0, 0);
    EXPECT_TRUE(dynamic_cast<RivediSceltaViewController*>(ui.visible())) << "an open order opens its review";
}

TEST_F(Archive, AnOrderWhoseMessageWaitsInTheOutboxSaysSo) {
    for (long long codice : {1, 2}) {
        auto t = order(codice, 1, "2026-12-07T09:00:00.000Z");
        t.setDataTrasmissione(parseIsoDate("2026-12-07T10:30:00.000Z"));
    }
    MailDraft draft;
    draft.to = {"acquisti@rossi.example"};
    draft.subject = "Rossi Tessuti del 07-12-2026";
    draft.codiceOrdine = 2;
    ASSERT_TRUE(Outbox().save(MailMessage::build(draft, "agente@torvane.invalid", std::chrono::system_clock::now())));
    open();
    const auto rows = archive->sections();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NE(labelTexts(rows[0].rows[0]).back().find("(in uscita)"), std::string::npos) << "order 2's e-mail is still here";
    EXPECT_EQ(labelTexts(rows[1].rows[0]).back().find("(in uscita)"), std::string::npos);
}
