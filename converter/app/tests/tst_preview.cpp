// The preview window: the converted toolpath drawn, the verifier's verdict in the status line,
// zoom with the wheel, pan by dragging, fit to window; opened by a double-click in the source list.

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolTip>
#include <QWheelEvent>
#include <QtTest>
#include <fstream>

#include "preview_window.h"

using namespace pathshift;
using namespace pathshift::app;

class TestPreview : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder;
    QString write(const QString& name, const char* text) {
        const QString path = folder.filePath(name);
        std::ofstream(path.toStdString(), std::ios::binary) << text;
        return path;
    }
    static ConversionOptions options() {
        ConversionOptions o;
        o.thickness = "0.75";
        o.tools.appendRow({"1005", "3"});
        return o;
    }

private slots:
    void drawsTheToolpathAndShowsTheVerdict() {
        const QString path = write("arc.nc", "N1G20\nN2T1005\nN3G0X0Y0\nN4G1Z0.5F100\nN5X2\nN6G2X3Y1I0J1\n");
        PreviewWindow window(path, options());
        QVERIFY(window.verified());
        QVERIFY2(window.status().contains("Verified: 3 moves checked, 0 differences"), qPrintable(window.status()));
        QCOMPARE(window.view()->summary().arcs(), std::size_t(1));
        QCOMPARE(window.view()->summary().maxX(), 3.0);
    }

    void aProgramThatDoesNotConvertSaysWhy() {
        const QString path = write("bad.nc", "N1T1005\nN2G0X0Y0\nN3T99999\nN4G1Z-0.25F100\n");
        PreviewWindow window(path, options());
        QVERIFY(!window.verified());
        QVERIFY2(window.status().contains("line 3"), qPrintable(window.status()));
        QCOMPARE(window.view()->summary().moves(), std::size_t(0));
    }

    void wheelZoomsAboutThePointerDragPansFitRestores() {
        const QString path = write("line.nc", "N1G21\nN2T1005\nN3G0X0Y0\nN4G1Z-1F100\nN5X100Y50\n");
        PreviewWindow window(path, options());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PlanView* view = window.view();
        const PlanTransform before = view->transform();
        const QPointF under = QPointF(before.map(100, 50).x, before.map(100, 50).y);
        QWheelEvent wheel(under, view->mapToGlobal(under), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
        const PlanTransform zoomed = view->transform();
        QVERIFY(zoomed.scale > before.scale * 1.5);
        // The point under the pointer stays put.
        QVERIFY(std::abs(zoomed.map(100, 50).x - under.x()) < 0.01);
        QVERIFY(std::abs(zoomed.map(100, 50).y - under.y()) < 0.01);

        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QTest::mouseMove(view, QPoint(130, 90));
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(130, 90));
        const PlanTransform panned = view->transform();
        QVERIFY(std::abs(panned.originX - zoomed.originX - 30) < 0.01);
        QVERIFY(std::abs(panned.originY - zoomed.originY + 10) < 0.01);

        window.findChild<QPushButton*>("BtnFit")->click();
        QCOMPARE(view->transform().scale, before.scale);
        QCOMPARE(view->transform().originX, before.originX);
    }

    // Pointing at a move names its source and target lines; once the source changes, only its number.
    void pointingAtAMoveShowsItsLines() {
        const QString path = write("hover.nc", "N1G21\nN2T1005\nN3G0X0Y0\nN4G1Z-1F100\nN5X100Y50\n");
        PreviewWindow window(path, options());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PlanView* view = window.view();
        const auto tip = [view](double x, double y) {
            const PagePoint p = view->transform().map(x, y);
            const QPoint at(qRound(p.x), qRound(p.y) + 2);
            QHelpEvent help(QEvent::ToolTip, at, view->mapToGlobal(at));
            QApplication::sendEvent(view, &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tip(50, 25), "source line 5: N5X100Y50\ntarget line 27: G1X-100Y-50");
        QTRY_COMPARE(tip(100, 0), QString());
        std::ofstream(path.toStdString(), std::ios::app) << "N6X0Y0\n";
        QCOMPARE(tip(50, 25), "source line 5: its text is no longer available (the file has changed)\n"
                              "target line 27: G1X-100Y-50");
    }

    // Past the number of moves drawn at once, a zoom shows the last drawing scaled until the view is
    // still; either way the path under the pointer stays under it.
    void aLongPathStaysUnderThePointerWhileZoomingAndAfter() {
        PlanView view;
        PlanView::Collector collector;
        const int moves = 250000;
        for (int i = 0; i < moves; ++i) {
            Move m;
            m.kind = MoveKind::Line;
            m.start = {i * 0.004, i * 0.004, -1};
            m.end = {(i + 1) * 0.004, (i + 1) * 0.004, -1};
            collector.move(m);
        }
        view.showMoves(std::move(collector));
        view.resize(600, 500);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto inked = [&view](QPointF at) {
            const QImage image = view.grab().toImage();
            for (int dx = -2; dx <= 2; ++dx)
                for (int dy = -2; dy <= 2; ++dy)
                    if (image.pixelColor(int(at.x()) + dx, int(at.y()) + dy) != Qt::white) return true;
            return false;
        };
        const PlanTransform fitted = view.transform();
        const QPointF on(fitted.map(300, 300).x, fitted.map(300, 300).y);
        const QPointF off(fitted.map(300, 700).x, fitted.map(300, 700).y);
        QVERIFY(inked(on));
        QVERIFY(!inked(off));
        QWheelEvent wheel(on, view.mapToGlobal(on), QPoint(), QPoint(0, 360), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &wheel);
        // 300,300 stays under the pointer; a point off the line near it on the page must stay blank.
        const PlanTransform zoomed = view.transform();
        const QPointF beside(zoomed.map(300, 330).x, zoomed.map(300, 330).y);
        QVERIFY(inked(on));
        QVERIFY(!inked(beside));
        QTest::qWait(400);
        QVERIFY(inked(on));
        QVERIFY(!inked(beside));
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
