// Download over a fake logger: command sequence, block lengths, time-outs, decoding, failures.

#include <gtest/gtest.h>

#include "tests/logger/LinkTestSupport.h"

namespace shakemeter::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Cmd(std::uint8_t code, std::uint8_t hi, std::uint8_t lo)
{
    return {code, hi, lo};
}

class Download : public LinkTest {
protected:
    // Every write of a download is a 3-byte block request under the 1000 ms write time-out and
    // every read has the 3000 ms read time-out.
    void ExpectDownloadTimeouts() const
    {
        for (const auto& e : device.exchanges) {
            if (e.kind == FakeDeviceLibrary::Exchange::Write) {
                EXPECT_EQ(e.writeTimeout, 1000u);
                EXPECT_EQ(e.readTimeout, 0u);
            } else {
                EXPECT_EQ(e.readTimeout, 3000u);
                EXPECT_EQ(e.writeTimeout, 0u);
            }
        }
    }
    // A header read that failed: one message, nothing asked after the header request, no
    // progress, the previous recording kept and the device closed as it was found.
    void ExpectHeaderReadFailedAlone() const
    {
        EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Failed reading data from the shakemeter."}));
        EXPECT_EQ(device.Written().size(), 1u);
        EXPECT_TRUE(host.progress.empty());
        ExpectPreviousRecording();
        ExpectClosedWithTimeoutsRestored();
    }
};

TEST_F(Download, TwoFullDataBlocksFor504Bytes)
{
    device.ScriptDownload(HeaderReply(504, 0), SampleStream(84, false, 504), {});
    ASSERT_TRUE(link.Download());
    EXPECT_EQ(device.Written(), (std::vector<Bytes>{Cmd(0, 0, 0), Cmd(0, 0, 1), Cmd(0, 0, 2)}));
    EXPECT_EQ(device.ReadSizes(), (std::vector<std::uint32_t>{22, 252, 252}));
    ExpectDownloadTimeouts();
    ExpectClosedWithTimeoutsRestored();
    EXPECT_TRUE(host.messages.empty());

    const Recording& r = host.document;
    EXPECT_EQ(r.m_header.dwSampleCount, 84u);
    ASSERT_EQ(r.m_pSamples.size(), 84u);
    EXPECT_EQ(r.m_pSamples[0], (SampleRow{0.0, 0.0, 1.0, 1.0}));
    EXPECT_EQ(r.m_pSamples[83][0], MilliGToG(84 * 4));
    EXPECT_EQ(r.m_pSamples[83][1], MilliGToG(-84 * 4));
    EXPECT_TRUE(r.m_pSampleTicks.empty());
    EXPECT_EQ(r.m_bRealTime, 0);
    // Bytes 6-20 of the reply pass into the header unchanged.
    EXPECT_EQ(r.m_header.wInterval, 200);
    EXPECT_EQ(r.m_header.byThresholdZ, 4);
    EXPECT_EQ(r.m_header.wYear, 2023);
    EXPECT_EQ(r.m_header.byLedCycle, 20);
    EXPECT_EQ(r.m_header.byStartMode, 1);
    EXPECT_EQ(host.view.m_recHeader, r.m_header);
    EXPECT_EQ(host.view.m_nShownCount, 84);
    EXPECT_EQ(host.tempCopies, 1);
    EXPECT_EQ(host.Installed(RecordingSource::Download), 1);
    EXPECT_EQ(host.installed.size(), 1u);
    EXPECT_EQ(host.progress, (std::vector<std::string>{"show 2", "set 0", "set 1", "set 1", "set 2", "end"}));
}

TEST_F(Download, OddByteCountReadsARemainderBlockThatIsNotDecoded)
{
    device.ScriptDownload(HeaderReply(505, 0), SampleStream(84, false, 505), {});
    ASSERT_TRUE(link.Download());
    EXPECT_EQ(device.Written().size(), 4u);
    EXPECT_EQ(device.Written().back(), Cmd(0, 0, 3));
    EXPECT_EQ(device.ReadSizes(), (std::vector<std::uint32_t>{22, 252, 252, 1}));
    EXPECT_EQ(host.document.m_pSamples.size(), 84u);
}

TEST_F(Download, MotionRecordsOfNineBytesCarryTicks)
{
    device.ScriptDownload(HeaderReply(900, 0, MODE_MOTION), SampleStream(100, true, 900), {});
    ASSERT_TRUE(link.Download());
    EXPECT_EQ(device.ReadSizes(), (std::vector<std::uint32_t>{22, 252, 252, 252, 144}));
    const Recording& r = host.document;
    ASSERT_EQ(r.m_pSamples.size(), 100u);
    ASSERT_EQ(r.m_pSampleTicks.size(), 100u);
    EXPECT_EQ(r.m_pSampleTicks[0], 0);
    EXPECT_EQ(r.m_pSampleTicks[99], 297);
    EXPECT_EQ(r.m_pSamples[99][0], MilliGToG(400));
    EXPECT_EQ(r.m_header.dwSampleCount, 100u);
}

TEST_F(Download, SixBlocksFor1512BytesWithTheirProgress)
{
    device.ScriptDownload(HeaderReply(1512, 0), SampleStream(252, false, 1512), {});
    ASSERT_TRUE(link.Download());
    EXPECT_EQ(device.ReadSizes(), (std::vector<std::uint32_t>{22, 252, 252, 252, 252, 252, 252}));
    EXPECT_EQ(host.progress.front(), "show 6");
    EXPECT_EQ(host.progress[host.progress.size() - 2], "set 6");
    EXPECT_EQ(host.document.m_pSamples.size(), 252u);
}

TEST_F(Download, EventBlocksAreNumberedFromOneAgainAfterTheData)
{
    device.ScriptDownload(HeaderReply(12, 3), SampleStream(2, false, 12), EventStream(3));
    ASSERT_TRUE(link.Download());
    EXPECT_EQ(device.Written(), (std::vector<Bytes>{Cmd(0, 0, 0), Cmd(0, 0, 1), Cmd(0, 0, 1)}));
    EXPECT_EQ(device.ReadSizes(), (std::vector<std::uint32_t>{22, 12, 18}));
    EXPECT_EQ(host.progress, (std::vector<std::string>{"show 2", "set 0", "set 1", "set 1", "set 2", "set 2", "end"}));
    EXPECT_EQ(host.document.m_pSamples.size(), 2u);
    EXPECT_EQ(host.document.m_pFreeFallEvents,
              (std::vector<std::string>{"05/03/23 14:07:00", "05/03/23 14:07:01", "05/03/23 14:07:02"}));
}

TEST_F(Download, FortyThreeEventsTakeTwoEventBlocks)
{
    device.ScriptDownload(HeaderReply(6, 43), SampleStream(1, false, 6), EventStream(43));
    ASSERT_TRUE(link.Download());
    EXPECT_EQ(device.ReadSizes(), (std::vector<std::uint32_t>{22, 6, 252, 6}));
    EXPECT_EQ(device.Written()[3], Cmd(0, 0, 2));
    ASSERT_EQ(host.document.m_pFreeFallEvents.size(), 43u);
    EXPECT_EQ(host.document.m_pFreeFallEvents[42], "05/03/23 14:07:42");
}

TEST_F(Download, EventsWithoutSamplesInstallAnEmptyRecordingEverywhere)
{
    host.view.m_nShownCount = 3;  // what the previous recording showed
    device.ScriptDownload(HeaderReply(0, 2), {}, EventStream(2));
    ASSERT_TRUE(link.Download());
    EXPECT_EQ(device.ReadSizes(), (std::vector<std::uint32_t>{22, 12}));
    EXPECT_EQ(host.document.m_header.dwSampleCount, 0u);
    EXPECT_TRUE(host.document.m_pSamples.empty());
    EXPECT_EQ(host.document.m_pFreeFallEvents.size(), 2u);
    EXPECT_EQ(host.view.m_nShownCount, 0);  // nothing keeps drawing the old rows
    EXPECT_EQ(host.view.m_recHeader, host.document.m_header);
    EXPECT_EQ(host.Installed(RecordingSource::Download), 1);
}

TEST_F(Download, ShortBlockIsAFailedReadNotSamplesOfZero)
{
    std::vector<std::uint8_t> stream = SampleStream(84, false, 504);
    device.ScriptDownload(HeaderReply(504, 0), stream, {});
    device.replies[2].resize(6);  // the second block delivers only its first record
    EXPECT_FALSE(link.Download());
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Failed reading data from the shakemeter."}));
    EXPECT_EQ(host.progress.back(), "end");
    ExpectPreviousRecording();
    ExpectClosedWithTimeoutsRestored();
    EXPECT_EQ(host.tempCopies, 0);
}

// Cancel between blocks: no block asked after it, no other command (the memory stays), the
// previous recording kept, the connection closed, nothing told; the next download is whole.
TEST_F(Download, CancelBetweenBlocksEndsTheTransferAndKeepsThePreviousRecording)
{
    // The user cancels when the progress reaches the second block.
    const auto downloadCancelledAtBlock2 = [&] {
        host.onProgress = [&](int position) {
            if (position == 2)
                link.RequestCancel();
        };
        EXPECT_FALSE(link.Download());
        EXPECT_TRUE(link.DownloadCancelled());
    };
    device.ScriptDownload(HeaderReply(1512, 0), SampleStream(252, false, 1512), {});
    downloadCancelledAtBlock2();
    // The header and blocks 1 and 2, each only a read request.
    EXPECT_EQ(device.Written(), (std::vector<Bytes>{Cmd(0, 0, 0), Cmd(0, 0, 1), Cmd(0, 0, 2)}));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.progress.back(), "end");
    ExpectPreviousRecording();
    ExpectClosedWithTimeoutsRestored();
    EXPECT_EQ(host.tempCopies, 0);
    EXPECT_EQ(host.Installed(RecordingSource::Download), 0);

    // A request with the last block still keeps the shown recording.
    device.replies.clear();  // what the cancelled transfer left unread
    device.ScriptDownload(HeaderReply(504, 0), SampleStream(84, false, 504), {});
    downloadCancelledAtBlock2();
    ExpectPreviousRecording();

    // A request made before a download does not end it.
    host.onProgress = nullptr;
    link.RequestCancel();
    device.replies.clear();
    device.ScriptDownload(HeaderReply(504, 0), SampleStream(84, false, 504), {});
    EXPECT_TRUE(link.Download());
    EXPECT_FALSE(link.DownloadCancelled());
    EXPECT_EQ(host.document.m_pSamples.size(), 84u);
}

TEST_F(Download, ShortHeaderReplyAsksForNoBlock)
{
    device.ScriptDownload(HeaderReply(504, 0), SampleStream(84, false, 504), {});
    device.replies[0].resize(21);
    EXPECT_FALSE(link.Download());
    ExpectHeaderReadFailedAlone();
}

TEST_F(Download, EmptyMemoryIsReportedWithTheInformationIcon)
{
    device.ScriptDownload(HeaderReply(0, 0), {}, {});
    EXPECT_FALSE(link.Download());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].first, MessageKind::Information);
    EXPECT_EQ(host.messages[0].second, "Shakemeter internal memory is currently empty.");
    EXPECT_TRUE(host.progress.empty());
    ExpectPreviousRecording();
    ExpectClosedWithTimeoutsRestored();
}

TEST_F(Download, FailedHeaderReadLeavesEverythingAsItWas)
{
    device.ScriptDownload(HeaderReply(504, 0), SampleStream(84, false, 504), {});
    device.failReadAt = 0;
    EXPECT_FALSE(link.Download());
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Failed reading data from the shakemeter."}));
    EXPECT_EQ(host.messages[0].first, MessageKind::Plain);
    EXPECT_TRUE(host.progress.empty());
    ExpectPreviousRecording();
    ExpectClosedWithTimeoutsRestored();
    EXPECT_EQ(host.tempCopies, 0);
}

TEST_F(Download, FailedHeaderRequestWriteIsAFailedRead)
{
    device.ScriptDownload(HeaderReply(504, 0), SampleStream(84, false, 504), {});
    device.failWriteAt = 0;
    EXPECT_FALSE(link.Download());
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Failed reading data from the shakemeter."}));
    EXPECT_TRUE(device.ReadSizes().empty());
    ExpectClosedWithTimeoutsRestored();
}

TEST_F(Download, UnpluggedMidTransferKeepsThePreviousRecording)
{
    device.ScriptDownload(HeaderReply(1512, 0), SampleStream(252, false, 1512), {});
    device.failReadAt = 3;  // header, block 1, block 2, then block 3 fails
    EXPECT_FALSE(link.Download());
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Failed reading data from the shakemeter."}));
    EXPECT_EQ(device.Written().size(), 4u);  // nothing asked after the failure
    EXPECT_EQ(host.progress.back(), "end");
    ExpectPreviousRecording();
    ExpectClosedWithTimeoutsRestored();
    EXPECT_EQ(host.tempCopies, 0);
    EXPECT_TRUE(host.installed.empty());
}

TEST_F(Download, FailedBlockRequestWriteEndsTheTransferTheSameWay)
{
    device.ScriptDownload(HeaderReply(12, 3), SampleStream(2, false, 12), EventStream(3));
    device.failWriteAt = 2;  // the event block request
    EXPECT_FALSE(link.Download());
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.progress.back(), "end");
    ExpectPreviousRecording();
    ExpectClosedWithTimeoutsRestored();
}

TEST_F(Download, OversizeHeaderIsAFailedReadWithoutBlockRequests)
{
    device.ScriptDownload(HeaderReply(LOGGER_MAX_MEMORY_BYTES + 1, 0), {}, {});
    EXPECT_FALSE(link.Download());
    ExpectHeaderReadFailedAlone();

    // 0xFFFFFFFF bytes: the same, not an allocation of 4 GiB.
    FakeDeviceLibrary device2;
    FakeLoggerHost host2;
    CLoggerLink link2(device2, host2);
    device2.ScriptDownload(HeaderReply(0xFFFFFFFFu, 0xFFFF), {}, {});
    EXPECT_FALSE(link2.Download());
    EXPECT_EQ(host2.messages.size(), 1u);
    EXPECT_EQ(device2.Written().size(), 1u);
}

TEST_F(Download, LargestAddressableMemoryIsNotRefused)
{
    // 65535 blocks is the most 16-bit block numbers reach; it fails here only because the
    // script ends after the header.
    device.ScriptDownload(HeaderReply(65535u * 252u, 0), {}, {});
    EXPECT_FALSE(link.Download());
    EXPECT_EQ(device.Written().size(), 2u);  // the first block was asked for
    EXPECT_EQ(host.progress.front(), "show 65535");

    // 16 MiB would need block number 65536, which the command cannot carry.
    FakeDeviceLibrary device2;
    FakeLoggerHost host2;
    CLoggerLink link2(device2, host2);
    device2.ScriptDownload(HeaderReply(LOGGER_MAX_MEMORY_BYTES, 0), {}, {});
    EXPECT_FALSE(link2.Download());
    EXPECT_EQ(device2.Written().size(), 1u);
    EXPECT_TRUE(host2.progress.empty());
}

TEST_F(Download, NoLoggerMeansNoMessageAndNothingSent)
{
    device.bridges = 0;
    EXPECT_FALSE(link.Download());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(device.exchanges.empty());
    device.bridges = 1;
    device.openFails = true;
    EXPECT_FALSE(link.Download());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(Download, FirstBridgeWhoseStringCanBeReadIsTheLogger)
{
    device.bridges = 3;
    device.stringFails = {0};
    EXPECT_EQ(link.FindDevice(), 1);
    device.ScriptDownload(HeaderReply(6, 0), SampleStream(1, false, 6), {});
    ASSERT_TRUE(link.Download());
    EXPECT_EQ(device.opened, (std::vector<std::uint32_t>{1}));
    device.stringFails = {0, 1, 2};
    EXPECT_EQ(link.FindDevice(), -1);
    device.numDevicesFails = true;
    device.stringFails.clear();
    EXPECT_EQ(link.FindDevice(), -1);
}

TEST_F(Download, ProbeOpensAndClosesAtOnce)
{
    EXPECT_TRUE(link.ProbeDevice());
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(device.openHandles, 0);
    EXPECT_EQ(device.closes, 1);
    device.openFails = true;
    EXPECT_FALSE(link.ProbeDevice());
    link.CloseDevice();  // harmless on a closed link
    EXPECT_EQ(device.closes, 1);
}

}  // namespace
}  // namespace shakemeter::test
