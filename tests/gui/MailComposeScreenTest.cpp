// The compose screen in the window: a dialog over the screen that opened it, with its fields
// filled in and the three buttons, which reach the delegate.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "MainWindow.h"
#include "QtUi.h"
#include "TableScreenWidget.h"
#include "mail/MailComposeViewController.h"

using namespace torvane;

namespace {

class Opener : public ui::Screen {
public:
    using Screen::Screen;
    std::vector<ui::Section> sections() const override { return {{"", "", {ui::Row::labels({"Ordine"})}}}; }
};

struct Finished : MailComposeDelegate {
    std::vector<MailComposeResult> results;
    void mailComposeControllerDidFinish(MailComposeViewController&, MailComposeResult result, const std::string&) override {
        results.push_back(result);
    }
};

}  // namespace

class MailComposeScreenTest : public QObject {
    Q_OBJECT
private slots:
    void showsADialogWithTheFieldsAndButtons() {
        gui::QtUi ui;
        auto root = std::make_shared<Opener>(ui);
        ui.showTabs({{"ARCHIVIO", "", root}});
        ui.window().resize(700, 800);
        ui.window().show();
        MailDraft draft;
        draft.to = {"acquisti@rossi.example"};
        draft.subject = "Tessuti & Figli <Società> del 08-12-2026";
        draft.textBody = "Consegna a marzo";
        draft.attachments = {{"Ordine.pdf", "application/pdf", std::string(3000, 'x')}};
        Finished finished;
        auto composer = std::make_shared<MailComposeViewController>(ui, draft, &finished);
        ui.presentModal(*root, composer);
        QApplication::processEvents();

        auto* widget = qobject_cast<gui::TableScreenWidget*>(ui.window().widgetFor(*composer));
        QVERIFY(widget);
        auto* dialog = qobject_cast<QDialog*>(widget->window());
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        auto* to = widget->findChild<QLineEdit*>(QString("field:%1").arg(MailComposeViewController::kToTag));
        QVERIFY(to);
        QCOMPARE(to->text(), QString("acquisti@rossi.example"));
        auto* subject = widget->findChild<QLineEdit*>(QString("field:%1").arg(MailComposeViewController::kSubjectTag));
        QVERIFY(subject);
        QCOMPARE(subject->text(), QString::fromUtf8("Tessuti & Figli <Società> del 08-12-2026"));
        for (const char* action : {"invia", "salva", "annulla"})
            QVERIFY2(widget->findChild<QPushButton*>(QString("nav:") + action), action);
        auto* annulla = widget->findChild<QPushButton*>("nav:annulla");
        QCOMPARE(annulla->text(), QString("Annulla"));
        if (const char* out = std::getenv("TORVANE_SCREENSHOT_DIR")) dialog->grab().save(QString(out) + "/messaggio.png");

        annulla->click();
        QApplication::processEvents();
        QCOMPARE(finished.results.size(), std::size_t(1));
        QVERIFY(finished.results[0] == MailComposeResult::Cancelled);
    }
};

QTEST_MAIN(MailComposeScreenTest)
#include "MailComposeScreenTest.moc"
