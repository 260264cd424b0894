#include <gtest/gtest.h>

#include <thread>

#include "support/FakeUi.h"

using namespace torvane;
using namespace std::chrono_literals;
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

    std::function<void()> onAppear;

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

TEST(FakeUiAlerts, AnswersInOrderAndHandlersMayShowFurtherAlerts) {
    FakeUi ui;
    std::vector<std::string> answers;
    ui::Alert first = ui::Alert::simple("Attenzione", "Primo", "OK");
    first.tag = 7;
    first.textFields.emplace_back();
    ui.showAlert(first, [&](const ui::AlertAnswer& answer) {
        answers.push_back("first " + std::to_string(answer.tag) + " " + answer.texts.at(0));
        ui.showAlert(ui::Alert::simple(std::nullopt, "Terzo", "Ok"), [&](const ui::AlertAnswer&) {
            answers.push_back("third");
        });
    });
    ui.showAlert(ui::Alert::simple("Errore", "Secondo", "Continua"));
    EXPECT_EQ(ui.pendingAlerts(), 2);

    EXPECT_TRUE(ui.answer(0, {"12,5"}));
    EXPECT_TRUE(ui.answer(0));  // the second has no handler
    EXPECT_TRUE(ui.answer(0));
    EXPECT_FALSE(ui.answer(0));
    EXPECT_EQ(answers, (std::vector<std::string>{"first 7 12,5", "third"}));
    EXPECT_TRUE(ui.sawAlert(std::nullopt, "Terzo"));
    EXPECT_FALSE(ui.sawAlert(std::string(), "Terzo")) << "no title is not an empty title";
    EXPECT_TRUE(ui.sawEvent("alert (senza titolo) | Terzo | [Ok]"));
}

TEST(FakeUiPrompts, QueuedAnswersThenEmptyTextsThenUnsupported) {
    FakeUi ui;
    ui::Alert prompt = ui::Alert::simple("Attenzione !!", "Prezzo?", "Memorizza prezzo e continua");
    prompt.textFields.push_back({});
    ui.queuePromptAnswer({0, {"3,40"}});
    EXPECT_EQ(ui.runModalPrompt(prompt)->texts.at(0), "3,40");
    EXPECT_EQ(ui.runModalPrompt(prompt)->texts.at(0), "");
    ui.canHoldPrompts = false;
    EXPECT_FALSE(ui.runModalPrompt(prompt).has_value());
    EXPECT_EQ(ui.prompts().size(), 3u);
}

TEST(FakeUiTime, TimersFireInDueOrderWithinTheAdvancedTime) {
    FakeUi ui;
    std::vector<int> fired;
    ui.startTimer(300ms, [&] { fired.push_back(300); });
    ui.startTimer(100ms, [&] {
        fired.push_back(100);
        ui.startTimer(100ms, [&] { fired.push_back(200); });  // due at 200 ms
    });
    auto cancelled = ui.startTimer(150ms, [&] { fired.push_back(150); });
    ui.cancelTimer(cancelled);
    ui.advance(250ms);
    EXPECT_EQ(fired, (std::vector<int>{100, 200}));
    ui.advance(50ms);
    EXPECT_EQ(fired, (std::vector<int>{100, 200, 300}));
    EXPECT_EQ(ui.pendingTimers(), 0);
}

TEST(FakeUiThreads, TasksPostedFromAnotherThreadRunOnDrain) {
    FakeUi ui;
    int value = 0;
    std::thread worker([&] { ui.postToMain([&] { value = 42; }); });
    EXPECT_TRUE(ui.waitForTask(5s));
    worker.join();
    EXPECT_EQ(value, 0) << "nothing runs before the main thread drains";
    EXPECT_EQ(ui.drainMain(), 1);
    EXPECT_EQ(value, 42);
}
