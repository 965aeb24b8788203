#include <gtest/gtest.h>

#include "shell/WorkflowFlags.h"

using namespace shakemeter;

TEST(WorkflowFlagsTest, DownloadThenOpenOrDownloadAsks)
{
    WorkflowFlags f;  // fresh program
    f.OnLoggerDataArrived();
    EXPECT_TRUE(f.ShouldAsk(SaveQuestion::Download, 100)) << "a second download would discard the first";
    EXPECT_TRUE(f.ShouldAsk(SaveQuestion::Open, 100));
    f.AfterQuestion(SaveQuestion::Open);
    EXPECT_FALSE(f.m_bDataUnsaved);
    EXPECT_FALSE(f.ShouldAsk(SaveQuestion::Open, 100)) << "Open disarms itself whatever the answer";
}

TEST(WorkflowFlagsTest, AfterASaveNewDataRearmsEveryQuestion)
{
    WorkflowFlags f;
    f.OnLoggerDataArrived();
    f.OnSaved();
    EXPECT_FALSE(f.ShouldAsk(SaveQuestion::Open, 10));
    EXPECT_FALSE(f.ShouldAsk(SaveQuestion::Download, 10));
    EXPECT_FALSE(f.ShouldAskOnClose(10));
    // A later download, live reading or capture is protected like the first.
    f.OnLoggerDataArrived();
    EXPECT_TRUE(f.ShouldAskOnClose(10));
    EXPECT_TRUE(f.ShouldAsk(SaveQuestion::Open, 10));
    EXPECT_TRUE(f.ShouldAsk(SaveQuestion::Download, 10));
    f.AfterQuestion(SaveQuestion::Download);
    EXPECT_FALSE(f.ShouldAsk(SaveQuestion::Download, 10));
    EXPECT_FALSE(f.ShouldAsk(SaveQuestion::Open, 10)) << "the Download question clears the unsaved flag";
    EXPECT_TRUE(f.m_bAskOnOpenClose);
}

TEST(WorkflowFlagsTest, RunAndFftAskWheneverDataIsShownAndKeepTheFlags)
{
    WorkflowFlags f;
    f.OnSaved();
    EXPECT_TRUE(f.ShouldAsk(SaveQuestion::Run, 1));
    EXPECT_TRUE(f.ShouldAsk(SaveQuestion::FftReading, 1));
    EXPECT_FALSE(f.ShouldAsk(SaveQuestion::Run, 0));
    f.OnRealTimeStarted();
    f.OnLoggerDataArrived();
    f.AfterQuestion(SaveQuestion::Run);
    f.AfterQuestion(SaveQuestion::FftReading);
    EXPECT_TRUE(f.m_bDataUnsaved);
    EXPECT_TRUE(f.m_bAskOnOpenClose);
    EXPECT_TRUE(f.m_bAskOnDownload);
}

TEST(WorkflowFlagsTest, NothingShownNeverAsks)
{
    WorkflowFlags f;
    f.OnLoggerDataArrived();
    f.OnSetupWritten();
    for (auto q : {SaveQuestion::Open, SaveQuestion::Download, SaveQuestion::Run, SaveQuestion::FftReading}) {
        EXPECT_FALSE(f.ShouldAsk(q, 0));
    }
}

TEST(WorkflowFlagsTest, CloseAsksOnlyAboveOneUnsavedSample)
{
    WorkflowFlags f;
    f.OnLoggerDataArrived();
    EXPECT_FALSE(f.ShouldAskOnClose(1));
    EXPECT_TRUE(f.ShouldAskOnClose(2));
    f.AfterCloseSaved();
    EXPECT_FALSE(f.ShouldAskOnClose(2));
}

TEST(WorkflowFlagsTest, OpenQuestionHasNoIconTheOthersTheQuestionIcon)
{
    EXPECT_FALSE(WorkflowFlags::StyleOf(SaveQuestion::Open).questionIcon);
    EXPECT_TRUE(WorkflowFlags::StyleOf(SaveQuestion::Download).questionIcon);
    EXPECT_TRUE(WorkflowFlags::StyleOf(SaveQuestion::Run).questionIcon);
}
