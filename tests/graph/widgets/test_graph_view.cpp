// The graph pane as a widget: what it composes and when, the real-time update, the keys, the
// timers, the cursor line over the picture, and resizing a zoomed graph.

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>
#include <memory>

#include "PaintFixture.h"
#include "recording/RtWindowTable.h"
#include "graph/widgets/CVxView.h"
#include "controls/CPictureToolBar.h"

namespace shakemeter {
namespace {

using namespace shakemeter::testing;

// 1000 x 800 client: plot (130, 225) - (920, 690).
constexpr int L = 130, T = 225, R = 920, B = 690;

struct ViewFixture {
    Recording doc;
    std::unique_ptr<CVxView> view;

    explicit ViewFixture(int rows, int width = 1000, int height = 800)
    {
        App();
        Load(rows, [](int i) { return SampleRow{3.0 * std::sin(i / 7.0), 1.0, -2.0, 4.0}; });
        view = std::make_unique<CVxView>(doc);
        view->Colors() = {13, 0, 3, 5, 1, 2};
        view->resize(width, height);
        view->show();
        Settle();
    }

    void Load(int rows, const std::function<SampleRow(int)>& value)
    {
        doc.m_header.dwSampleCount = static_cast<std::uint32_t>(rows);
        doc.m_header.wInterval = 1 * 4 + RATE_UNIT_SECOND;
        doc.m_pSamples.resize(static_cast<std::size_t>(rows));
        for (int i = 0; i < rows; ++i)
            doc.m_pSamples[static_cast<std::size_t>(i)] = value(i);
    }
    void Show(int rows) { ShowInGraph(view->MutableCompanions(), doc, rows, 1.0, 10.0); }
    // Pending paints run.
    void Settle()
    {
        QTest::qWait(1);
        QApplication::processEvents();
    }
    // And the repaints a resize or the first graph paint have started are over. The pending paint
    // runs first: it is what starts them, and a slow machine may not have run it yet.
    void Quiet()
    {
        Settle();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !view->ViewTimer(2)->isActive() && !view->ViewTimer(4)->isActive(); }, 5000));
        Settle();
    }

    GraphState& S() { return view->Model().state(); }

    // A band from (x0, y0) to (x1, y1) dragged with the mouse.
    void Zoom(int x0, int y0, int x1, int y1)
    {
        QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(x0, y0));
        QTest::mouseMove(view.get(), QPoint((x0 + x1) / 2, (y0 + y1) / 2));
        QTest::mouseMove(view.get(), QPoint(x1, y1));
        QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(x1, y1));
        Settle();
    }

    // What the screen shows now (the backing store, with the overlays).
    QImage Screen()
    {
        return view->screen()->grabWindow(view->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }
};

struct GraphShown : ViewFixture {
    explicit GraphShown(int rows = 1000) : ViewFixture(rows)
    {
        Show(rows);
        view->update();
        Quiet();
    }
};

// ---- Keys

TEST(GraphViewKeys, ScrollExactlyAsTheBarsDo)
{
    GraphShown byKey, byBar;
    EXPECT_EQ(byKey.view->focusPolicy(), Qt::StrongFocus);
    // The whole recording is shown: the bars are off and so are the keys.
    QTest::keyClick(byKey.view.get(), Qt::Key_PageDown);
    EXPECT_EQ(byKey.S().m_nHShift, 0);

    for (GraphShown* g : {&byKey, &byBar})
        g->Zoom(300, 300, 500, 500);
    ASSERT_FALSE(byKey.S().g_bFullView);
    ASSERT_TRUE(byKey.view->HorizontalBar()->isEnabled());

    const std::pair<Qt::Key, QAbstractSlider::SliderAction> horizontal[] = {
        {Qt::Key_PageDown, QAbstractSlider::SliderPageStepAdd}, {Qt::Key_Right, QAbstractSlider::SliderSingleStepAdd},
        {Qt::Key_Left, QAbstractSlider::SliderSingleStepSub},   {Qt::Key_PageUp, QAbstractSlider::SliderPageStepSub},
        {Qt::Key_End, QAbstractSlider::SliderToMaximum},        {Qt::Key_Home, QAbstractSlider::SliderToMinimum},
    };
    for (const auto& [key, action] : horizontal) {
        QTest::keyClick(byKey.view.get(), key);
        byBar.view->HorizontalBar()->triggerAction(action);
        EXPECT_EQ(byKey.S().m_nHShift, byBar.S().m_nHShift) << key;
        EXPECT_EQ(byKey.S().m_siHorz, byBar.S().m_siHorz) << key;
        EXPECT_EQ(byKey.view->HorizontalBar()->value(), byBar.view->HorizontalBar()->value()) << key;
    }
    // Home is the first sample (position 0), End the last page.
    EXPECT_EQ(byKey.S().m_siHorz.position, 0);
    QTest::keyClick(byKey.view.get(), Qt::Key_End);
    EXPECT_EQ(byKey.S().m_siHorz.position, byKey.view->Model().HorizontalLastPosition());

    const std::pair<Qt::Key, QAbstractSlider::SliderAction> vertical[] = {
        {Qt::Key_Up, QAbstractSlider::SliderSingleStepSub}, {Qt::Key_Down, QAbstractSlider::SliderSingleStepAdd}};
    for (const auto& [key, action] : vertical) {
        QTest::keyClick(byKey.view.get(), key);
        byBar.view->VerticalBar()->triggerAction(action);
        EXPECT_EQ(byKey.S().m_nVShift, byBar.S().m_nVShift) << key;
    }
    QTest::keyClick(byKey.view.get(), Qt::Key_Up);
    EXPECT_EQ(byKey.S().m_nVShift[1], 1);  // up shows higher values
}

TEST(GraphViewKeys, BackspaceAndUndoReturnToTheWholeRecording)
{
    GraphShown g;
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::CTRL | Qt::Key_Z)}) {
        g.Zoom(300, 300, 500, 500);
        ASSERT_FALSE(g.S().g_bFullView);
        QTest::keySequence(g.view.get(), keys);
        EXPECT_TRUE(g.S().g_bFullView) << keys.toString().toStdString();
        EXPECT_FALSE(g.view->HorizontalBar()->isEnabled());
        g.Settle();  // the mouse reads out again after the next paint
    }
}

TEST(GraphViewKeys, TheWholeRecordingLeavesNoThumbWhereTheZoomHadIt)
{
    GraphShown g;
    g.Zoom(300, 300, 500, 500);
    QTest::keyClick(g.view.get(), Qt::Key_PageDown);
    QTest::keyClick(g.view.get(), Qt::Key_Up);
    ASSERT_GT(g.view->HorizontalBar()->value(), 0);
    ASSERT_LT(g.view->VerticalBar()->minimum(), g.view->VerticalBar()->maximum());

    QTest::keyClick(g.view.get(), Qt::Key_Backspace);
    g.Settle();
    for (const QScrollBar* bar : {g.view->HorizontalBar(), g.view->VerticalBar()}) {
        EXPECT_FALSE(bar->isEnabled());
        EXPECT_EQ(bar->minimum(), bar->maximum()) << "a disabled bar still shows a thumb position";
    }

    // The next zoom gives the bars their range and position again.
    g.Zoom(300, 300, 500, 500);
    EXPECT_TRUE(g.view->HorizontalBar()->isEnabled());
    EXPECT_LT(g.view->HorizontalBar()->minimum(), g.view->HorizontalBar()->maximum());
    EXPECT_EQ(g.view->HorizontalBar()->value(), g.S().m_siHorz.position);
}

// ---- The kept picture of the whole recording

// What a composition of the view's present state draws, the kept picture aside: composed again
// after Undo Zoom took the kept one back, when nothing is kept any more.
QImage ComposedAfresh(ViewFixture& g)
{
    g.view->InvalidatePlot();
    g.Settle();
    return g.view->ComposedImage().copy();
}

TEST(GraphViewKeptPicture, UndoZoomTakesBackTheWholePictureWithTheReadoutOfNow)
{
    GraphShown g;
    const QImage wholeBefore = g.view->ComposedImage().copy();
    g.Zoom(300, 300, 500, 500);
    // Scrolling the zoomed graph keeps the whole picture, and the mouse changes the read-out.
    QTest::keyClick(g.view.get(), Qt::Key_PageDown);
    g.Settle();
    QTest::mouseMove(g.view.get(), QPoint(600, 400));
    g.Settle();
    ASSERT_FALSE(g.S().g_strReadoutHead.empty());

    const int compositions = g.view->CompositionCount();
    QTest::keyClick(g.view.get(), Qt::Key_Backspace);
    g.Settle();
    EXPECT_EQ(g.view->KeptPictureUses(), 1);
    EXPECT_EQ(g.view->CompositionCount(), compositions + 1);
    const QImage taken = g.view->ComposedImage().copy();
    EXPECT_NE(taken, wholeBefore) << "the read-out line of the zoomed graph is missing";
    EXPECT_EQ(taken, ComposedAfresh(g));
    EXPECT_EQ(g.view->KeptPictureUses(), 1);
}

TEST(GraphViewKeptPicture, ColoursOrSizeChangedWhileZoomedDrawTheWholeRecordingAnew)
{
    GraphShown g;
    g.Zoom(300, 300, 500, 500);
    g.view->Colors().y = 4;
    QTest::keyClick(g.view.get(), Qt::Key_Backspace);
    g.Settle();
    EXPECT_EQ(g.view->KeptPictureUses(), 0);
    const QImage drawn = g.view->ComposedImage().copy();
    EXPECT_EQ(drawn, ComposedAfresh(g));

    g.Zoom(300, 300, 500, 500);
    g.view->resize(1000, 790);
    g.Quiet();
    QTest::keyClick(g.view.get(), Qt::Key_Backspace);
    g.Settle();
    EXPECT_EQ(g.view->KeptPictureUses(), 0);
    EXPECT_EQ(g.view->ComposedImage().size(), QSize(1000, 790));

    // Unchanged, the next Undo Zoom takes it back.
    g.Zoom(300, 300, 500, 500);
    QTest::keyClick(g.view.get(), Qt::Key_Backspace);
    g.Settle();
    EXPECT_EQ(g.view->KeptPictureUses(), 1);
}

// ---- Real-time reading

struct RealTimeShown : ViewFixture {
    RealTimeShown() : ViewFixture(300)
    {
        doc.m_bRealTime = 1;
        Show(1);
        view->MutableCompanions().m_nRtWindow = BuildRtWindowTable(R - L, 300);
        view->SetFrameReading(true);
        view->update();
        Quiet();
        Arrive(1);
        Arrive(2);
        Settle();
    }
    void Arrive(int n)
    {
        view->MutableCompanions().m_nShownCount = n;
        view->MutableCompanions().m_nRangeLast = n;
        view->UpdateRealTimePlot();
    }
};

TEST(GraphViewRealTime, NewestSampleIsDrawnIntoThePictureWithoutComposing)
{
    RealTimeShown g;
    const int composed = g.view->CompositionCount();
    for (int n = 3; n <= 40; ++n) {
        g.Arrive(n);
        g.Settle();
    }
    EXPECT_EQ(g.view->CompositionCount(), composed);
    EXPECT_EQ(g.view->SegmentDrawCount(), 38);
    const QImage incremental = g.view->ComposedImage().copy(L - 5, T, R - L + 10, B - T + 1);
    EXPECT_EQ(g.Screen().copy(L - 5, T, R - L + 10, B - T + 1), incremental);  // and it is on the screen

    // The same rows composed from scratch give the same plot.
    g.view->InvalidatePlot();
    g.Settle();
    EXPECT_EQ(g.view->CompositionCount(), composed + 1);
    EXPECT_EQ(g.view->ComposedImage().copy(L - 5, T, R - L + 10, B - T + 1), incremental);
}

TEST(GraphViewRealTime, GrownAxisOrSegmentLeavingThePlotComposesAgain)
{
    RealTimeShown g;
    for (int n = 3; n <= 100; ++n)
        g.Arrive(n);
    g.Settle();
    int composed = g.view->CompositionCount();
    g.Arrive(101);  // the window of 100 samples is full and grows
    g.Settle();
    EXPECT_EQ(g.view->CompositionCount(), composed + 1);

    composed = g.view->CompositionCount();
    g.doc.m_pSamples[101][0] = 15.0;  // above the top line
    g.Arrive(102);
    g.Settle();
    EXPECT_EQ(g.view->CompositionCount(), composed + 1);
}

// ---- Timers, cursor line and band

TEST(GraphViewTimers, IdsPeriodsAndWhatTheyDo)
{
    ViewFixture g(1000);
    g.Quiet();
    for (int id = 1; id <= 4; ++id)
        EXPECT_FALSE(g.view->ViewTimer(id)->isActive()) << id;
    EXPECT_EQ(g.view->ViewTimer(5), nullptr);

    // 4: the first graph paint returns to the whole recording 100 ms later.
    g.Show(1000);
    g.view->update();
    g.Settle();
    EXPECT_EQ(g.view->ViewTimer(4)->interval(), 100);
    EXPECT_TRUE(g.view->ViewTimer(4)->isActive());
    g.S().g_bFullView = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return g.S().g_bFullView; }, 2000));
    EXPECT_FALSE(g.view->ViewTimer(4)->isActive());
    g.Settle();

    // 2: a resize repaints the plot 50 ms later, once.
    g.view->resize(1100, 800);
    EXPECT_EQ(g.view->ViewTimer(2)->interval(), 50);
    EXPECT_TRUE(g.view->ViewTimer(2)->isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !g.view->ViewTimer(2)->isActive(); }, 2000));
    g.view->resize(1000, 800);
    g.Quiet();  // the resize's repaint, 50 ms later, is over before the pointer moves

    // 1: a move in the plot shows the cursor line; it goes once the pointer has left the plot.
    // The timer looks at the pointer itself, so it is put where the move says, however slow the run.
    QCursor::setPos(g.view->mapToGlobal(QPoint(400, 400)));
    QTest::mouseMove(g.view.get(), QPoint(400, 400));
    g.Settle();
    EXPECT_EQ(g.view->ViewTimer(1)->interval(), 100);
    EXPECT_TRUE(g.view->ViewTimer(1)->isActive());
    EXPECT_FALSE(g.S().g_bCursorHidden);
    QCursor::setPos(g.view->mapToGlobal(QPoint(400, B + 30)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !g.view->ViewTimer(1)->isActive(); }, 2000));
    EXPECT_TRUE(g.S().g_bCursorHidden);

    // 3: a live band whose pointer leaves the zone around the plot is cancelled.
    QCursor::setPos(g.view->mapToGlobal(QPoint(400, 400)));
    QTest::mousePress(g.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    QTest::mouseMove(g.view.get(), QPoint(400, 400));
    EXPECT_EQ(g.view->ViewTimer(3)->interval(), 10);
    EXPECT_TRUE(g.view->ViewTimer(3)->isActive());
    QCursor::setPos(g.view->mapToGlobal(QPoint(400, 5)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !g.view->ViewTimer(3)->isActive(); }, 2000));
    EXPECT_FALSE(g.S().g_bBandActive);
    QTest::mouseRelease(g.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(400, 400));
    EXPECT_TRUE(g.S().g_bFullView);  // the cancelled band made no zoom
}

// A pointer that rests in the plot (timer 1 has run out) and then jumps onto the toolbar or a bar,
// or out of the pane, makes no more moves over the plot: the line must not stay behind.
TEST(GraphViewOverlay, CursorLineGoesWhenThePointerReachesAChildOrLeavesThePane)
{
    GraphShown g;
    int x = 400;
    const auto restInThePlot = [&] {
        // A move to where the pointer already is would not be delivered: each rest is elsewhere.
        x += 10;
        QCursor::setPos(g.view->mapToGlobal(QPoint(x, 400)));
        QTest::mouseMove(g.view.get(), QPoint(x, 400));
        g.Settle();
        EXPECT_FALSE(g.S().g_bCursorHidden);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !g.view->ViewTimer(1)->isActive(); }, 2000));
        EXPECT_FALSE(g.S().g_bCursorHidden);
    };
    const QList<QWidget*> children = g.view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_FALSE(children.isEmpty());
    for (QWidget* child : children) {
        restInThePlot();
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(child, &enter);
        EXPECT_TRUE(g.S().g_bCursorHidden) << child->metaObject()->className();
    }
    restInThePlot();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(g.view.get(), &leave);
    EXPECT_TRUE(g.S().g_bCursorHidden);
}

TEST(GraphViewOverlay, CursorLineAndBandShowInTheComplementOverTheCopy)
{
    GraphShown g;
    const int composed = g.view->CompositionCount();
    QTest::mouseMove(g.view.get(), QPoint(401, 400));
    g.Settle();
    QImage screen = g.Screen();
    // Over the black background the dotted line is white, every other pixel.
    EXPECT_EQ(screen.pixelColor(401, T + 10), QColor(Qt::white));
    EXPECT_EQ(screen.pixelColor(401, T + 11), QColor(Qt::black));
    EXPECT_FALSE(g.view->ReadoutText().isEmpty());
    EXPECT_EQ(g.view->CompositionCount(), composed);  // moving the mouse composes nothing

    // Moving on takes the old line away.
    QTest::mouseMove(g.view.get(), QPoint(451, 400));
    g.Settle();
    screen = g.Screen();
    EXPECT_EQ(screen.pixelColor(401, T + 10), QColor(Qt::black));
    EXPECT_EQ(screen.pixelColor(451, T + 10), QColor(Qt::white));

    // The band: a dotted outline from the anchor to the pointer.
    QTest::mousePress(g.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    QTest::mouseMove(g.view.get(), QPoint(360, 350));
    g.Settle();
    screen = g.Screen();
    EXPECT_EQ(screen.pixelColor(300, 320), QColor(Qt::white));
    EXPECT_EQ(screen.pixelColor(360, 320), QColor(Qt::white));
    EXPECT_EQ(screen.pixelColor(330, 300), QColor(Qt::white));
    EXPECT_EQ(g.view->CompositionCount(), composed);
    QTest::mouseRelease(g.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(360, 350));
    g.Settle();
    EXPECT_FALSE(g.S().g_bFullView);
    EXPECT_GT(g.view->CompositionCount(), composed);
}

// ---- Scrolling to the end

// The picture of the last page: the last sample stands at the right edge of the plot, so the
// traces reach it; no page beyond shows an empty plot.
void ExpectLastSamplesAtTheRightEdge(ViewFixture& g, const char* how)
{
    g.view->repaint();
    GraphModel& model = g.view->Model();
    EXPECT_EQ(g.S().m_siHorz.position, model.HorizontalLastPosition()) << how;
    EXPECT_EQ(g.view->HorizontalBar()->value(), model.HorizontalLastPosition()) << how;
    EXPECT_EQ(model.PickIndex(R), g.view->Companions().m_nShownCount - 1) << how;
    // Traces (not only background and grid) in the last ten pixel columns of the plot.
    const QImage& picture = g.view->ComposedImage();
    int traced = 0;
    for (int x = R - 10; x <= R; ++x)
        for (int y = T + 1; y < B; ++y) {
            const QColor c = picture.pixelColor(x, y);
            traced += c == QColor(255, 0, 0) || c == QColor(200, 200, 200) || c == QColor(0, 255, 0) ? 1 : 0;
        }
    EXPECT_GT(traced, 0) << how;
    if (const char* dir = std::getenv("GRAPH_TEST_PICTURES"))
        picture.save(QString::fromUtf8(dir) +
                     QStringLiteral("/last-page-%1.png").arg(QString::fromLatin1(how).left(4)));
}

TEST(GraphViewScroll, EndPageDownAndTheThumbFullyRightShowTheLastSamples)
{
    GraphShown g;
    g.Zoom(300, 300, 500, 500);
    QScrollBar* bar = g.view->HorizontalBar();
    ASSERT_TRUE(bar->isEnabled());
    // The thumb's travel ends at the last page.
    EXPECT_EQ(bar->maximum(), g.view->Model().HorizontalLastPosition());

    QTest::keyClick(g.view.get(), Qt::Key_End);
    ExpectLastSamplesAtTheRightEdge(g, "End");

    QTest::keyClick(g.view.get(), Qt::Key_Home);
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(g.view.get(), Qt::Key_PageDown);
    ExpectLastSamplesAtTheRightEdge(g, "Page Down past the end");

    QTest::keyClick(g.view.get(), Qt::Key_Home);
    bar->setSliderDown(true);
    bar->setSliderPosition(bar->maximum());
    bar->setSliderDown(false);
    ExpectLastSamplesAtTheRightEdge(g, "thumb dragged fully right");
}

TEST(GraphViewScroll, TheWheelOverTheBarOfALongRecordingStepsWhereverThePointerIs)
{
    GraphShown g(40000);
    g.Zoom(300, 300, 500, 500);
    QScrollBar* bar = g.view->HorizontalBar();
    ASSERT_TRUE(bar->isEnabled());
    ASSERT_GT(g.view->Model().HorizontalTotal(), 32767);
    const int start = g.S().m_siHorz.position;
    // The pointer near the bar's right end, where a dragged thumb would mean the end.
    const QPoint over(R - 10, bar->geometry().center().y());
    QCursor::setPos(g.view->mapToGlobal(over));
    const QPoint local = bar->mapFrom(g.view.get(), over);
    const auto turn = [&](int delta) {
        QWheelEvent wheel(local, bar->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &wheel);
        g.Settle();
    };
    turn(-120);
    const int stepped = g.S().m_siHorz.position - start;
    EXPECT_GT(stepped, 0);
    EXPECT_LE(stepped, 10) << "the wheel jumped towards the pointer";
    EXPECT_EQ(bar->value(), g.S().m_siHorz.position);
    EXPECT_EQ(g.S().m_nHShift, g.S().m_nLeftIndex - g.S().m_siHorz.position + 1);
    turn(120);
    EXPECT_EQ(g.S().m_siHorz.position, start);
}

// Runs the bar's context menu at a point of the bar and chooses its first entry, "Scroll here".
QString ScrollHere(QScrollBar* bar, const QPoint& at)
{
    QString chosen;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr)
            return;
        chosen = menu->actions().first()->text();
        menu->setActiveAction(menu->actions().first());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, bar->mapToGlobal(at));
    QApplication::sendEvent(bar, &event);
    return chosen;
}

TEST(GraphViewScroll, ScrollHereFromTheBarsMenuMovesTheGraph)
{
    GraphShown g;
    g.Zoom(300, 300, 500, 500);
    QScrollBar* bar = g.view->HorizontalBar();
    const int before = g.S().m_siHorz.position;
    int composed = g.view->CompositionCount();
    ASSERT_EQ(ScrollHere(bar, QPoint(bar->width() * 3 / 4, bar->height() / 2)), QStringLiteral("Scroll here"));
    g.Settle();
    EXPECT_GT(bar->value(), before);
    EXPECT_EQ(g.S().m_siHorz.position, bar->value());
    EXPECT_EQ(g.S().m_nHShift, g.S().m_nLeftIndex - bar->value() + 1);
    EXPECT_GT(g.view->CompositionCount(), composed) << "the picture did not move";

    // The vertical bar's menu moves the value axis the same way.
    QScrollBar* vertical = g.view->VerticalBar();
    const auto ticks = g.S().g_dYTick[1];
    composed = g.view->CompositionCount();
    ASSERT_EQ(ScrollHere(vertical, QPoint(vertical->width() / 2, vertical->height() - 20)),
              QStringLiteral("Scroll here"));
    g.Settle();
    EXPECT_EQ(g.S().m_siVert.position, vertical->value());
    EXPECT_GT(g.view->CompositionCount(), composed) << "the picture did not move";
    EXPECT_NE(g.S().g_dYTick[1], ticks);
}

// ---- The graph toolbar and the double-click

TEST(GraphViewToolBar, ButtonsAreRaisedAndShowTheirNormalPictureUnderTheMouse)
{
    GraphShown g;
    CPictureToolBar* bar = g.view->GraphBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->IsFlat());
    int buttons = 0;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator())
            continue;
        ++buttons;
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(button->autoRaise()) << action->text().toStdString();
        // The picture with the pointer over the button is the one without it (where the picture
        // is transparent the button's own face may light up).
        QRect icon(QPoint(0, 0), bar->iconSize());
        icon.moveCenter(button->rect().center());
        const QImage away = button->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(icon);
        button->setAttribute(Qt::WA_UnderMouse, true);
        const QImage over = button->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(icon);
        button->setAttribute(Qt::WA_UnderMouse, false);
        const QImage picture = bar->Images(CPictureToolBar::Normal)[static_cast<std::size_t>(buttons - 1)].toImage();
        int opaque = 0;
        int changed = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (qAlpha(picture.pixel(x, y)) == 255) {
                    ++opaque;
                    changed += over.pixel(x, y) != away.pixel(x, y) ? 1 : 0;
                }
        EXPECT_GT(opaque, 1000);
        EXPECT_EQ(changed, 0) << action->text().toStdString();
        if (buttons == 1 && std::getenv("GRAPH_TEST_PICTURES") != nullptr)
            bar->grab().save(QString::fromUtf8(std::getenv("GRAPH_TEST_PICTURES")) + QStringLiteral("/graph-bar.png"));
    }
    EXPECT_EQ(buttons, 6);
}

// The bars stand under and left of the plot, the toolbar above it: a 1000 x 800 pane below the
// 155-pixel summary has its plot at (130, 225)-(920, 690).
TEST(GraphViewLayout, BarsAndToolBarStandAroundThePlot)
{
    GraphShown g;
    ASSERT_EQ(g.S().m_rcPlot, (PlotRect{130, 225, 920, 690}));
    EXPECT_EQ(g.view->HorizontalBar()->geometry(), QRect(130, 725, 790, 20));
    EXPECT_EQ(g.view->VerticalBar()->geometry(), QRect(20, 220, 20, 475));
    const QWidget* bar = g.view->findChild<QWidget*>(QStringLiteral("m_wndGraphBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->geometry(), QRect(20, 180, 960, 40));
}

TEST(GraphViewLayout, OnlyALeftDoubleClickAsksForTheEnlargedGraph)
{
    GraphShown g;
    QSignalSpy toggles(g.view.get(), &CVxView::layoutToggleRequested);
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseDClick(g.view.get(), button, Qt::NoModifier, QPoint(400, 400));
        g.Settle();
    }
    EXPECT_EQ(toggles.count(), 0);
    QTest::mouseDClick(g.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(400, 400));
    g.Settle();
    EXPECT_EQ(toggles.count(), 1);
}

// ---- Resizing

TEST(GraphViewResize, ZoomedRangeSurvivesResizesAndADegeneratePane)
{
    GraphShown g;
    g.Zoom(300, 300, 500, 500);
    const int leftRow = g.view->Model().PickIndex(L);
    const int rightRow = g.view->Model().PickIndex(R);
    const auto ticks = g.S().g_dYTick[1];
    ASSERT_GT(rightRow, leftRow);

    for (const QSize size : {QSize(150, 800), QSize(1000, 100), QSize(1300, 900), QSize(1000, 800)}) {
        g.view->resize(size);
        g.Settle();
        g.view->repaint();
        EXPECT_FALSE(g.S().g_bFullView);
        EXPECT_EQ(g.S().g_dYTick[1], ticks);
    }
    EXPECT_EQ(g.view->Model().PickIndex(L), leftRow);
    EXPECT_EQ(g.view->Model().PickIndex(R), rightRow);
}

}  // namespace
}  // namespace shakemeter
