#pragma once
// A drop-down list of colour swatches. Each item carries a colour value (0x00BBGGRR, red in the
// low byte) as its data; its name is kept for accessibility but never drawn. A colour is listed
// at most once, so a palette index read from the settings file is also the item's position.

#include <QComboBox>
#include <QStyledItemDelegate>

#include <cstdint>

namespace shakemeter {

class CColorComboBox : public QComboBox {
    Q_OBJECT
public:
    // Item data role of the colour value.
    static constexpr int kColorRole = Qt::UserRole;
    static constexpr int kSwatchWidth = 50;

    explicit CColorComboBox(QWidget* parent = nullptr);

    // Adds the colour unless an item already carries it; the new position, or -1 when it was
    // listed already.
    int AddColor(std::uint32_t color, const QString& name);
    // The 14 palette colours in index order, then position nSelect selected (none when nSelect
    // is no position of the list).
    void FillColors(int nSelect);
    std::uint32_t ColorAt(int position) const;
    // The selected position as the one byte the settings keep: 255 when nothing is selected.
    std::uint8_t SelectedIndexByte() const;

    static std::uint32_t ColorValue(int red, int green, int blue);
    static QColor ToQColor(std::uint32_t value);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Draws one item as the picker shows it: the item rectangle in the window colour (the highlight
// colour when selected, with a focus frame), and a 50-pixel swatch outlined in the pen colour,
// greyed when the item is disabled.
class ColorSwatchDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    static void DrawSwatchItem(QPainter* painter, const QRect& rect, const QColor& color, bool selected, bool enabled,
                               bool hasFocusFrame);
};

}  // namespace shakemeter
