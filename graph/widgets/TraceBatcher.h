#pragma once
// The trace drawing of one paint, collected by colour and drawn with one pen per colour and one
// call per kind of shape, so that a long recording costs a few hundred painter calls instead of
// tens of thousands.
//
// Promise: the picture is the one the strokes would make if each were drawn on its own, in the
// order they were added. Strokes are opaque and aliased, so a pixel takes the colour of the last
// stroke that touches it; a colour's pending strokes are therefore drawn before a stroke of
// another colour that may touch the same pixels is accepted. Strokes that lie wholly outside the
// clip rectangle are dropped, as the clip would have dropped their pixels.

#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <array>
#include <climits>
#include <cstdint>
#include <vector>

namespace shakemeter {

// What one segment or span of a trace draws: its line, the single pixels of its tick marks and
// the filled dots of its point marks, all in one colour.
struct TraceStroke {
    QRgb color = 0;
    bool hasLine = false;
    bool precise = false;  // the line was cut to a safe square and has fractional ends
    QLine line;
    QLineF preciseLine;
    int pointCount = 0;
    std::array<QPoint, 12> points{};
    int dotCount = 0;
    std::array<QRect, 2> dots{};

    bool empty() const { return !hasLine && pointCount == 0 && dotCount == 0; }
    // Edges of every pixel the stroke may touch (inclusive), with room for the raster engine's
    // rounding and line caps.
    QRect Reach() const;
};

// Draws one stroke at once: pen and brush of its colour, the painter's own put back afterwards.
void DrawStroke(QPainter& painter, const TraceStroke& stroke);

class TraceBatcher {
public:
    TraceBatcher(QPainter& painter, const QRect& clip);
    ~TraceBatcher();
    TraceBatcher(const TraceBatcher&) = delete;
    TraceBatcher& operator=(const TraceBatcher&) = delete;

    void Add(const TraceStroke& stroke);
    // Draws everything pending, e.g. before a text that is not collected.
    void Flush();

private:
    // Pixels of one column, rows top to bottom inclusive.
    struct Run {
        int x;
        int top;
        int bottom;
    };
    struct Batch {
        QRgb color = 0;
        std::vector<Run> runs;  // vertical lines and single pixels, on a raster surface
        std::vector<QLine> lines;
        std::vector<QLineF> preciseLines;
        std::vector<QPoint> points;
        std::vector<QRect> dots;
        // Per clip column, the rows pending strokes may touch (top > bottom: none). On a picture
        // written directly, only the painter's part of a stroke is pending: its columns are kept
        // as it arrives.
        std::vector<int> top;
        std::vector<int> bottom;
        int firstColumn = 0;  // touched columns, relative to the clip's left edge
        int lastColumn = -1;
        bool pending() const { return lastColumn >= firstColumn; }
    };

    Batch& BatchOf(QRgb color);
    bool Touches(const Batch& batch, const QRect& reach) const;
    void Draw(Batch& batch);
    void FillRuns(Batch& batch);
    // Keeps a run for the picture, clipped to it.
    void KeepRun(int x, int top, int bottom, quint32 pixel);
    // Keeps the pixels (x, top) and (x, top + 2) as one run, or each on its own where the
    // picture's edge cuts between them.
    void KeepPair(int x, int top, quint32 pixel);
    // Records the pixels a stroke the painter draws may touch, so that a stroke of another
    // colour over them waits for it.
    void MarkPending(Batch& batch, const QRect& reach);
    // Writes the kept runs into the picture as if stored one by one in order: the last run
    // over a pixel decides its colour, so they are written newest first and a pixel already
    // written is left alone. The decimated drawing passes every column many times over; this
    // writes each pixel once.
    void WriteDirectRuns();
    // The kept runs' pixels in the rows from firstRow to lastRow of the area.
    void WriteRunsInRows(int firstRow, int lastRow);
    // The picture path of Add.
    void AddToPicture(const TraceStroke& stroke);
    QRect ClippedReach(const QRect& whole) const;
    // Draws the pending strokes of other colours that may lie under a stroke about to be added.
    void DrawOthersUnder(QRgb color, const QRect& reach);
    bool AnyPending() const;

    QPainter& m_painter;
    QRect m_clip;
    // On a raster surface a one-pixel vertical line is exactly the filled column between its
    // ends, and a pen point exactly its pixel; a rectangle fill draws them many times faster and
    // lets overlapping ones of one colour merge.
    bool m_raster = false;
    // The picture itself when it can be written without the painter (32-bit pixels, not shared):
    // an opaque colour is then simply stored.
    QImage* m_image = nullptr;
    uchar* m_bits = nullptr;
    qsizetype m_stride = 0;
    QRect m_area;  // the clip within the picture
    std::vector<Batch> m_batches;
    // Runs for the picture not yet written, clipped to m_area, in stroke order: the rows from
    // top to bottom of column x, every one or every other (step 2: the pixels of a tick bar
    // above and below a trace point, two of the six a bar has).
    struct DirectRun {
        int x;
        int top;
        int bottom;
        quint32 pixel;
        int step = 1;
    };
    // The large buffers pass from one paint's batcher to the next, so a paint does not fault
    // in fresh pages for them.
    struct Buffers {
        std::vector<DirectRun> direct;
        std::vector<std::uint64_t> written;
    };
    static Buffers& SpareBuffers();
    std::vector<DirectRun> m_direct;
    int m_directLeft = INT_MAX;  // columns the kept runs touch
    int m_directRight = INT_MIN;
    // Pixels written by the runs seen so far in WriteDirectRuns: a bit per pixel, column by
    // column, m_wordsPerColumn words each.
    std::vector<std::uint64_t> m_written;
    int m_wordsPerColumn = 0;
};

}  // namespace shakemeter
