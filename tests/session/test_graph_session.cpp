// The graph's part of a session: taken from the model, checked against the recording and put back
// so that the graph shows the same rows and cursors again.

#include <gtest/gtest.h>

#include "graph/GraphFixture.h"
#include "graph/core/VisibleRows.h"
#include "session/GraphSession.h"

namespace shakemeter {
namespace {

using testing::ThousandRowFixture;

// A session put back into a model of the same size shows what the session was taken from, and
// taking it again gives the same session: saving and opening again and again does not creep.
TEST(GraphSession, TakenAndPutBackShowsTheSameRows)
{
    ThousandRowFixture taken;
    Session plain = SessionOfGraph(taken.model, "/data/week1.Vibration");
    EXPECT_EQ(plain.recording, "/data/week1.Vibration");
    EXPECT_FALSE(plain.cursors);
    EXPECT_FALSE(plain.zoom) << "the full view is no zoom";

    taken.model.SetCursors(CursorPair{100, 250});
    ASSERT_TRUE(taken.model.ZoomOntoRows(400, 600, false));
    taken.Paint();
    const Session session = SessionOfGraph(taken.model, "/data/week1.Vibration");
    ASSERT_TRUE(session.cursors);
    EXPECT_EQ(*session.cursors, (CursorPair{100, 250}));
    ASSERT_TRUE(session.zoom);
    EXPECT_EQ(session.zoom->firstRow, VisibleRows(taken.model)->from);
    EXPECT_EQ(session.zoom->lastRow, VisibleRows(taken.model)->to);

    ThousandRowFixture restored;
    EXPECT_EQ(SessionRowsFault(session, "/data/s.shakeproject", restored.doc), "");
    ApplySessionMarks(restored.model, session);
    ASSERT_TRUE(restored.model.ZoomOntoRows(static_cast<int>(session.zoom->firstRow),
                                            static_cast<int>(session.zoom->lastRow), false));
    restored.Paint();
    EXPECT_EQ(restored.model.Cursors(), session.cursors);
    EXPECT_EQ(SessionOfGraph(restored.model, session.recording), session);
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
}

}  // namespace
}  // namespace shakemeter
