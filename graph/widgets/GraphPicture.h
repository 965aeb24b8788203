#pragma once
// A picture of the graph pane: the pane's graph drawn by its own painter at a chosen size into an
// image (PNG), an SVG drawing or a one-page PDF. The picture is drawn from a copy of the model,
// so the pane's own geometry, zoom and read-out stay as they are; it leaves out what belongs to
// the mouse (the read-out line's texts) and the summary panel above the graph.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

#include "graph/core/GraphExtras.h"
#include "graph/core/GraphModel.h"

class QPainter;

namespace shakemeter {

enum class PictureFormat { Png, Svg, Pdf };

// The format a file name asks for by its extension (.png, .svg, .pdf, in any case).
std::optional<PictureFormat> PictureFormatOf(const QString& path);

struct PictureOptions {
    QSize size{1600, 900};
    GraphColors colors;                // the pane's palette choices
    QColor panelColor{240, 240, 240};  // the system's button face
    bool lightTheme = false;
    GraphExtras extras;
};

// The picture's size for a pane of the given size: the pane below its summary panel.
QSize PaneGraphSize(const QSize& pane, int summaryHeight);

// Draws the picture with the painter on a device of options.size.
void PaintGraphPicture(QPainter& painter, const GraphModel& model, const PictureOptions& options);
QImage RenderGraphImage(const GraphModel& model, const PictureOptions& options);

// The picture's bytes in the format; empty when the drawing could not be encoded.
QByteArray EncodeGraphPicture(const GraphModel& model, const PictureOptions& options, PictureFormat format);

// Writes the picture to path in the format its extension names, replacing the file whole or
// leaving it as it was. On failure, error says why, naming the file.
bool WriteGraphPicture(const GraphModel& model, const QString& path, const PictureOptions& options,
                       QString* error = nullptr);
// The same for a name given as the system's bytes, written under exactly those bytes even when
// they are no UTF-8 text. On failure, reason says why without naming the file.
bool WriteGraphPicture(const GraphModel& model, const QByteArray& path, const PictureOptions& options, QString* reason);

}  // namespace shakemeter
