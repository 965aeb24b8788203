#include "graph/widgets/TraceBatcher.h"

#include <QBrush>
#include <QPaintEngine>
#include <QPen>
#include <algorithm>
#include <bit>
#include <climits>
#include <map>
#include <cmath>

#include "recording/TwoThreads.h"

namespace shakemeter {

namespace {

// The raster engine keeps a one-pixel line within half a pixel of its ends (square caps);
// two pixels of room cover that and its rounding with a margin.
constexpr int REACH_MARGIN = 2;

// Lines this short across are copied from the raster engine's own drawing of them.
constexpr int PATTERN_MAX_ACROSS = 8;
constexpr int PATTERN_MAX_ALONG = 4096;

// Runs enough to be worth a second thread's start (a few tens of microseconds).
constexpr std::size_t kRunsForTwoThreads = 20000;

// The pixels of a line in one column, as offsets from its start.
struct LineRun {
    int column;
    int top;
    int bottom;
};

// The one-pixel line from (0, 0) to (dx, dy) exactly as the raster engine draws it away from any
// clip edge, as a run of rows per column; empty when a column's pixels are not one run. Drawn
// once per shape and kept: the engine's rounding is the same wherever a whole-pixel line lies.
std::vector<LineRun> DrawnLine(int dx, int dy)
{
    std::vector<LineRun> runs;
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
    for (int x = 0; x < scratch.width(); ++x) {
        int top = INT_MAX;
        int bottom = INT_MIN;
        int lit = 0;
        for (int y = 0; y < scratch.height(); ++y) {
            const auto* line = reinterpret_cast<const quint32*>(scratch.constScanLine(y));
            if ((line[x] & 0x00FFFFFFu) != 0) {
                top = std::min(top, y);
                bottom = y;
                ++lit;
            }
        }
        if (lit == 0)
            continue;
        if (lit != bottom - top + 1)
            return {};
        runs.push_back({x - ox, top - oy, bottom - oy});
    }
    return runs;
}

// Lines this short along are looked up in a table rather than a map: a long trace has thousands.
constexpr int TABLE_MAX_ALONG = 256;

const std::vector<LineRun>& LineRuns(int dx, int dy)
{
    struct Entry {
        bool known = false;
        std::vector<LineRun> runs;
    };
    if (std::abs(dy) <= TABLE_MAX_ALONG) {
        static std::vector<Entry> table((2 * PATTERN_MAX_ACROSS + 1) * (2 * TABLE_MAX_ALONG + 1));
        Entry& entry = table[static_cast<std::size_t>((dx + PATTERN_MAX_ACROSS) * (2 * TABLE_MAX_ALONG + 1) + dy +
                                                      TABLE_MAX_ALONG)];
        if (!entry.known) {
            entry.runs = DrawnLine(dx, dy);
            entry.known = true;
        }
        return entry.runs;
    }
    static std::map<std::pair<int, int>, std::vector<LineRun>> cache;
    const auto found = cache.find({dx, dy});
    if (found != cache.end())
        return found->second;
    return cache[{dx, dy}] = DrawnLine(dx, dy);
}

// The runs of a line a few columns across that lies clear of the area's edges, when its drawing
// is known exactly; null otherwise.
const std::vector<LineRun>* ShortLineRuns(const QLine& line, const QRect& area)
{
    const int dx = line.dx();
    const int dy = line.dy();
    if (std::abs(dx) > PATTERN_MAX_ACROSS || std::abs(dy) > PATTERN_MAX_ALONG)
        return nullptr;
    // Near an edge the engine cuts the line first, which may round its pixels differently.
    const int margin = REACH_MARGIN;
    if (std::min(line.x1(), line.x2()) - margin < area.left() ||
        std::max(line.x1(), line.x2()) + margin > area.right() ||
        std::min(line.y1(), line.y2()) - margin < area.top() || std::max(line.y1(), line.y2()) + margin > area.bottom())
        return nullptr;
    const std::vector<LineRun>& runs = LineRuns(dx, dy);
    return runs.empty() ? nullptr : &runs;
}

QPen StrokePen(QRgb color)
{
    return QPen(QColor(color), 1, Qt::SolidLine);
}

}  // namespace

QRect TraceStroke::Reach() const
{
    // Plain integer edges: a decimated paint asks this of every span.
    int left = INT_MAX;
    int top = INT_MAX;
    int right = INT_MIN;
    int bottom = INT_MIN;
    const auto add = [&](int x, int y) {
        left = x < left ? x : left;
        right = x > right ? x : right;
        top = y < top ? y : top;
        bottom = y > bottom ? y : bottom;
    };
    if (hasLine && precise) {
        for (const QPointF& end : {preciseLine.p1(), preciseLine.p2()}) {
            add(static_cast<int>(std::floor(end.x())), static_cast<int>(std::floor(end.y())));
            add(static_cast<int>(std::ceil(end.x())), static_cast<int>(std::ceil(end.y())));
        }
    } else if (hasLine) {
        add(line.x1(), line.y1());
        add(line.x2(), line.y2());
    }
    for (int i = 0; i < pointCount; ++i)
        add(points[static_cast<std::size_t>(i)].x(), points[static_cast<std::size_t>(i)].y());
    for (int i = 0; i < dotCount; ++i) {
        const QRect& d = dots[static_cast<std::size_t>(i)];
        add(d.left(), d.top());
        add(d.right() + 1, d.bottom() + 1);
    }
    if (left > right)
        return {};
    // Coordinates are kept far from the integer limits by the safe square and the plot.
    return QRect(QPoint(left - REACH_MARGIN, top - REACH_MARGIN), QPoint(right + REACH_MARGIN, bottom + REACH_MARGIN));
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
            m_wordsPerColumn = (std::max(0, m_area.height()) + 63) / 64;
            Buffers& spare = SpareBuffers();
            m_direct = std::move(spare.direct);
            m_direct.clear();
            m_written = std::move(spare.written);
            m_written.assign(
                static_cast<std::size_t>(std::max(0, m_area.width())) * static_cast<std::size_t>(m_wordsPerColumn), 0);
        }
    }
}

TraceBatcher::~TraceBatcher()
{
    Flush();
    if (m_image != nullptr) {
        Buffers& spare = SpareBuffers();
        spare.direct = std::move(m_direct);
        spare.written = std::move(m_written);
    }
}

TraceBatcher::Buffers& TraceBatcher::SpareBuffers()
{
    static thread_local Buffers buffers;
    return buffers;
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
    if (m_image != nullptr) {
        AddToPicture(stroke);
        return;
    }
    const QRect whole = stroke.Reach();
    const QRect reach = ClippedReach(whole);
    if (whole.isEmpty() || reach.isEmpty())
        return;
    DrawOthersUnder(stroke.color, reach);
    Batch& batch = BatchOf(stroke.color);
    bool waits = stroke.dotCount > 0;
    const std::size_t runsBefore = batch.runs.size();
    if (stroke.hasLine && stroke.precise) {
        batch.preciseLines.push_back(stroke.preciseLine);
        waits = true;
    } else if (stroke.hasLine && m_raster && stroke.line.x1() == stroke.line.x2()) {
        batch.runs.push_back({stroke.line.x1(), std::min(stroke.line.y1(), stroke.line.y2()),
                              std::max(stroke.line.y1(), stroke.line.y2())});
    } else if (stroke.hasLine) {
        batch.lines.push_back(stroke.line);
        waits = true;
    }
    if (m_raster) {
        for (int i = 0; i < stroke.pointCount; ++i) {
            const QPoint& point = stroke.points[static_cast<std::size_t>(i)];
            batch.runs.push_back({point.x(), point.y(), point.y()});
        }
    } else {
        batch.points.insert(batch.points.end(), stroke.points.begin(), stroke.points.begin() + stroke.pointCount);
        waits = waits || stroke.pointCount > 0;
    }
    batch.dots.insert(batch.dots.end(), stroke.dots.begin(), stroke.dots.begin() + stroke.dotCount);
    waits = waits || batch.runs.size() > runsBefore;
    if (waits)
        MarkPending(batch, reach);
}

QRect TraceBatcher::ClippedReach(const QRect& whole) const
{
    return QRect(QPoint(std::max(whole.left(), m_clip.left()), std::max(whole.top(), m_clip.top())),
                 QPoint(std::min(whole.right(), m_clip.right()), std::min(whole.bottom(), m_clip.bottom())));
}

void TraceBatcher::DrawOthersUnder(QRgb color, const QRect& reach)
{
    for (Batch& other : m_batches) {
        if (other.color != color && other.pending() && Touches(other, reach))
            Draw(other);
    }
}

bool TraceBatcher::AnyPending() const
{
    for (const Batch& batch : m_batches) {
        if (batch.pending())
            return true;
    }
    return false;
}

inline void TraceBatcher::KeepRun(int x, int top, int bottom, quint32 pixel)
{
    const QRect& area = m_area;
    if (x < area.left() || x > area.right())
        return;
    top = std::max(top, area.top());
    bottom = std::min(bottom, area.bottom());
    if (top > bottom)
        return;
    // A run that continues the one before it in its column and colour joins it: nothing was
    // drawn between them.
    if (!m_direct.empty()) {
        DirectRun& last = m_direct.back();
        if (last.x == x && last.pixel == pixel && last.step == 1 && top <= last.bottom + 1 && bottom >= last.top - 1) {
            last.top = std::min(last.top, top);
            last.bottom = std::max(last.bottom, bottom);
            return;
        }
    }
    m_direct.push_back({x, top, bottom, pixel});
    m_directLeft = std::min(m_directLeft, x);
    m_directRight = std::max(m_directRight, x);
}

inline void TraceBatcher::KeepPair(int x, int top, quint32 pixel)
{
    const QRect& area = m_area;
    if (x < area.left() || x > area.right())
        return;
    if (top < area.top() || top + 2 > area.bottom()) {
        KeepRun(x, top, top, pixel);
        KeepRun(x, top + 2, top + 2, pixel);
        return;
    }
    m_direct.push_back({x, top, top + 2, pixel, 2});
    m_directLeft = std::min(m_directLeft, x);
    m_directRight = std::max(m_directRight, x);
}

// On a picture written directly, the stroke's columns are kept now, in stroke order: every
// stroke of another colour the painter still has to draw under them is drawn first, and later
// ones land on top. Only what the painter draws waits, and only it is kept in the bookkeeping.
// The stroke's reach is needed only then: the kept runs are clipped one by one.
void TraceBatcher::AddToPicture(const TraceStroke& stroke)
{
    const QLine& line = stroke.line;
    const bool column = stroke.hasLine && !stroke.precise && line.x1() == line.x2();
    const std::vector<LineRun>* shortLine = nullptr;
    if (stroke.hasLine && !stroke.precise && !column)
        shortLine = ShortLineRuns(line, m_area);
    const bool painterLine = stroke.hasLine && !column && shortLine == nullptr;
    const bool waits = painterLine || stroke.dotCount > 0;
    QRect reach;
    if (waits || AnyPending()) {
        const QRect whole = stroke.Reach();
        reach = ClippedReach(whole);
        if (whole.isEmpty() || reach.isEmpty())
            return;
        DrawOthersUnder(stroke.color, reach);
    }
    const quint32 pixel = 0xFF000000u | (stroke.color & 0x00FFFFFFu);
    if (column) {
        KeepRun(line.x1(), std::min(line.y1(), line.y2()), std::max(line.y1(), line.y2()), pixel);
    } else if (shortLine != nullptr) {
        for (const LineRun& run : *shortLine)
            KeepRun(line.x1() + run.column, line.y1() + run.top, line.y1() + run.bottom, pixel);
    }
    // A tick bar's pixels come in pairs, one above and one below its point, which are kept as
    // one run: a decimated paint has over a million of them.
    for (int i = 0; i < stroke.pointCount; ++i) {
        const QPoint& point = stroke.points[static_cast<std::size_t>(i)];
        if (i + 1 < stroke.pointCount) {
            const QPoint& next = stroke.points[static_cast<std::size_t>(i + 1)];
            if (next.x() == point.x() && std::abs(next.y() - point.y()) == 2) {
                KeepPair(point.x(), std::min(point.y(), next.y()), pixel);
                ++i;
                continue;
            }
        }
        KeepRun(point.x(), point.y(), point.y(), pixel);
    }
    if (!waits)
        return;
    Batch& batch = BatchOf(stroke.color);
    if (painterLine && stroke.precise)
        batch.preciseLines.push_back(stroke.preciseLine);
    else if (painterLine)
        batch.lines.push_back(line);
    batch.dots.insert(batch.dots.end(), stroke.dots.begin(), stroke.dots.begin() + stroke.dotCount);
    MarkPending(batch, reach);
}

void TraceBatcher::MarkPending(Batch& batch, const QRect& reach)
{
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

void TraceBatcher::Draw(Batch& batch)
{
    if (!batch.pending())
        return;
    // What the painter draws now lies above every run kept so far.
    WriteDirectRuns();
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
    // On a picture written directly the runs never wait here: they are kept as they arrive.
    if (batch.runs.empty())
        return;
    std::sort(batch.runs.begin(), batch.runs.end(),
              [](const Run& a, const Run& b) { return a.x != b.x ? a.x < b.x : a.top < b.top; });
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

void TraceBatcher::WriteDirectRuns()
{
    if (m_direct.empty())
        return;
    // A 4K paint keeps over a million runs: the lower rows are written on a second thread
    // meanwhile. Each pixel is still written by one thread, which goes through the runs in the
    // same order, so the picture is the same; the halves meet at a word of the written bits.
    const int rows = m_area.height();
    const int split = (rows / 2) & ~63;
    if (m_direct.size() >= kRunsForTwoThreads && split > 0)
        RunOnTwoThreads([this, split] { WriteRunsInRows(0, split - 1); },
                        [this, split, rows] { WriteRunsInRows(split, rows - 1); });
    else
        WriteRunsInRows(0, rows - 1);
    const std::size_t words = static_cast<std::size_t>(m_wordsPerColumn);
    const int left = m_area.left();
    std::fill(
        m_written.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(m_directLeft - left) * words),
        m_written.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(m_directRight - left + 1) * words), 0);
    m_direct.clear();
    m_directLeft = INT_MAX;
    m_directRight = INT_MIN;
}

void TraceBatcher::WriteRunsInRows(int firstRow, int lastRow)
{
    const int left = m_area.left();
    const int areaTop = m_area.top();
    const std::size_t words = static_cast<std::size_t>(m_wordsPerColumn);
    for (auto run = m_direct.rbegin(); run != m_direct.rend(); ++run) {
        const int top = run->top - areaTop;
        const int from = std::max(top, firstRow);
        const int to = std::min(run->bottom - areaTop, lastRow);
        if (from > to)
            continue;
        std::uint64_t* written = m_written.data() + static_cast<std::size_t>(run->x - left) * words;
        uchar* column =
            m_bits + static_cast<std::ptrdiff_t>(areaTop) * m_stride + static_cast<std::ptrdiff_t>(run->x) * 4;
        if (from == to) {
            // A single pixel: the tick marks are made of them.
            std::uint64_t& word = written[from >> 6];
            const std::uint64_t bit = std::uint64_t{1} << (from & 63);
            if ((word & bit) == 0 && (run->step == 1 || ((from - top) & 1) == 0)) {
                word |= bit;
                *reinterpret_cast<quint32*>(column + static_cast<std::ptrdiff_t>(from) * m_stride) = run->pixel;
            }
            continue;
        }
        // Every other row: those of the run's first row's parity (a word starts at an even row).
        const std::uint64_t stepRows = run->step == 1   ? ~std::uint64_t{0}
                                       : (top & 1) == 0 ? 0x5555555555555555u
                                                        : 0xAAAAAAAAAAAAAAAAu;
        for (int w = from >> 6; w <= to >> 6; ++w) {
            const int low = std::max(from, w << 6) & 63;
            const int high = std::min(to, (w << 6) + 63) & 63;
            const std::uint64_t bits = (~std::uint64_t{0} >> (63 - high)) & (~std::uint64_t{0} << low) & stepRows;
            std::uint64_t fresh = bits & ~written[w];
            written[w] |= bits;
            while (fresh != 0) {
                const int row = (w << 6) + std::countr_zero(fresh);
                fresh &= fresh - 1;
                *reinterpret_cast<quint32*>(column + static_cast<std::ptrdiff_t>(row) * m_stride) = run->pixel;
            }
        }
    }
}

void TraceBatcher::Flush()
{
    for (Batch& batch : m_batches)
        Draw(batch);
    WriteDirectRuns();
}

}  // namespace shakemeter
