// The signing widget: the mouse draws strokes into the pad the screen holds.
#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include "MainWindow.h"
#include "QtUi.h"
#include "SignatureScreenWidget.h"
#include "devices/FirmaViewController.h"

using namespace torvane;

class SignatureScreenWidgetTest : public QObject {
    Q_OBJECT
private slots:
    void theMouseDrawsIntoThePad() {
        gui::QtUi ui;
        auto root = std::make_shared<ui::Screen>(ui);
        ui.showTabs({{"SCELTA", "", root}});
        ui.window().show();
        auto firma = std::make_shared<FirmaViewController>(ui, nullptr);
        ui.presentModal(*root, firma);
        QApplication::processEvents();
        auto* widget = dynamic_cast<gui::SignatureScreenWidget*>(ui.window().widgetFor(*firma));
        QVERIFY(widget);
        QWidget* area = widget->area();
        QCOMPARE(area->size(), QSize(280, 160));
        QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, QPoint(20, 40));
        for (int x = 30; x <= 200; x += 10) {
            QMouseEvent move(QEvent::MouseMove, QPointF(x, 40 + x / 4), area->mapToGlobal(QPointF(x, 40 + x / 4)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(area, &move);
        }
        QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, QPoint(200, 90));
        QCOMPARE(firma->pad().strokes().size(), size_t(1));
        QVERIFY(firma->pad().strokes()[0].size() > 10);
        if (const char* out = std::getenv("TORVANE_SCREENSHOT_DIR")) widget->window()->grab().save(QString(out) + "/firma.png");
    }
};

QTEST_MAIN(SignatureScreenWidgetTest)
#include "SignatureScreenWidgetTest.moc"
