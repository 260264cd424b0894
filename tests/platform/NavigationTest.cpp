#include <gtest/gtest.h>

#include "support/FakeUi.h"

using namespace torvane;
using test::FakeUi;

namespace {

// A screen that writes its life cycle into a shared journal.
class JournalScreen : public ui::Screen {
public:
    JournalScreen(ui::Ui& ui, std::string name, std::vector<std::string>& journal)
        : Screen(ui), name_(std::move(name)), journal_(journal) {
        setTitle(name_);
    }
    void viewWillAppear() override { journal_.push_back(name_ + " appears"); }
    void viewWillDisappear() override { journal_.push_back(name_ + " disappears"); }

private:
    std::string name_;
    std::vector<std::string>& journal_;
};

struct Navigation : ::testing::Test {
    FakeUi ui;
    std::vector<std::string> journal;
    std::shared_ptr<JournalScreen> make(const std::string& name) {
        return std::make_shared<JournalScreen>(ui, name, journal);
    }
};

}  // namespace

TEST_F(Navigation, TabsPushPopAndModalCallTheLifeCycleInOrder) {
    auto scelta = make("SCELTA"), archivio = make("Archivio"), impostazioni = make("IMPOSTAZIONI");
    ui.showTabs({{"SCELTA", "coat-hanger", scelta}, {"Archivio", "database", archivio},
                 {"IMPOSTAZIONI", "gear", impostazioni}});
    EXPECT_EQ(journal, std::vector<std::string>{"SCELTA appears"});

    auto clienti = make("Clienti");
    ui.push(*scelta, clienti);
    EXPECT_EQ(ui.visible(), clienti.get());
    ui.selectTab(1);
    EXPECT_EQ(ui.visible(), archivio.get());
    ui.selectTab(0);
    EXPECT_EQ(ui.visible(), clienti.get()) << "each tab keeps its own stack";

    auto form = make("Nuovo  Cliente");
    ui.presentModal(*clienti, form);
    auto inner = make("Dettaglio");
    ui.push(*form, inner);  // a push from a modal screen goes onto the modal's stack
    EXPECT_EQ(ui.navigation().modals().at(0).size(), 2u);
    ui.dismissModal(*inner);
    EXPECT_TRUE(ui.navigation().modals().empty());
    ui.pop(*clienti);
    EXPECT_EQ(ui.visible(), scelta.get());

    EXPECT_EQ(journal, (std::vector<std::string>{
                           "SCELTA appears", "SCELTA disappears", "Clienti appears",
                           "Clienti disappears", "Archivio appears", "Archivio disappears",
                           "Clienti appears", "Clienti disappears", "Nuovo  Cliente appears",
                           "Nuovo  Cliente disappears", "Dettaglio appears", "Dettaglio disappears",
                           "Clienti appears", "Clienti disappears", "SCELTA appears"}));
    EXPECT_TRUE(ui.sawEvent("push Clienti"));
    EXPECT_TRUE(ui.sawEvent("modal Nuovo  Cliente"));
}

TEST_F(Navigation, PoppingARootOrAScreenNotOnTopChangesNothing) {
    auto root = make("root");
    ui.showTabs({{"SCELTA", "", root}});
    auto a = make("a"), b = make("b");
    ui.push(*root, a);
    ui.push(*a, b);
    journal.clear();
    ui.pop(*root);
    ui.pop(*a);
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(ui.visible(), b.get());
    ui.dismissModal(*b);  // not modal
    EXPECT_EQ(ui.visible(), b.get());
}
