// The graph's part of a session: taken from the model, checked against the recording and put back
// so that the graph shows the same rows and cursors again.

#include <gtest/gtest.h>

#include "graph/GraphFixture.h"
#include "graph/core/VisibleRows.h"
#include "session/GraphSession.h"

namespace shakemeter {
namespace {

using testing::ThousandRowFixture;

// 2000 rows in an 856-pixel plot, as the program's pane shows them: more than two rows a pixel.
struct TwoThousandRowFixture : testing::GraphFixture {
    TwoThousandRowFixture()
    {
        Load(2000, [](int i) { return SampleRow{(i % 13) * 0.1, 0, 0, 0}; });
        Plot(130, 225, 986, 606);
        Paint();
    }
};

// The session put back into a model of the same size shows what it was taken from, and taking it
// again gives the same session: saving and opening again and again does not widen the zoom.
template <typename Fixture>
void ExpectZoomsComeBack(std::initializer_list<std::pair<int, int>> zooms)
{
    for (const auto& [first, last] : zooms) {
        Fixture taken;
        Fixture other;  // the compared recording
        GraphOverlay overlay;
        overlay.recording = std::make_shared<const Recording>(other.doc);
        overlay.comparedPath = "/data/week2.Vibration";
        overlay.alignment = OverlayAlignment{AlignBy::Event, 3, 5, 0.25};
        taken.model.SetOverlay(overlay);
        taken.model.SetCursors(CursorPair{static_cast<std::size_t>(first), static_cast<std::size_t>(last)});
        ASSERT_TRUE(taken.model.ZoomOntoRows(first, last, false));
        taken.Paint();
        const Session session = SessionOfGraph(taken.model, "/data/week1.Vibration");
        ASSERT_TRUE(session.comparison);
        EXPECT_EQ(*session.comparison, (SessionComparison{overlay.comparedPath, overlay.alignment}));
        ASSERT_TRUE(session.zoom);
        EXPECT_EQ(session.zoom->firstRow, VisibleRows(taken.model)->from);
        EXPECT_EQ(session.zoom->lastRow, VisibleRows(taken.model)->to);

        Fixture restored;
        EXPECT_EQ(SessionRowsFault(session, "/data/s.shakeproject", restored.doc, &other.doc), "");
        ApplySessionMarks(restored.model, session, overlay.recording);
        // The legend names both files, as a comparison made by hand does.
        ASSERT_NE(restored.model.Overlay(), nullptr);
        EXPECT_EQ(restored.model.Overlay()->shownName, "week1.Vibration");
        EXPECT_EQ(restored.model.Overlay()->comparedName, "week2.Vibration");
        EXPECT_EQ(restored.model.Overlay()->recording, overlay.recording);
        const std::optional<ZoomRows> rows = SessionZoomRows(restored.model, *session.zoom, false);
        ASSERT_TRUE(rows);
        ASSERT_TRUE(restored.model.ZoomOntoRows(rows->first, rows->last, false));
        restored.Paint();
        EXPECT_EQ(restored.model.Cursors(), session.cursors);
        const Session again = SessionOfGraph(restored.model, session.recording);
        EXPECT_EQ(again.comparison, session.comparison);
        ASSERT_TRUE(again.zoom);
        EXPECT_EQ(again.zoom->firstRow, session.zoom->firstRow) << first << ".." << last;
        EXPECT_EQ(again.zoom->lastRow, session.zoom->lastRow) << first << ".." << last;
    }
}

TEST(GraphSession, TakenAndPutBackShowsTheSameRows)
{
    ThousandRowFixture plain;
    const Session session = SessionOfGraph(plain.model, "/data/week1.Vibration");
    EXPECT_EQ(session.recording, "/data/week1.Vibration");
    EXPECT_FALSE(session.cursors);
    EXPECT_FALSE(session.zoom) << "the full view is no zoom";

    ExpectZoomsComeBack<ThousandRowFixture>({{400, 600}, {0, 3}, {10, 990}, {997, 1000}});
    ExpectZoomsComeBack<TwoThousandRowFixture>(
        {{1200, 1900}, {500, 900}, {0, 1999}, {1, 7}, {1990, 1999}, {333, 1777}});
}

TEST(GraphSession, RowsBeyondTheRecordingAreNamed)
{
    ThousandRowFixture g;  // rows 0 .. 1000
    Session session;
    session.recording = "/data/week1.Vibration";
    session.cursors = CursorPair{0, 1000};
    session.zoom = SessionZoom{999, 1000};
    EXPECT_EQ(SessionRowsFault(session, "/data/s.shakeproject", g.doc), "");

    session.cursors = CursorPair{0, 1001};
    EXPECT_EQ(SessionRowsFault(session, "/data/s.shakeproject", g.doc),
              "Cannot open the session \"/data/s.shakeproject\": cursor B is at row 1001, beyond the 1001 rows of "
              "\"week1.Vibration\".");
    session.cursors = CursorPair{5000, 0};
    EXPECT_NE(SessionRowsFault(session, "/s", g.doc).find("cursor A is at row 5000"), std::string::npos);
    session.cursors.reset();
    session.zoom = SessionZoom{10, 1001};
    EXPECT_NE(SessionRowsFault(session, "/s", g.doc).find("the zoom's last row is at row 1001"), std::string::npos);

    // The events a comparison is aligned on, each in its own recording.
    session.zoom.reset();
    Recording compared = g.doc;
    compared.m_pSamples.resize(10);
    compared.m_header.dwSampleCount = 10;
    session.comparison = SessionComparison{"/data/week2.Vibration", OverlayAlignment{AlignBy::Event, 1000, 9, 0.0}};
    EXPECT_EQ(SessionRowsFault(session, "/s", g.doc, &compared), "");
    session.comparison->alignment.overlayEventRow = 10;
    EXPECT_EQ(SessionRowsFault(session, "/s", g.doc, &compared),
              "Cannot open the session \"/s\": the compared recording's event is at row 10, beyond the 10 rows of "
              "\"week2.Vibration\".");
    session.comparison->alignment.mainEventRow = 1001;
    EXPECT_NE(SessionRowsFault(session, "/s", g.doc, &compared).find("the shown recording's event is at row 1001"),
              std::string::npos);
    // Aligned otherwise, the rows kept of an earlier choice are not used and not checked.
    session.comparison->alignment.by = AlignBy::Clock;
    EXPECT_EQ(SessionRowsFault(session, "/s", g.doc, &compared), "");

    // A compared recording without samples draws nothing: it is refused, naming it.
    compared.m_pSamples.clear();
    compared.m_header.dwSampleCount = 0;
    EXPECT_EQ(SessionRowsFault(session, "/s", g.doc, &compared),
              "Cannot open the session \"/s\": the compared recording \"week2.Vibration\" holds no samples.");
}

}  // namespace
}  // namespace shakemeter
