// Collected trace drawing against the same strokes drawn one by one: the pictures must be equal
// to the pixel, whatever the strokes' overlaps, shapes, clip edges and the picture's sharing.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "PaintFixture.h"
#include "graph/widgets/TraceBatcher.h"

namespace shakemeter {
namespace {

const QRgb kColors[4] = {qRgb(255, 0, 0), qRgb(200, 200, 200), qRgb(0, 255, 255), qRgb(0, 255, 0)};

// Strokes like a dense trace drawing: mostly short steep lines and vertical runs crowded into
// a few columns, with tick bars, dots, some long and shallow lines, and lines across the clip.
std::vector<TraceStroke> CrowdedStrokes(unsigned seed, int count)
{
    std::mt19937 random(seed);
    const auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::vector<TraceStroke> strokes;
    for (int i = 0; i < count; ++i) {
        TraceStroke s;
        s.color = kColors[uniform(0, 3)];
        const int x = uniform(0, 119);
        const int y = uniform(0, 99);
        const int kind = uniform(0, 9);
        s.hasLine = kind != 9;
        if (kind <= 5)
            s.line = QLine(x, y, x + uniform(-2, 2), y + uniform(-40, 40));  // steep or vertical
        else if (kind == 6)
            s.line = QLine(x, y, x + uniform(-60, 60), y + uniform(-8, 8));  // shallow
        else if (kind == 7)
            s.line = QLine(x, y, uniform(-30, 150), uniform(-30, 130));  // anywhere, across edges
        else if (kind == 8)
            s.line = QLine(x, y, x, y);
        if (uniform(0, 3) == 0) {
            for (const QPoint& end : {s.line.p1(), s.line.p2()}) {
                for (const QPoint& d :
                     {QPoint(0, 1), QPoint(0, -1), QPoint(-1, 1), QPoint(-1, -1), QPoint(1, 1), QPoint(1, -1)})
                    s.points[static_cast<std::size_t>(s.pointCount++)] = end + d;
            }
        }
        if (kind == 9 || uniform(0, 5) == 0) {
            s.dotCount = 2;
            s.dots[0] = QRect(x - 2, y - 2, 3, 3);
            s.dots[1] = QRect(s.line.x2() - 2, s.line.y2() - 2, 3, 3);
        }
        strokes.push_back(s);
    }
    return strokes;
}

QImage OneByOne(const std::vector<TraceStroke>& strokes, const QRect& clip, QImage::Format format,
                QSize size = {120, 100})
{
    QImage image(size, format);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setClipRect(clip);
    for (const TraceStroke& stroke : strokes)
        DrawStroke(painter, stroke);
    return image;
}

QImage Collected(const std::vector<TraceStroke>& strokes, const QRect& clip, QImage::Format format, bool shared,
                 QSize size = {120, 100})
{
    QImage image(size, format);
    image.fill(Qt::black);
    // A second owner of the pixels keeps the batcher from writing them itself.
    const QImage other = shared ? image : QImage();
    {
        QPainter painter(&image);
        painter.setClipRect(clip);
        TraceBatcher batcher(painter, clip);
        for (const TraceStroke& stroke : strokes)
            batcher.Add(stroke);
    }
    return image;
}

int DifferentPixels(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return n;
}

// Collected and one by one in each clip of an RGB picture of the given size.
void ExpectSameAsOneByOne(const std::vector<TraceStroke>& strokes, QSize size, std::initializer_list<QRect> clips)
{
    for (const QRect& clip : clips) {
        const QImage expected = OneByOne(strokes, clip, QImage::Format_RGB32, size);
        EXPECT_EQ(DifferentPixels(Collected(strokes, clip, QImage::Format_RGB32, false, size), expected), 0)
            << "clip " << clip.x() << "," << clip.y();
    }
}

TraceStroke LineStroke(QRgb color, QLine line)
{
    TraceStroke s;
    s.color = color;
    s.hasLine = true;
    s.line = line;
    return s;
}

TEST(TraceBatcher, CrowdedStrokesLeaveTheSamePictureAsOneByOne)
{
    testing::App();
    const QRect clips[] = {QRect(0, 0, 120, 100), QRect(10, 15, 90, 70), QRect(-20, 40, 200, 30)};
    for (unsigned seed = 1; seed <= 12; ++seed) {
        const std::vector<TraceStroke> strokes = CrowdedStrokes(seed, 400);
        for (const QRect& clip : clips) {
            for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
                const QImage expected = OneByOne(strokes, clip, format);
                EXPECT_EQ(DifferentPixels(Collected(strokes, clip, format, false), expected), 0)
                    << "seed " << seed << " clip " << clip.x() << "," << clip.y();
                EXPECT_EQ(DifferentPixels(Collected(strokes, clip, format, true), expected), 0)
                    << "shared, seed " << seed << " clip " << clip.x() << "," << clip.y();
            }
        }
    }
}

// Steep lines of every length up to several hundred rows, both directions, the long ones as well
// as the short ones copied from the engine's own drawing of their shape.
TEST(TraceBatcher, LongSteepLinesLeaveTheSamePictureAsOneByOne)
{
    testing::App();
    const QSize size(80, 1000);
    std::mt19937 random(7);
    const auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::vector<TraceStroke> strokes;
    for (int i = 0; i < 300; ++i) {
        const QRgb color = kColors[uniform(0, 3)];
        const int x = uniform(10, 69);
        const int y = uniform(20, 979);
        const int along = uniform(0, 2) == 0 ? uniform(250, 262) : uniform(0, 500);
        const int dy = uniform(0, 1) == 0 ? along : -along;
        strokes.push_back(LineStroke(color, QLine(x, y, x + uniform(-8, 8), std::clamp(y + dy, 5, 994))));
    }
    ExpectSameAsOneByOne(strokes, size, {QRect(0, 0, 80, 1000), QRect(5, 100, 70, 700)});
}

// Every short line shape, steep and shallow, in both directions, laid over each other in passes
// of changing colour as the decimated drawing lays its traces: each pass must cover the last
// exactly where the engine's own line would.
TEST(TraceBatcher, ShortLinesOfEveryShapeLeaveTheSamePictureAsOneByOne)
{
    testing::App();
    const QSize size(200, 160);
    std::vector<TraceStroke> strokes;
    for (int pass = 0; pass < 3; ++pass) {
        int k = 0;
        for (int dx = -8; dx <= 8; ++dx) {
            for (int dy = -12; dy <= 12; ++dy, ++k) {
                const int x = 20 + (k * 7 + pass * 3) % 160;
                const int y = 20 + (k * 13 + pass * 5) % 120;
                strokes.push_back(LineStroke(kColors[(k + pass) % 4], QLine(x, y, x + dx, y + dy)));
            }
        }
    }
    ExpectSameAsOneByOne(strokes, size, {QRect(0, 0, 200, 160), QRect(30, 25, 120, 100)});
}

// Enough strokes on a tall picture that their pixels are written by two threads, a half of the
// rows each, with runs and tick bars across the rows where the halves meet.
TEST(TraceBatcher, StrokesWrittenByTwoThreadsLeaveTheSamePictureAsOneByOne)
{
    testing::App();
    const QSize size(120, 300);
    std::mt19937 random(5);
    // Only what the batcher writes itself: a stroke the painter draws makes it write what it
    // holds first, which would keep the runs few.
    std::vector<TraceStroke> strokes = CrowdedStrokes(21, 40000);
    for (TraceStroke& s : strokes) {
        const QPoint down(0, std::uniform_int_distribution<int>(0, 200)(random));
        s.line.translate(down);
        for (int i = 0; i < s.pointCount; ++i)
            s.points[static_cast<std::size_t>(i)] += down;
    }
    // Only what the batcher writes itself: a stroke the painter draws (a dot, a shallow line,
    // one near an edge) makes it write what it holds first, which would keep the runs few.
    const QRect inner(3, 3, 114, 294);
    std::erase_if(strokes, [&](const TraceStroke& s) {
        return s.dotCount > 0 || std::abs(s.line.dx()) > 8 || !inner.contains(s.line.p1()) ||
               !inner.contains(s.line.p2());
    });
    ASSERT_GT(strokes.size(), 20000u);
    ExpectSameAsOneByOne(strokes, size, {QRect(0, 0, 120, 300), QRect(0, 37, 120, 250)});
}

TEST(TraceBatcher, LaterColourWinsWhereStrokesCross)
{
    testing::App();
    // Red, then grey over it, then red again in the same column: the last one decides.
    const TraceStroke red = LineStroke(kColors[0], QLine(50, 10, 50, 60));
    const TraceStroke grey = LineStroke(kColors[1], QLine(50, 30, 51, 80));
    const TraceStroke redAgain = LineStroke(kColors[0], QLine(50, 40, 50, 45));
    const QImage picture = Collected({red, grey, redAgain}, QRect(0, 0, 120, 100), QImage::Format_RGB32, false);
    EXPECT_EQ(picture.pixel(50, 20), kColors[0] | 0xFF000000u);
    EXPECT_EQ(picture.pixel(50, 35), kColors[1] | 0xFF000000u);
    EXPECT_EQ(picture.pixel(50, 42), kColors[0] | 0xFF000000u);
    EXPECT_EQ(picture.pixel(50, 10), kColors[0] | 0xFF000000u);
    EXPECT_EQ(picture.pixel(50, 8), qRgb(0, 0, 0));
}

TEST(TraceBatcher, StrokesOutsideTheClipLeaveNoPixel)
{
    testing::App();
    TraceStroke s = LineStroke(kColors[2], QLine(5, 5, 5, 90));
    s.dotCount = 1;
    s.dots[0] = QRect(3, 3, 3, 3);
    const QImage picture = Collected({s}, QRect(20, 0, 100, 100), QImage::Format_RGB32, false);
    EXPECT_EQ(DifferentPixels(picture, OneByOne({}, QRect(20, 0, 100, 100), QImage::Format_RGB32)), 0);
}

}  // namespace
}  // namespace shakemeter
