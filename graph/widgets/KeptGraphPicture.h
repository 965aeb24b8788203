#pragma once
// The graph screen's picture of the whole recording, kept while a zoom shows a part of it: going
// back to the whole recording (Undo Zoom) then draws only the read-out line instead of every trace
// of the recording again.
//
// A picture is the drawing of its plan with its parameters and nothing else (DrawGraphPlan asks
// nothing more), so the kept one is taken back only by a drawing whose plan and parameters equal
// those it was drawn from; any change of the data, the size, the colours or the options changes
// one of them. The read-out line is left out of the comparison, since every mouse move changes
// it: it is drawn again over the kept picture exactly as a whole drawing draws it.

#include <QImage>
#include <QRect>

#include "graph/core/GraphPaintPlan.h"
#include "graph/widgets/GraphPainter.h"

namespace shakemeter {

class KeptGraphPicture {
public:
    // Keeps `picture`, drawn from `plan` and `params` with nothing but its read-out line drawn
    // over it since. The pictures are swapped, not copied: `picture` is left with whatever buffer
    // was kept before, to be drawn over or made anew.
    void Keep(QImage& picture, GraphPaintPlan plan, const PaintParams& params);
    // Whether drawing `plan` with `params` at `size` gives the kept picture, read-out line aside.
    bool Draws(const GraphPaintPlan& plan, const PaintParams& params, QSize size);
    // Swaps the kept picture into `picture` and draws the read-out line of `plan` into
    // `readoutStrip` (which holds all of any read-out line) as DrawGraphPlan draws it. Nothing is
    // kept afterwards but the buffer `picture` had, for the next Keep.
    void TakeBack(QImage& picture, GraphPaintPlan& plan, const PaintParams& params, const QRect& readoutStrip);
    // Lets go of the kept picture and its plan.
    void Drop();
    bool Holds() const { return m_holds; }

private:
    // Lets go of the kept plan; its spans' storage goes to the next plan.
    void ReleasePlan();

    QImage m_picture;
    GraphPaintPlan m_plan;
    PaintParams m_params;
    bool m_holds = false;
};

}  // namespace shakemeter
