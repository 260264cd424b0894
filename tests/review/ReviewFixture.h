#pragma once

#include <memory>

#include "OrderFixture.h"
#include "review/RivediSceltaViewController.h"
#include "session/CompanySession.h"
#include "support/FakeUi.h"
#include "support/RowTexts.h"

namespace torvane::test {

// An order of client C01 on price list L01, reviewed through the fake platform: the review is
// pushed over a plain first screen, as order entry and the archive push it.
struct ReviewFixture : OrderFixture {
    FakeUi ui;
    std::shared_ptr<ui::Screen> parent;
    std::shared_ptr<RivediSceltaViewController> review;

    void SetUp() override {
        OrderFixture::SetUp();
        parent = std::make_shared<ui::Screen>(ui);
        ui.showTabs({{"SCELTA", "", parent}});
    }
    // Commits what the test made, then opens the review of order `codice`.
    RivediSceltaViewController& open(long long codice) {
        db->commit();
        review = std::make_shared<RivediSceltaViewController>(ui, codice, CompanySession::over(db));
        ui.push(*parent, review);
        return *review;
    }
    int fixed(int sezione) const { return static_cast<int>(review->ordineRighe().size()) + sezione; }
    std::vector<std::string> rowTexts(int sezione, int row = 0) const {
        return labelTexts(review->rowAt(fixed(sezione), row));
    }
    bool reviewShown() const { return ui.visible() == review.get(); }
    SceltaTestata reread(long long codice) {
        db->rollback();  // only what was committed
        return *db->fetchSceltaTestataByCodice(codice);
    }
};

}  // namespace torvane::test
