#include "graph/widgets/KeptGraphPicture.h"

#include <QPainter>
#include <utility>

#include "graph/core/TracePlanner.h"

namespace shakemeter {

void KeptGraphPicture::Keep(QImage& picture, GraphPaintPlan plan, const PaintParams& params)
{
    std::swap(m_picture, picture);
    ReleasePlan();
    m_plan = std::move(plan);
    m_params = params;
    m_holds = true;
}

bool KeptGraphPicture::Draws(const GraphPaintPlan& plan, const PaintParams& params, QSize size)
{
    if (!m_holds || m_picture.size() != size || !(m_params == params))
        return false;
    // The plans are compared with the kept one's read-out line set to the new one for the time
    // being: a copy of a plan would copy all its trace spans.
    ReadoutLine keptReadout = std::exchange(m_plan.readout, plan.readout);
    const bool same = m_plan == plan;
    m_plan.readout = std::move(keptReadout);
    return same;
}

void KeptGraphPicture::TakeBack(QImage& picture, GraphPaintPlan& plan, const PaintParams& params,
                                const QRect& readoutStrip)
{
    std::swap(m_picture, picture);
    // The picture given back stays as the buffer the next Keep hands out.
    ReleasePlan();
    m_holds = false;
    // The whole drawing, held to the strip: the strip's pixels come out as a whole drawing leaves
    // them. The traces end above the strip; they are left out, which spares visiting them.
    std::vector<TraceSpan> spans = std::exchange(plan.traces.spans, {});
    {
        QPainter painter(&picture);
        painter.setClipRect(readoutStrip);
        DrawGraphPlan(painter, plan, params);
    }
    plan.traces.spans = std::move(spans);
}

void KeptGraphPicture::Drop()
{
    m_picture = QImage();
    ReleasePlan();
    m_holds = false;
}

void KeptGraphPicture::ReleasePlan()
{
    TracePlanner::Recycle(std::move(m_plan.traces.spans));
    m_plan = GraphPaintPlan();
}

}  // namespace shakemeter
