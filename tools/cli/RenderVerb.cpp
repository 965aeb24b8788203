#include "tools/cli/RenderVerb.h"

#include <QApplication>
#include <QPalette>
#include <cstdio>
#include <memory>
#include <optional>

#include "analysis/vibration/TimeRows.h"
#include "graph/core/CursorPlacement.h"
#include "graph/core/GraphModel.h"
#include "graph/widgets/GraphPicture.h"
#include "session/GraphSession.h"
#include "session/SessionFile.h"
#include "tools/cli/Verbs.h"

namespace shakemeter::cli {

int RunRender(int argc, char** argv, const RenderRequest& request)
{
    const std::optional<PictureFormat> format = PictureFormatOf(QString::fromStdString(request.out));
    if (!format) {
        std::fprintf(stderr, "shakemeter-cli: %s: the picture's name ends in .png, .svg or .pdf\n",
                     request.out.c_str());
        return 2;
    }
    // The painter needs a graphical application, but no display: the picture is drawn in memory.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    // A session names the recording and what the graph shows with it.
    std::optional<Session> session;
    std::shared_ptr<const Recording> compared;
    if (IsSessionPath(request.file)) {
        if (request.frequency || request.from || request.to || !request.cursors.empty()) {
            std::fprintf(stderr,
                         "shakemeter-cli: a session is drawn as it was saved: no --frequency, --from, --to or "
                         "--cursors\n");
            return 2;
        }
        SessionReadResult read = ReadSessionFile(request.file);
        if (!read.session) {
            std::fprintf(stderr, "shakemeter-cli: %s\n", read.error.c_str());
            return 1;
        }
        session = std::move(read.session);
        if (session->comparison) {
            Recording comparedRecording;
            RecordingView comparedView;
            if (const int status = LoadRecording(session->comparison->file, false, comparedRecording, comparedView))
                return status;
            compared = std::make_shared<const Recording>(std::move(comparedRecording));
        }
    }

    Recording document;
    RecordingView view;
    if (const int status =
            LoadRecording(session ? session->recording : request.file, request.frequency, document, view))
        return status;
    GraphModel model;
    model.Attach(&document, &view);
    if (session) {
        const std::string fault = SessionRowsFault(*session, request.file, document, compared.get());
        if (!fault.empty()) {
            std::fprintf(stderr, "shakemeter-cli: %s\n", fault.c_str());
            return 2;
        }
        // Put back in the picture's own geometry after a first paint, as the program puts a session
        // back in its pane's.
        model.state().m_nSummaryHeight = 0;
        model.SetScreenGeometry(PlotRect{0, 0, request.width, request.height});
        model.PrepareDrawing(false, false);
        model.FinishDrawing();
        ApplySessionMarks(model, *session, compared);
        if (session->zoom) {
            if (const std::optional<ZoomRows> rows = SessionZoomRows(model, *session->zoom, false))
                model.ZoomOntoRows(rows->first, rows->last, false);
        }
    }
    if (request.from || request.to) {
        const std::size_t rows = static_cast<std::size_t>(std::max(0, model.TableRows()));
        const auto end = [](const std::optional<long long>& row) {
            return row ? std::optional<std::size_t>(static_cast<std::size_t>(*row)) : std::nullopt;
        };
        const vibration::RangeChoice choice = vibration::ChooseRange(rows, end(request.from), end(request.to));
        if (!choice.range) {
            std::fprintf(stderr, "shakemeter-cli: %s\n", choice.refusal.c_str());
            return 2;
        }
        // The rows shown, 1-based, as the axis setup chooses them.
        view.SetShownRange(static_cast<int>(choice.range->from) + 1, static_cast<int>(choice.range->to) + 1);
    }

    if (!request.cursors.empty()) {
        const auto shown = ShownSampleRows(model);
        if (!shown) {
            std::fprintf(stderr, "shakemeter-cli: cursors stand on sample rows; the graph shows none\n");
            return 2;
        }
        for (long long row : request.cursors) {
            if (row < static_cast<long long>(shown->from) || row > static_cast<long long>(shown->to)) {
                std::fprintf(stderr, "shakemeter-cli: cursor row %lld is not one of the rows drawn, %zu to %zu\n", row,
                             shown->from, shown->to);
                return 2;
            }
        }
        model.SetCursors(CursorPair{static_cast<std::size_t>(request.cursors.front()),
                                    static_cast<std::size_t>(request.cursors.back())});
    }

    PictureOptions options;
    options.size = QSize(request.width, request.height);
    options.panelColor = QApplication::palette().color(QPalette::Button);
    // Written under the name as given: a name that is no UTF-8 text would not come through a
    // QString as itself, and another file would be written in its place.
    QString reason;
    if (!WriteGraphPicture(model, QByteArray::fromStdString(request.out), options, &reason)) {
        std::fprintf(stderr, "shakemeter-cli: cannot write %s: %s\n", request.out.c_str(), reason.toUtf8().constData());
        return 1;
    }
    return 0;
}

}  // namespace shakemeter::cli
