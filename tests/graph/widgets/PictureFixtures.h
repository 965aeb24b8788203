#pragma once
// The graph pane and its pictures for a test: a wave to draw, a picture's options in a fixture's
// colours, and a pane of 1000 x 800 showing a recording, painted and settled.

#include <QApplication>
#include <QPalette>
#include <QScreen>
#include <QTest>
#include <cmath>
#include <memory>

#include "PaintFixture.h"
#include "graph/widgets/CVxView.h"
#include "graph/widgets/GraphPicture.h"

namespace shakemeter::testing {

inline SampleRow Wave(int i)
{
    return {3.0 * std::sin(i / 7.0), 1.0, -2.0, 4.0};
}

// A picture of the fixture's graph in its colours.
inline PictureOptions OptionsOf(const PaintFixture& g, QSize size)
{
    PictureOptions options;
    options.size = size;
    options.colors = g.params.colors;
    return options;
}

// A pane of 1000 x 800 showing a recording, painted and settled.
struct PaneFixture {
    Recording doc;
    std::unique_ptr<CVxView> view;

    explicit PaneFixture(int rows = 1000)
    {
        App();
        view = std::make_unique<CVxView>(doc);
        LoadRows(doc, view->MutableCompanions(), rows, Wave);
        view->Colors() = {13, 0, 3, 5, 1, 2};
        view->resize(1000, 800);
        view->show();
        view->update();
        (void)QTest::qWaitFor([&] { return !view->ViewTimer(2)->isActive() && !view->ViewTimer(4)->isActive(); }, 2000);
        Settle();
    }

    // Pending paints run.
    void Settle()
    {
        QTest::qWait(1);
        QApplication::processEvents();
    }
    // What the screen shows now (the backing store, with what is drawn over the composed picture).
    QImage Screen()
    {
        return view->screen()->grabWindow(view->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }

    PictureOptions Options() const
    {
        PictureOptions options;
        options.size = PaneGraphSize(view->size(), view->SummaryHeight());
        options.colors = view->Colors();
        options.panelColor = view->palette().color(QPalette::Button);
        return options;
    }
};

}  // namespace shakemeter::testing
