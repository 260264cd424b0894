#include <gtest/gtest.h>

#include <chrono>
#include <climits>

#include "SizeGridFixture.h"
#include "order/SceltaTaglieViewController.h"
#include "rules/SizeGridBuilder.h"
#include "order/TaglieCell.h"
#include "support/FakeUi.h"

using namespace torvane;
using namespace std::chrono_literals;

namespace {

// The grid of ART2: roots 10 and 20, sizes S, M, L.
struct Grid : test::SizeGridFixture {
    test::FakeUi ui;
    std::shared_ptr<SceltaTaglieViewController> screen;

    void open(int posizione = 0) {
        screen = std::make_shared<SceltaTaglieViewController>(ui, db, *articolo, posizione);
    }
    void SetUp() override {
        SizeGridFixture::SetUp();
        gruppo({"S", "M", "L"});
        SizeGridBuilder::prepare(*db, *articolo, std::nullopt);
        open();
    }
    void set(int section, int row, long long q) { radici()[section].tempSceltaTaglie()[row].setQuantita(q); }
    long long at(int section, int row) { return quantita(section).at(row); }
    const ui::Row& row(const std::vector<ui::Section>& s, int section, int r) { return s.at(section).rows.at(r); }
    void selectAll(std::initializer_list<ui::IndexPath> rows) {
        for (const ui::IndexPath& where : rows) screen->didSelectRow(where.section, where.row);
    }
};

}  // namespace

TEST_F(Grid, ShowsOneSectionPerRootAndOneRowPerSize) {
    EXPECT_EQ(screen->title(), "ART2");
    EXPECT_TRUE(log->contains("Colori          trovati 3") && log->contains("Colori SX Barra trovati 2"));
    set(1, 2, 4);
    const auto sections = screen->sections();
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[1].title, "20");
    ASSERT_EQ(sections[1].rows.size(), 3u);
    const ui::Row& filled = row(sections, 1, 2);
    EXPECT_EQ(std::get<ui::Label>(filled.items.at(0)).text, "L");
    const auto& field = std::get<ui::TextField>(filled.items.at(1));
    EXPECT_EQ(field.tag, 20003);
    EXPECT_EQ(field.text, "4");
    const auto& stepper = std::get<ui::Stepper>(filled.items.at(2));
    EXPECT_EQ((std::vector<double>{stepper.value, stepper.step, stepper.minimum, stepper.maximum}),
              (std::vector<double>{4, 1, 0, 50}));
    EXPECT_EQ(std::get<ui::TextField>(row(sections, 0, 0).items.at(1)).text, "") << "0 shows as empty";
    EXPECT_EQ(screen->navigationButtons().at(0).title, "De-seleziona");

    // The store the grid was opened on outlives a switch of the shared store.
    std::weak_ptr<Database> store = db;
    db.reset();
    EXPECT_FALSE(store.expired());
    EXPECT_EQ(screen->sections().at(1).rows.size(), 3u);
    db = store.lock();
}

TEST_F(Grid, AStepperPressAddsItsStepToEverySelectedRowWithoutGoingBelowZero) {
    set(0, 0, 2);
    set(1, 0, 5);
    selectAll({{0, 0}, {0, 1}, {1, 0}});
    screen->stepperChanged("stepperValueChanged", 3, {0, 0});
    EXPECT_EQ(quantita(0), (std::vector<long long>{3, 1, 0}));
    EXPECT_EQ(at(1, 0), 6);
    EXPECT_TRUE(log->contains("Stepper 10001 Value=3.000000 Step=1.000000 min=0.000000 max=50.000000"));

    set(0, 1, 0);
    screen->stepperChanged("stepperValueChanged", 2, {0, 0});  // lowered by one
    EXPECT_EQ(at(0, 1), 0);
    EXPECT_EQ(at(1, 0), 5);
    const auto sections = screen->sections();
    EXPECT_TRUE(row(sections, 0, 1).selected && !row(sections, 0, 2).selected) << "the selection stays";
}

TEST_F(Grid, ATypedQuantityIsCopiedToTheSelectedRows) {
    selectAll({{0, 1}, {1, 2}});
    screen->textFieldDidEndEditing(10002, "7");
    EXPECT_EQ(quantita(0), (std::vector<long long>{0, 7, 0}));
    EXPECT_EQ(at(1, 2), 7);
    screen->textFieldDidEndEditing(20003, "abc");
    EXPECT_EQ(at(0, 1) + at(1, 2), 0) << "text that is not a number reads 0";
}

TEST_F(Grid, AQuantityAboveFiftyIsStoredAndTheStepperStopsAtItsMaximum) {
    EXPECT_EQ(screen->updateQuantita(10003, "75"), 75);
    EXPECT_EQ(screen->updateQuantita(10003, "70"), -5);
    const auto sections = screen->sections();
    EXPECT_EQ(std::get<ui::Stepper>(row(sections, 0, 2).items.at(2)).value, 50);
    EXPECT_EQ(screen->updateQuantita(10003, "-3"), -70) << "a count of pieces is never negative";
    EXPECT_EQ(at(0, 2), 0);
}

TEST_F(Grid, DeselectingMakesLaterChangesTouchOneRowOnly) {
    selectAll({{0, 0}, {0, 1}});
    screen->didDeselectRow(0, 0);
    EXPECT_FALSE(screen->isSelected(0, 0));
    screen->navigationButtonTapped("chiudiKeyboard");
    EXPECT_TRUE(ui.sawEvent("endEditing"));
    EXPECT_FALSE(screen->isSelected(0, 1));
    screen->stepperChanged("stepperValueChanged", 1, {0, 0});
    screen->textFieldDidEndEditing(20001, "4");
    EXPECT_EQ(quantita(0), (std::vector<long long>{1, 0, 0}));
    EXPECT_EQ(quantita(1), (std::vector<long long>{4, 0, 0}));
}

TEST_F(Grid, EventsOutsideTheGridAreIgnored) {
    for (int tag : {0, 5, 10000, 10004, 30001, -10001, INT_MAX}) {
        EXPECT_EQ(screen->updateQuantita(tag, "9"), 0) << tag;
        screen->textFieldDidEndEditing(tag, "9");
        screen->stepperValueChanged(tag, 9);
        screen->textFieldDidBeginEditing(tag);
    }
    screen->didSelectRow(0, 3);
    screen->didSelectRow(INT_MAX, INT_MAX);
    screen->stepperChanged("stepperValueChanged", 9, {-1, 0});
    EXPECT_FALSE(screen->isSelected(0, 3));
    EXPECT_EQ(TaglieCell::sommaQuantita(radici()), 0);
    EXPECT_EQ(ui.pendingTimers(), 0);
}

TEST_F(Grid, QuantitiesAreLeftPendingForTheConfirmation) {
    db->commit();
    screen->updateQuantita(10001, "3");
    EXPECT_EQ(at(0, 0), 3);
    db->rollback();
    EXPECT_EQ(at(0, 0), 0) << "the screen never commits";
}

TEST_F(Grid, ScrollsToTheTappedRootAndToTheFieldBeingEdited) {
    for (int posizione : {0, 9}) {  // the size header, and a root the grid no longer has
        open(posizione);
        screen->viewDidAppear();
        ui.advance(300ms);
    }
    EXPECT_EQ(ui.lastScroll(), std::nullopt);
    open(2);
    screen->viewDidAppear();
    ui.advance(300ms);
    EXPECT_EQ(ui.lastScroll(), (ui::IndexPath{1, 0}));
    EXPECT_TRUE(log->contains("SceltaTaglie centerTableForSection 2 (SEZ=1 ROW=0)"));

    set(0, 1, 8);
    screen->textFieldDidBeginEditing(10002);
    EXPECT_TRUE(log->contains("SceltaTaglie textFieldDidBeginEditing: 8 TAG=10002"));
    EXPECT_EQ(screen->campoInModifica(), 10002);
    ui.advance(300ms);
    EXPECT_EQ(ui.lastScroll(), (ui::IndexPath{0, 1}));
    screen->shouldChangeCharacters(10002, "81");
    screen->textFieldShouldReturn(10002);
    EXPECT_TRUE(log->contains("SceltaTaglie textFieldShouldReturn: 81"));

    screen->viewDidAppear();
    screen.reset();  // popped before its timer fires
    ui.advance(300ms);
    EXPECT_EQ(ui.lastScroll(), (ui::IndexPath{0, 1})) << "a timer never reaches a screen that is gone";
}

TEST_F(Grid, AnArticleWithoutSizesHasEmptySectionsAndAMissingRootIsNamed) {
    articolo->setTagliaGruppo(std::nullopt);
    radici()[1].setCodice(std::nullopt);
    open();
    const auto sections = screen->sections();
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_TRUE(sections[0].rows.empty());
    EXPECT_EQ(sections[1].title, "Colore inesistente");
    EXPECT_TRUE(log->contains("SceltaTaglie numberOfRowInSection ZERO !!!!!! Nessuna Taglia collegata a questo ARTICOLO "));
}
