// File > Export's data commands in the window: the rows visible in the zoomed graph and the whole
// recording written where the user chose, and a failure told with the file's name.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QStatusBar>
#include <QPushButton>
#include <QTest>
#include <sstream>

#include <hdf5.h>

#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "analysis/export/AnalysisCsv.h"
#include "analysis/widgets/PsdWindow.h"
#include "graph/core/VisibleRows.h"
#include "graph/widgets/CVxView.h"
#include "recording/RecordingFile.h"
#include "shell/CommandIds.h"
#include "shell/widgets/CMainFrame.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

class DataExportTest : public MainFrameFixture {
protected:
    void SetUp() override
    {
        MakeFrame();
        frame->resize(1200, 800);
        frame->show();
        // Opened as from the command line, so the document knows its file's name.
        frame->OpenFromCommandLine(WriteRecording(dir, QStringLiteral("run.Vibration"), MakeLoggedRecording(2000)));
        ASSERT_EQ(frame->Doc().PathName(), dir.filePath(QStringLiteral("run.Vibration")));
        view = frame->GraphView();
        PaintPastTheFirstZoomReset(*view);
    }

    QStringList CsvLines(const QString& path) const
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    ScopedTimeZone zone{"UTC0"};
    CVxView* view = nullptr;
};

TEST_F(DataExportTest, VisibleRangeFollowsTheZoom)
{
    prompter.savePath = dir.filePath(QStringLiteral("whole.csv"));
    frame->Action(ID_EXPORT_VISIBLE_CSV)->trigger();
    EXPECT_EQ(prompter.proposedName, QStringLiteral("run range.csv"));
    const QStringList whole = CsvLines(prompter.savePath);
    ASSERT_EQ(whole.size(), 2001);
    EXPECT_EQ(whole[0], QStringLiteral("No.,Time,X (g),Y (g),Z (g),Vector Sum (g)"));

    // A band over the middle of the plot zooms onto a stretch; the export follows it.
    GraphModel& model = view->Model();
    const PlotRect plot = model.plot();
    const int y = (plot.top + plot.bottom) / 2;
    model.ButtonDown({plot.left + plot.width() / 4, y - 20});
    model.DragBand({plot.left + plot.width() / 2, y + 20});
    ASSERT_TRUE(model.ButtonUp({plot.left + plot.width() / 2, y + 20}));
    view->repaint();
    const auto rows = VisibleRows(model);
    ASSERT_TRUE(rows);
    ASSERT_GT(rows->from, 0u);
    ASSERT_LT(rows->to, 1999u);

    prompter.savePath = dir.filePath(QStringLiteral("zoomed.csv"));
    frame->Action(ID_EXPORT_VISIBLE_CSV)->trigger();
    const QStringList zoomed = CsvLines(prompter.savePath);
    ASSERT_EQ(static_cast<std::size_t>(zoomed.size()), rows->size() + 1);
    // The same lines as the whole table's for those rows: number, label and values.
    for (std::size_t k = rows->from; k <= rows->to; ++k)
        ASSERT_EQ(zoomed[static_cast<int>(k - rows->from + 1)], whole[static_cast<int>(k + 1)]) << k;
    EXPECT_TRUE(frame->statusBar()->currentMessage().startsWith(
        QStringLiteral("Rows %1 to %2 saved in ").arg(rows->from + 1).arg(rows->to + 1)));
}

TEST_F(DataExportTest, Hdf5HoldsTheWholeRecording)
{
    prompter.savePath = dir.filePath(QStringLiteral("run.h5"));
    frame->Action(ID_EXPORT_HDF5)->trigger();
    EXPECT_EQ(prompter.proposedName, QStringLiteral("run.h5"));
    const hid_t file = H5Fopen(prompter.savePath.toLocal8Bit().constData(), H5F_ACC_RDONLY, H5P_DEFAULT);
    ASSERT_GE(file, 0);
    const hid_t set = H5Dopen2(file, "x", H5P_DEFAULT);
    std::vector<double> x(2000);
    const hid_t space = H5Dget_space(set);
    EXPECT_EQ(H5Sget_simple_extent_npoints(space), 2000);
    H5Dread(set, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, x.data());
    for (std::size_t k = 0; k < x.size(); k += 199)
        EXPECT_EQ(x[k], frame->Doc().recording().m_pSamples[k][0]) << k;
    H5Sclose(space);
    H5Dclose(set);
    H5Fclose(file);
}

TEST_F(DataExportTest, FailuresAreToldWithTheFileAndCancelWritesNothing)
{
    prompter.savePath = dir.filePath(QStringLiteral("no/such/folder/run.h5"));
    frame->Action(ID_EXPORT_HDF5)->trigger();
    ASSERT_EQ(prompter.Texts().size(), 1);
    EXPECT_TRUE(prompter.Texts()[0].startsWith(QStringLiteral("Cannot save \"%1\": ").arg(prompter.savePath)))
        << prompter.Texts()[0].toStdString();

    prompter.savePath = dir.filePath(QStringLiteral("no/such/folder/run.csv"));
    frame->Action(ID_EXPORT_VISIBLE_CSV)->trigger();
    ASSERT_EQ(prompter.Texts().size(), 2);
    EXPECT_TRUE(prompter.Texts()[1].startsWith(QStringLiteral("Cannot save \"%1\": ").arg(prompter.savePath)));

    prompter.savePath.clear();  // the user cancels the dialog
    frame->Action(ID_EXPORT_HDF5)->trigger();
    frame->Action(ID_EXPORT_VISIBLE_CSV)->trigger();
    EXPECT_EQ(prompter.Texts().size(), 2);
}

TEST_F(DataExportTest, PsdWindowSavesTheDensityItShowsInItsUnit)
{
    PsdWindow& psd = *frame->Psd();
    EXPECT_FALSE(psd.ExportButton()->isEnabled()) << "nothing computed yet";
    frame->OnCommand(ID_ANALYSIS_PSD);
    ASSERT_FALSE(psd.Shown().frequency.empty());
    ASSERT_TRUE(psd.ExportButton()->isEnabled());

    prompter.savePath = dir.filePath(QStringLiteral("density.csv"));
    psd.ExportButton()->click();
    EXPECT_EQ(prompter.proposedName, QStringLiteral("run psd.csv"));
    std::ostringstream expected;
    exports::WritePsdCsv(expected, psd.Shown(), psd.Shown().unit);
    QFile file(prompter.savePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), expected.str());
    EXPECT_TRUE(CsvLines(prompter.savePath).last().startsWith(QStringLiteral("Grms (g),")));

    // A refusal leaves nothing to save.
    psd.SetSegment(65536);
    EXPECT_TRUE(psd.Shown().frequency.empty());
    EXPECT_FALSE(psd.ExportButton()->isEnabled());
    psd.close();
}

TEST_F(DataExportTest, EachCommandHasItsPromptAndTip)
{
    for (int id : {ID_EXPORT_VISIBLE_CSV, ID_EXPORT_HDF5}) {
        QAction* action = frame->Action(id);
        ASSERT_NE(action, nullptr);
        EXPECT_FALSE(action->statusTip().isEmpty());
        EXPECT_FALSE(action->toolTip().isEmpty());
        EXPECT_TRUE(action->isEnabled());
    }
}

}  // namespace
