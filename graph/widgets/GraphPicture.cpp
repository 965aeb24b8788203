#include "graph/widgets/GraphPicture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include "graph/widgets/GraphPainter.h"
#include "recording/AtomicFile.h"

namespace shakemeter {

std::optional<PictureFormat> PictureFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return PictureFormat::Png;
    if (suffix == QLatin1String("svg"))
        return PictureFormat::Svg;
    if (suffix == QLatin1String("pdf"))
        return PictureFormat::Pdf;
    return std::nullopt;
}

QSize PaneGraphSize(const QSize& pane, int summaryHeight)
{
    return QSize(pane.width(), std::max(0, pane.height() - std::max(0, summaryHeight)));
}

void PaintGraphPicture(QPainter& painter, const GraphModel& model, const PictureOptions& options)
{
    // The pane's model keeps the pane's geometry and zoom; the picture's drawing changes a copy.
    GraphModel copy = model;
    GraphState& s = copy.state();
    s.m_nSummaryHeight = 0;
    s.g_bPrinting = false;
    for (std::string* text :
         {&s.g_strReadoutHead, &s.g_strReadoutX, &s.g_strReadoutY, &s.g_strReadoutZ, &s.g_strReadoutV})
        text->clear();
    PaintParams params;
    params.client = PlotRect{0, 0, options.size.width(), options.size.height()};
    params.panelColor = options.panelColor;
    ApplyTheme(params, options.lightTheme ? LightTheme() : ScreenTheme(options.colors));
    params.extras = &options.extras;
    painter.fillRect(QRect(QPoint(0, 0), options.size), params.surround);
    PaintGraphFrame(painter, copy, params);
}

QImage RenderGraphImage(const GraphModel& model, const PictureOptions& options)
{
    QImage image(options.size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    PaintGraphPicture(painter, model, options);
    return image;
}

namespace {

// Draws the picture on a device that writes as it is painted on (a vector file); false when the
// device cannot be opened for painting.
bool PaintOnto(QPaintDevice& device, const GraphModel& model, const PictureOptions& options)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    PaintGraphPicture(painter, model, options);
    painter.end();
    return true;
}

}  // namespace

QByteArray EncodeGraphPicture(const GraphModel& model, const PictureOptions& options, PictureFormat format)
{
    if (options.size.isEmpty())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
    case PictureFormat::Png: {
        const QImage image = RenderGraphImage(model, options);
        if (image.isNull() || !image.save(&buffer, "PNG"))
            return {};
        break;
    }
    case PictureFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(options.size);
        svg.setViewBox(QRect(QPoint(0, 0), options.size));
        svg.setTitle(QStringLiteral("Graph"));
        if (!PaintOnto(svg, model, options))
            return {};
        // The generator states the size in millimetres at its resolution, which readers turn back
        // into pixels at resolutions of their own: the picture is given its size in pixels.
        static const QRegularExpression physical(QStringLiteral("<svg width=\"[0-9.]+mm\" height=\"[0-9.]+mm\""));
        const QString head = QString::fromUtf8(bytes.left(512));
        const QRegularExpressionMatch match = physical.match(head);
        if (match.hasMatch()) {
            const QByteArray pixels = QStringLiteral("<svg width=\"%1\" height=\"%2\"")
                                          .arg(options.size.width())
                                          .arg(options.size.height())
                                          .toUtf8();
            bytes.replace(match.capturedStart(), match.capturedLength(), pixels);
        }
        break;
    }
    case PictureFormat::Pdf: {
        // One page of exactly the picture's size at 72 dots an inch: a pixel is a point. The size
        // must not be matched to a paper size a point or two away, which would cut the picture's
        // edge or leave a blank strip.
        QPdfWriter pdf(&buffer);
        pdf.setResolution(72);
        pdf.setPageLayout(
            QPageLayout(QPageSize(QSizeF(options.size), QPageSize::Point, QString(), QPageSize::ExactMatch),
                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        pdf.setCreator(QStringLiteral("Shakemeter"));
        if (!PaintOnto(pdf, model, options))
            return {};
        break;
    }
    }
    return bytes;
}

bool WriteGraphPicture(const GraphModel& model, const QByteArray& path, const PictureOptions& options, QString* reason)
{
    const auto fail = [&](const QString& why) {
        if (reason != nullptr)
            *reason = why;
        return false;
    };
    const std::optional<PictureFormat> format = PictureFormatOf(QFile::decodeName(path));
    if (!format)
        return fail(QStringLiteral("the name ends in none of .png, .svg and .pdf"));
    if (options.size.width() < 1 || options.size.height() < 1)
        return fail(QStringLiteral("the picture has no size"));
    const QByteArray bytes = EncodeGraphPicture(model, options, *format);
    if (bytes.isEmpty())
        return fail(QStringLiteral("the picture could not be made (too large?)"));
    FileWriteError written;
    if (!WriteFileAtomically(path.toStdString(),
                             std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                             FileSystemCalls::System(), &written))
        return fail(QString::fromStdString(written.reason));
    return true;
}

bool WriteGraphPicture(const GraphModel& model, const QString& path, const PictureOptions& options, QString* error)
{
    QString reason;
    if (WriteGraphPicture(model, QFile::encodeName(path), options, &reason))
        return true;
    if (error != nullptr)
        *error = QStringLiteral("Cannot write %1: %2").arg(path, reason);
    return false;
}

}  // namespace shakemeter
