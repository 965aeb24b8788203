#pragma once
// An offscreen picture to draw the graph into, with a recording, its companions and a model.

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <functional>

#include "graph/GraphFixture.h"
#include "TestApplication.h"
#include "graph/widgets/GraphPainter.h"

namespace shakemeter::testing {

// One application for the pictures and the graph pane's widgets alike. It is never destroyed:
// tearing it down among the other static objects at exit crashes once widgets existed.
inline QApplication& App()
{
    return ProgramApplication<QApplication>("test_graph_widgets");
}

struct PaintFixture {
    Recording doc;
    RecordingView view;
    GraphModel model;
    QImage image;
    PaintParams params;

    explicit PaintFixture(int width = 1000, int height = 800) : image(width, height, QImage::Format_RGB32)
    {
        App();
        image.fill(Qt::magenta);
        model.Attach(&doc, &view);
        params.client = {0, 0, width, height};
        params.colors = {13, 0, 3, 5, 1, 2};  // black background, X red, Y grey, Z cyan, sum green, grid blue
    }

    void Load(int rows, const std::function<SampleRow(int)>& value, std::vector<std::int32_t> ticks = {})
    {
        LoadRows(doc, view, rows, value, std::move(ticks));
    }

    PaintOutcome Paint()
    {
        PaintOutcome outcome;
        {
            QPainter painter(&image);
            outcome = PaintGraphFrame(painter, model, params);
        }
        // GRAPH_TEST_PICTURES=dir keeps every painted picture for a look.
        if (const char* dir = std::getenv("GRAPH_TEST_PICTURES"))
            image.save(QString::fromUtf8(dir) + QStringLiteral("/paint-%1.png").arg(++Counter()));
        return outcome;
    }
    static int& Counter()
    {
        static int n = 0;
        return n;
    }

    QColor Pixel(int x, int y) const { return image.pixelColor(x, y); }

    // Pixels of one colour inside a rectangle (edges included).
    int Count(const QColor& color, int left, int top, int right, int bottom) const
    {
        int n = 0;
        for (int y = std::max(0, top); y <= std::min(bottom, image.height() - 1); ++y)
            for (int x = std::max(0, left); x <= std::min(right, image.width() - 1); ++x)
                n += image.pixelColor(x, y) == color ? 1 : 0;
        return n;
    }
    int CountNot(const QColor& color, int left, int top, int right, int bottom) const
    {
        const int all = (std::min(right, image.width() - 1) - std::max(0, left) + 1) *
                        (std::min(bottom, image.height() - 1) - std::max(0, top) + 1);
        return all - Count(color, left, top, right, bottom);
    }
};

inline const QColor kRed(255, 0, 0);
inline const QColor kGrey(200, 200, 200);
inline const QColor kCyan(0, 255, 255);
inline const QColor kGreen(0, 255, 0);
inline const QColor kBlack(0, 0, 0);

}  // namespace shakemeter::testing
