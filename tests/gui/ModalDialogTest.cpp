// Escape and the close button on a modal run the cancel of the screen on top, through the
// navigation, so the screen that presented it hears the end and is usable at once.
#include <QApplication>
#include <QTest>

#include "MainWindow.h"
#include "ModalDialog.h"
#include "QtUi.h"
#include "platform/ui/Screen.h"

using namespace torvane;

namespace {

class Plain : public ui::Screen {
public:
    using Screen::Screen;
    std::vector<ui::Section> sections() const override { return {{"", "", {ui::Row::labels({"Riga"})}}}; }
};

// A modal form with "Annulla" at the left, as the forms and the mail composer have; it
// dismisses itself and says so.
class Form : public Plain {
public:
    Form(ui::Ui& ui, std::vector<std::string>& journal, bool cancellable) : Plain(ui), journal_(journal), cancellable_(cancellable) {}
    std::vector<ui::NavigationButton> navigationButtons() const override {
        if (!cancellable_) return {{"stato", "Invio in corso", ui::NavigationSide::Left}};
        return {{"annulla", "Annulla", ui::NavigationSide::Left}, {"conferma", "Conferma", ui::NavigationSide::Right}};
    }
    void navigationButtonTapped(const std::string& action) override {
        journal_.push_back(action);
        if (action == "annulla") ui().dismissModal(*this);
    }

private:
    std::vector<std::string>& journal_;
    bool cancellable_;
};

gui::ModalDialog* openModal() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<gui::ModalDialog*>(widget); dialog && dialog->isVisible()) return dialog;
    return nullptr;
}

}  // namespace

class ModalDialogTest : public QObject {
    Q_OBJECT
private slots:
    void escapeAndCloseRunTheScreensCancel() {
        gui::QtUi ui;
        auto root = std::make_shared<Plain>(ui);
        ui.showTabs({{"ARCHIVIO", "", root}});
        ui.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&ui.window()));
        std::vector<std::string> journal;
        for (const bool byEscape : {true, false}) {
            journal.clear();
            ui.presentModal(*root, std::make_shared<Form>(ui, journal, true));
            QApplication::processEvents();
            gui::ModalDialog* dialog = openModal();
            QVERIFY(dialog);
            if (byEscape) {
                QTest::keyClick(dialog, Qt::Key_Escape);
                QTest::keyClick(dialog, Qt::Key_Escape);  // a second press finds nothing to cancel
            } else {
                dialog->close();
            }
            QCOMPARE(journal, std::vector<std::string>{"annulla"});
            QApplication::processEvents();
            QVERIFY(!openModal());
            QVERIFY(ui.window().widgetFor(*root));
        }
    }

    void aPickerPushedInAModalGoesBackAndAModalWithoutCancelStays() {
        gui::QtUi ui;
        auto root = std::make_shared<Plain>(ui);
        ui.showTabs({{"SCELTA", "", root}});
        ui.window().show();
        std::vector<std::string> journal;
        auto form = std::make_shared<Form>(ui, journal, true);
        ui.presentModal(*root, form);
        auto picker = std::make_shared<Plain>(ui);
        ui.push(*form, picker);
        QApplication::processEvents();
        QTest::keyClick(openModal(), Qt::Key_Escape);
        QVERIFY(!ui.window().widgetFor(*picker));
        QVERIFY(journal.empty());  // only back to the form, which is still open
        QVERIFY(openModal());
        ui.dismissModal(*form);

        auto busy = std::make_shared<Form>(ui, journal, false);
        ui.presentModal(*root, busy);
        QApplication::processEvents();
        openModal()->close();
        QVERIFY(journal.empty());
        QVERIFY(openModal());
    }

    void escapeOnATabGoesBackOnlyFromAPushedScreen() {
        gui::QtUi ui;
        std::vector<std::string> journal;
        auto root = std::make_shared<Form>(ui, journal, true);
        ui.showTabs({{"SCELTA", "", root}});
        ui.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&ui.window()));
        auto picker = std::make_shared<Plain>(ui);
        ui.push(*root, picker);
        QApplication::processEvents();
        QTest::keyClick(&ui.window(), Qt::Key_Escape);
        QVERIFY(!ui.window().widgetFor(*picker));
        QTest::keyClick(&ui.window(), Qt::Key_Escape);
        QVERIFY(journal.empty());  // a tab's own "Annulla" is never pressed by Escape
    }
};

QTEST_MAIN(ModalDialogTest)
#include "ModalDialogTest.moc"
