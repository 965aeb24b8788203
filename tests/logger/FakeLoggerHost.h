#pragma once
// The program around a link, for tests: owns a recording and its view companions, and records
// every message, progress step, temporary copy, timer change and refresh the link asks for.

#include <string>
#include <utility>
#include <vector>

#include "logger/LoggerHost.h"

namespace shakemeter::test {

class FakeLoggerHost : public LoggerHost {
public:
    Recording document;
    RecordingView view;

    std::vector<std::pair<MessageKind, std::string>> messages;
    std::vector<std::string> progress;  // "show 6", "set 1", "end"
    int tempCopies = 0;
    int timerPeriod = 0;  // 0 when the timer is not running
    int timerStarts = 0;
    bool reading = false;
    int dataUnsaved = 0;
    int plotWidth = 600;
    double plotScale = 0.0;
    int zoomOuts = 0;
    int allViewUpdates = 0;
    int plotInvalidations = 0;
    int viewInvalidations = 0;
    int realTimePlots = 0;
    int summaryUpdates = 0;
    bool dataListOpen = false;
    int dataListRefreshes = 0;
    int dataListCloses = 0;

    Recording& Document() override { return document; }
    RecordingView& View() override { return view; }
    void ShowMessage(MessageKind kind, const std::string& text) override { messages.emplace_back(kind, text); }
    void ShowProgress(int rangeMax) override { progress.push_back("show " + std::to_string(rangeMax)); }
    void SetProgress(int position) override { progress.push_back("set " + std::to_string(position)); }
    void EndProgress() override { progress.push_back("end"); }
    void WriteTempCopy() override { ++tempCopies; }
    void StartTimer(int ms) override
    {
        timerPeriod = ms;
        ++timerStarts;
    }
    void KillTimer() override { timerPeriod = 0; }
    bool IsReading() const override { return reading; }
    void SetReading(bool value) override { reading = value; }
    void SetDataUnsaved() override { ++dataUnsaved; }
    int PlotWidth() const override { return plotWidth; }
    void SetPlotScale(double scale) override { plotScale = scale; }
    void OnZoomOut() override { ++zoomOuts; }
    void UpdateAllViews() override { ++allViewUpdates; }
    void InvalidatePlot() override { ++plotInvalidations; }
    void InvalidateView() override { ++viewInvalidations; }
    void UpdateRealTimePlot() override { ++realTimePlots; }
    void UpdateSummaryPanel() override { ++summaryUpdates; }
    bool IsDataListOpen() const override { return dataListOpen; }
    void RefreshDataList() override { ++dataListRefreshes; }
    void CloseDataList() override
    {
        ++dataListCloses;
        dataListOpen = false;
    }
};

}  // namespace shakemeter::test
