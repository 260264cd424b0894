#include <gtest/gtest.h>

#include "screens/ComboDelegate.h"
#include "screens/ComboViewController.h"
#include "platform/Log.h"
#include "platform/ui/EmptyScreen.h"
#include "support/FakeUi.h"

using namespace torvane;

namespace {

struct Chooser : ui::EmptyScreen, ComboDelegate {
    using EmptyScreen::EmptyScreen;
    void comboWithName(const std::string& name, int tag, const std::vector<std::string>& array,
                       int index) override {
        chosen.push_back(name + " " + std::to_string(tag) + " " + std::to_string(array.size()) + " " +
                         std::to_string(index));
    }
    std::vector<std::string> chosen;
};

struct Picker : ::testing::Test {
    test::FakeUi ui;
    std::shared_ptr<Chooser> caller = std::make_shared<Chooser>(ui, "SCELTA");
    std::shared_ptr<ComboViewController> combo;
    void open(std::vector<std::string> entries, std::vector<std::string> descriptions = {}) {
        ui.showTabs({{"SCELTA", "coat-hanger", caller}});
        combo = std::make_shared<ComboViewController>(ui, "Colori", 7, std::move(entries),
                                                      std::move(descriptions), caller.get());
        ui.push(*caller, combo);
    }
    std::vector<std::string> shown() const {
        std::vector<std::string> texts;
        const auto sections = combo->sections();
        for (const ui::Row& row : sections.at(0).rows)
            texts.push_back(std::get<ui::Label>(row.items.at(0)).text);
        return texts;
    }
};

}  // namespace

TEST_F(Picker, FilterIgnoresCaseAndReportsTheIndexInTheFullList) {
    open({"Nero", "Rosso", "ROSA", "Blu"}, {"N", "R1", "R2", "B"});
    auto log = Log::capture();
    log->clear();
    combo->searchTextChanged("ros");
    EXPECT_EQ(shown(), (std::vector<std::string>{"Rosso", "ROSA"}));
    EXPECT_EQ(log->lines(), (std::vector<std::string>{"searchBarTextDidChange: ros", "Trovate N.2 entry",
                                                      "    1 ---> Rosso", "    2 ---> ROSA"}));
    const auto sections = combo->sections();
    EXPECT_EQ(std::get<ui::Label>(sections[0].rows[1].items.at(1)).text, "R2") << "the description follows its entry";
    combo->didSelectRow(0, 1);
    EXPECT_EQ(caller->chosen, std::vector<std::string>{"Colori 7 4 2"}) << "filtered row 1 is entry 2";
    EXPECT_TRUE(log->contains("Combo didSelectRowAtIndexPath 2"));
    EXPECT_EQ(ui.visible(), caller.get()) << "the picker closes itself";
}

TEST_F(Picker, EmptySearchShowsNothingUntilCancel) {
    open({"Rosso", "Blu"});
    combo->searchTextChanged("r");
    combo->searchTextChanged("");
    EXPECT_TRUE(shown().empty());
    combo->searchCancelled();
    EXPECT_EQ(shown(), (std::vector<std::string>{"Rosso", "Blu"}));
    EXPECT_FALSE(combo->riferimento().has_value());
    EXPECT_EQ(combo->searchText(), "");
    EXPECT_TRUE(ui.sawEvent("endEditing"));
}

TEST_F(Picker, AccentedAndNonLatinTextsMatchAcrossCase) {
    open({"Caffè Latte", "ÉCRU", "Синий"});
    for (auto [typed, found] : {std::pair{"CAFFÈ", "Caffè Latte"}, {"écru", "ÉCRU"}, {"синий", "Синий"}}) {
        combo->searchTextChanged(typed);
        EXPECT_EQ(shown(), std::vector<std::string>{found}) << typed;
    }
}

TEST_F(Picker, BackWithoutChoosingCallsNothingAndStaleTapsAreIgnored) {
    open({"Rosso"});
    combo->didSelectRow(0, 5);  // a row that is not shown
    EXPECT_TRUE(caller->chosen.empty());
    ui.pop(*combo);
    EXPECT_TRUE(caller->chosen.empty());
    EXPECT_EQ(ui.visible(), caller.get());
}
