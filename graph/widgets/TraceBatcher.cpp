#include "graph/widgets/TraceBatcher.h"

#include <QBrush>
#include <QPaintEngine>
#include <QPen>
#include <algorithm>
#include <climits>
#include <map>
#include <cmath>

namespace shakemeter {

namespace {

// The raster engine keeps a one-pixel line within half a pixel of its ends (square caps);
// two pixels of room cover that and its rounding with a margin.
constexpr int REACH_MARGIN = 2;

// Steep lines this short across are copied from the raster engine's own drawing of them.
constexpr int PATTERN_MAX_ACROSS = 8;
constexpr int PATTERN_MAX_ALONG = 4096;

// Rows i..last of a steep line whose pixels lie in one column, offset from its start column.
struct SteepRun {
    int offset;
    int first;
    int last;
};

// The one-pixel line from (0, 0) to (dx, dy) (|dy| >= |dx|) exactly as the raster engine draws it
// away from any clip edge, as runs of rows in one column; empty when its drawing is not one pixel
// per row from start to end row. Drawn once per shape and kept: the engine's rounding is the same
// wherever a whole-pixel line lies.
std::vector<SteepRun> DrawnSteepLine(int dx, int dy)
{
    std::vector<SteepRun> runs;
    const int margin = 4;
    const int along = std::abs(dy);
    QImage scratch(2 * (PATTERN_MAX_ACROSS + margin) + 1, along + 2 * margin + 1, QImage::Format_RGB32);
    scratch.fill(Qt::black);
    const int ox = PATTERN_MAX_ACROSS + margin;
    const int oy = dy > 0 ? margin : margin + along;
    {
        QPainter painter(&scratch);
        painter.setPen(QPen(Qt::white, 1, Qt::SolidLine));
        painter.drawLine(QLine(ox, oy, ox + dx, oy + dy));
    }
    const int step = dy > 0 ? 1 : -1;
    std::vector<int> rows;
    int lit = 0;
    for (int y = 0; y < scratch.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width(); ++x)
            lit += (line[x] & 0x00FFFFFFu) != 0 ? 1 : 0;
    }
    for (int i = 0; i <= along; ++i) {
        const auto* line = reinterpret_cast<const quint32*>(scratch.constScanLine(oy + i * step));
        int at = INT_MIN;
        for (int x = 0; x < scratch.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) != 0)
                at = x - ox;
        }
        if (at == INT_MIN)
            return runs;
        rows.push_back(at);
    }
    if (lit != along + 1)
        return runs;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[i])
            ++j;
        runs.push_back({rows[i], static_cast<int>(i), static_cast<int>(j)});
        i = j + 1;
    }
    return runs;
}

// Lines this short along are looked up in a table rather than a map: a long trace has thousands.
constexpr int TABLE_MAX_ALONG = 256;

const std::vector<SteepRun>& SteepLineRuns(int dx, int dy)
{
    struct Entry {
        bool known = false;
        std::vector<SteepRun> runs;
    };
    if (std::abs(dy) <= TABLE_MAX_ALONG) {
        static std::vector<Entry> table((2 * PATTERN_MAX_ACROSS + 1) * (2 * TABLE_MAX_ALONG + 1));
        Entry& entry = table[static_cast<std::size_t>((dx + PATTERN_MAX_ACROSS) * (2 * TABLE_MAX_ALONG + 1) + dy + TABLE_MAX_ALONG)];
        if (!entry.known) {
            entry.runs = DrawnSteepLine(dx, dy);
            entry.known = true;
        }
        return entry.runs;
    }
    static std::map<std::pair<int, int>, std::vector<SteepRun>> cache;
    const auto found = cache.find({dx, dy});
    if (found != cache.end())
        return found->second;
    return cache[{dx, dy}] = DrawnSteepLine(dx, dy);
}

QPen StrokePen(QRgb color)
{
    return QPen(QColor(color), 1, Qt::SolidLine);
}

struct Edges {
    int left = INT_MAX;
    int top = INT_MAX;
    int right = INT_MIN;
    int bottom = INT_MIN;

    void add(int x, int y)
    {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    void add(double x, double y)
    {
        add(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
        add(static_cast<int>(std::ceil(x)), static_cast<int>(std::ceil(y)));
    }
};

}  // namespace

QRect TraceStroke::Reach() const
{
    Edges e;
    if (hasLine && precise) {
        e.add(preciseLine.x1(), preciseLine.y1());
        e.add(preciseLine.x2(), preciseLine.y2());
    } else if (hasLine) {
        e.add(line.x1(), line.y1());
        e.add(line.x2(), line.y2());
    }
    for (int i = 0; i < pointCount; ++i)
        e.add(points[static_cast<std::size_t>(i)].x(), points[static_cast<std::size_t>(i)].y());
    for (int i = 0; i < dotCount; ++i) {
        const QRect& d = dots[static_cast<std::size_t>(i)];
        e.add(d.left(), d.top());
        e.add(d.right() + 1, d.bottom() + 1);
    }
    if (e.left > e.right)
        return {};
    // Coordinates are kept far from the integer limits by the safe square and the plot.
    return QRect(QPoint(e.left - REACH_MARGIN, e.top - REACH_MARGIN), QPoint(e.right + REACH_MARGIN, e.bottom + REACH_MARGIN));
}

void DrawStroke(QPainter& painter, const TraceStroke& stroke)
{
    if (stroke.empty())
        return;
    const QPen pen = painter.pen();
    const QBrush brush = painter.brush();
    painter.setPen(StrokePen(stroke.color));
    if (stroke.hasLine && stroke.precise)
        painter.drawLine(stroke.preciseLine);
    else if (stroke.hasLine)
        painter.drawLine(stroke.line);
    if (stroke.pointCount > 0)
        painter.drawPoints(stroke.points.data(), stroke.pointCount);
    if (stroke.dotCount > 0) {
        painter.setBrush(QColor(stroke.color));
        for (int i = 0; i < stroke.dotCount; ++i)
            painter.drawEllipse(stroke.dots[static_cast<std::size_t>(i)]);
    }
    painter.setPen(pen);
    painter.setBrush(brush);
}

TraceBatcher::TraceBatcher(QPainter& painter, const QRect& clip)
    : m_painter(painter),
      m_clip(clip),
      m_raster(painter.paintEngine() != nullptr && painter.paintEngine()->type() == QPaintEngine::Raster &&
               painter.worldTransform().isIdentity() && !painter.testRenderHint(QPainter::Antialiasing) &&
               painter.compositionMode() == QPainter::CompositionMode_SourceOver)
{
    if (m_raster && painter.device() != nullptr && painter.device()->devType() == QInternal::Image) {
        auto* image = static_cast<QImage*>(painter.device());
        const QImage::Format format = image->format();
        const bool plain = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                           format == QImage::Format_ARGB32_Premultiplied;
        if (plain && image->isDetached() && image->devicePixelRatio() == 1.0 && painter.hasClipping() &&
            painter.clipBoundingRect() == QRectF(m_clip)) {
            m_image = image;
            m_bits = image->bits();
            m_stride = image->bytesPerLine();
            m_area = m_clip & image->rect();
        }
    }
}

TraceBatcher::~TraceBatcher()
{
    Flush();
}

TraceBatcher::Batch& TraceBatcher::BatchOf(QRgb color)
{
    for (Batch& batch : m_batches) {
        if (batch.color == color)
            return batch;
    }
    Batch& batch = m_batches.emplace_back();
    batch.color = color;
    const std::size_t columns = static_cast<std::size_t>(std::max(0, m_clip.width()));
    batch.top.assign(columns, INT_MAX);
    batch.bottom.assign(columns, INT_MIN);
    return batch;
}

bool TraceBatcher::Touches(const Batch& batch, const QRect& reach) const
{
    const int from = std::max(batch.firstColumn, reach.left() - m_clip.left());
    const int to = std::min(batch.lastColumn, reach.right() - m_clip.left());
    for (int c = from; c <= to; ++c) {
        const std::size_t i = static_cast<std::size_t>(c);
        if (batch.top[i] <= reach.bottom() && batch.bottom[i] >= reach.top())
            return true;
    }
    return false;
}

void TraceBatcher::Add(const TraceStroke& stroke)
{
    if (stroke.empty())
        return;
    const QRect whole = stroke.Reach();
    const QRect reach(QPoint(std::max(whole.left(), m_clip.left()), std::max(whole.top(), m_clip.top())),
                      QPoint(std::min(whole.right(), m_clip.right()), std::min(whole.bottom(), m_clip.bottom())));
    if (whole.isEmpty() || reach.isEmpty())
        return;
    for (Batch& other : m_batches) {
        if (other.color != stroke.color && other.pending() && Touches(other, reach))
            Draw(other);
    }
    Batch& batch = BatchOf(stroke.color);
    // On a picture written directly, the stroke's columns go in now, in stroke order: every
    // stroke of another colour that may touch them has been drawn above, and later ones land on
    // top. Only what the painter draws waits, and only it is kept in the bookkeeping.
    const std::size_t runsBefore = batch.runs.size();
    bool waits = stroke.dotCount > 0;
    if (stroke.hasLine && stroke.precise) {
        batch.preciseLines.push_back(stroke.preciseLine);
        waits = true;
    } else if (stroke.hasLine && m_raster && stroke.line.x1() == stroke.line.x2()) {
        batch.runs.push_back({stroke.line.x1(), std::min(stroke.line.y1(), stroke.line.y2()), std::max(stroke.line.y1(), stroke.line.y2())});
    } else if (stroke.hasLine && !AddSteepLine(batch, stroke, whole)) {
        batch.lines.push_back(stroke.line);
        waits = true;
    }
    if (m_image != nullptr) {
        const quint32 pixel = 0xFF000000u | (stroke.color & 0x00FFFFFFu);
        for (int i = 0; i < stroke.pointCount; ++i) {
            const QPoint& point = stroke.points[static_cast<std::size_t>(i)];
            if (m_area.contains(point))
                *reinterpret_cast<quint32*>(m_bits + static_cast<std::ptrdiff_t>(point.y()) * m_stride + static_cast<std::ptrdiff_t>(point.x()) * 4) = pixel;
        }
    } else if (m_raster) {
        for (int i = 0; i < stroke.pointCount; ++i) {
            const QPoint& point = stroke.points[static_cast<std::size_t>(i)];
            batch.runs.push_back({point.x(), point.y(), point.y()});
        }
    } else {
        batch.points.insert(batch.points.end(), stroke.points.begin(), stroke.points.begin() + stroke.pointCount);
        waits = waits || stroke.pointCount > 0;
    }
    batch.dots.insert(batch.dots.end(), stroke.dots.begin(), stroke.dots.begin() + stroke.dotCount);
    if (m_image != nullptr) {
        StoreRuns(batch, runsBefore);
        batch.runs.resize(runsBefore);
    } else {
        waits = waits || batch.runs.size() > runsBefore;
    }
    if (!waits)
        return;
    const int from = reach.left() - m_clip.left();
    const int to = reach.right() - m_clip.left();
    for (int c = from; c <= to; ++c) {
        const std::size_t i = static_cast<std::size_t>(c);
        batch.top[i] = std::min(batch.top[i], reach.top());
        batch.bottom[i] = std::max(batch.bottom[i], reach.bottom());
    }
    if (!batch.pending()) {
        batch.firstColumn = from;
        batch.lastColumn = to;
    } else {
        batch.firstColumn = std::min(batch.firstColumn, from);
        batch.lastColumn = std::max(batch.lastColumn, to);
    }
}

bool TraceBatcher::AddSteepLine(Batch& batch, const TraceStroke& stroke, const QRect& reach)
{
    if (m_image == nullptr)
        return false;
    const QLine& line = stroke.line;
    const int dx = line.dx();
    const int dy = line.dy();
    if (std::abs(dx) > PATTERN_MAX_ACROSS || std::abs(dy) > PATTERN_MAX_ALONG || std::abs(dy) < std::abs(dx))
        return false;
    // Near an edge the engine cuts the line first, which may round its pixels differently.
    if (!m_area.contains(reach))
        return false;
    const std::vector<SteepRun>& runs = SteepLineRuns(dx, dy);
    if (runs.empty())
        return false;
    const int step = dy > 0 ? 1 : -1;
    for (const SteepRun& run : runs) {
        const int a = line.y1() + run.first * step;
        const int b = line.y1() + run.last * step;
        batch.runs.push_back({line.x1() + run.offset, std::min(a, b), std::max(a, b)});
    }
    return true;
}

void TraceBatcher::Draw(Batch& batch)
{
    if (!batch.pending())
        return;
    FillRuns(batch);
    // A batch of columns only, the usual case on a picture, needs no pen.
    if (!batch.lines.empty() || !batch.preciseLines.empty() || !batch.points.empty() || !batch.dots.empty())
        m_painter.setPen(StrokePen(batch.color));
    if (!batch.lines.empty())
        m_painter.drawLines(batch.lines.data(), static_cast<int>(batch.lines.size()));
    if (!batch.preciseLines.empty())
        m_painter.drawLines(batch.preciseLines.data(), static_cast<int>(batch.preciseLines.size()));
    if (!batch.points.empty())
        m_painter.drawPoints(batch.points.data(), static_cast<int>(batch.points.size()));
    if (!batch.dots.empty()) {
        m_painter.setBrush(QColor(batch.color));
        for (const QRect& dot : batch.dots)
            m_painter.drawEllipse(dot);
    }
    batch.lines.clear();
    batch.preciseLines.clear();
    batch.points.clear();
    batch.dots.clear();
    for (int c = batch.firstColumn; c <= batch.lastColumn; ++c) {
        batch.top[static_cast<std::size_t>(c)] = INT_MAX;
        batch.bottom[static_cast<std::size_t>(c)] = INT_MIN;
    }
    batch.firstColumn = 0;
    batch.lastColumn = -1;
}

void TraceBatcher::FillRuns(Batch& batch)
{
    if (batch.runs.empty())
        return;
    if (m_image != nullptr) {
        StoreRuns(batch, 0);
        batch.runs.clear();
        return;
    }
    std::sort(batch.runs.begin(), batch.runs.end(), [](const Run& a, const Run& b) {
        return a.x != b.x ? a.x < b.x : a.top < b.top;
    });
    const QBrush brush{QColor(batch.color)};
    Run merged = batch.runs.front();
    const auto fill = [&](const Run& run) {
        m_painter.fillRect(QRect(QPoint(run.x, run.top), QPoint(run.x, run.bottom)), brush);
    };
    for (std::size_t i = 1; i < batch.runs.size(); ++i) {
        const Run& run = batch.runs[i];
        if (run.x == merged.x && run.top <= merged.bottom + 1) {
            merged.bottom = std::max(merged.bottom, run.bottom);
            continue;
        }
        fill(merged);
        merged = run;
    }
    fill(merged);
    batch.runs.clear();
}

void TraceBatcher::StoreRuns(const Batch& batch, std::size_t first)
{
    const QRect& area = m_area;
    const quint32 pixel = 0xFF000000u | (batch.color & 0x00FFFFFFu);
    for (std::size_t i = first; i < batch.runs.size(); ++i) {
        const Run& run = batch.runs[i];
        if (run.x < area.left() || run.x > area.right())
            continue;
        const int top = std::max(run.top, area.top());
        const int bottom = std::min(run.bottom, area.bottom());
        uchar* at = m_bits + static_cast<std::ptrdiff_t>(top) * m_stride + static_cast<std::ptrdiff_t>(run.x) * 4;
        for (int y = top; y <= bottom; ++y, at += m_stride)
            *reinterpret_cast<quint32*>(at) = pixel;
    }
}

void TraceBatcher::Flush()
{
    for (Batch& batch : m_batches)
        Draw(batch);
}

}  // namespace shakemeter
