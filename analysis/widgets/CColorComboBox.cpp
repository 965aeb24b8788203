#include "analysis/widgets/CColorComboBox.h"

#include <QApplication>
#include <algorithm>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include "graph/core/Palette.h"

namespace shakemeter {

namespace {

// The system's colours, not the dialog's: the dialog paints its own background over the
// controls, but list items keep the desktop's window and highlight colours.
const QPalette& SystemPalette()
{
    static const QPalette palette = QApplication::style()->standardPalette();
    return palette;
}

}  // namespace

CColorComboBox::CColorComboBox(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new ColorSwatchDelegate(this));
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    setMinimumContentsLength(0);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

std::uint32_t CColorComboBox::ColorValue(int red, int green, int blue)
{
    return static_cast<std::uint32_t>(red & 0xFF) | (static_cast<std::uint32_t>(green & 0xFF) << 8) |
           (static_cast<std::uint32_t>(blue & 0xFF) << 16);
}

QColor CColorComboBox::ToQColor(std::uint32_t value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

int CColorComboBox::AddColor(std::uint32_t color, const QString& name)
{
    for (int i = 0; i < count(); ++i) {
        if (ColorAt(i) == color) {
            return -1;
        }
    }
    const int position = count();
    // No text: the list shows swatches only, and typing a letter must not jump by name.
    addItem(QString());
    setItemData(position, QVariant::fromValue(color), kColorRole);
    setItemData(position, name, Qt::AccessibleTextRole);
    setItemData(position, name, Qt::ToolTipRole);
    return position;
}

void CColorComboBox::FillColors(int nSelect)
{
    for (int i = 0; i < PALETTE_SIZE; ++i) {
        const RgbColor c = ColorFromIndex(i);
        AddColor(ColorValue(c.red, c.green, c.blue),
                 QString::fromUtf8(ColorName(i).data(), static_cast<qsizetype>(ColorName(i).size())));
    }
    setCurrentIndex(nSelect >= 0 && nSelect < count() ? nSelect : -1);
}

std::uint32_t CColorComboBox::ColorAt(int position) const
{
    return itemData(position, kColorRole).value<std::uint32_t>();
}

std::uint8_t CColorComboBox::SelectedIndexByte() const
{
    // No selection gives the low byte of -1.
    return static_cast<std::uint8_t>(currentIndex() & 0xFF);
}

void CColorComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0) {
        return;
    }
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    painter.setPen(Qt::black);
    ColorSwatchDelegate::DrawSwatchItem(&painter, field, ToQColor(ColorAt(currentIndex())), hasFocus(), isEnabled(),
                                        hasFocus());
}

void ColorSwatchDelegate::DrawSwatchItem(QPainter* painter, const QRect& rect, const QColor& color, bool selected,
                                         bool enabled, bool hasFocusFrame)
{
    const QPalette& system = SystemPalette();
    const QColor background = system.color(QPalette::Active, selected ? QPalette::Highlight : QPalette::Base);
    const QColor swatch = enabled ? color : system.color(QPalette::Disabled, QPalette::WindowText);
    painter->save();
    painter->fillRect(rect, background);
    if (selected && hasFocusFrame) {
        QPen dotted(system.color(QPalette::Active, QPalette::HighlightedText));
        dotted.setStyle(Qt::DotLine);
        painter->setPen(dotted);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
    }
    painter->setPen(QPen(Qt::black));
    painter->setBrush(swatch);
    // From (left + 1, top + 1) to (left + 51, bottom - 1), the right and bottom edges excluded.
    const QRect box(QPoint(rect.left() + 1, rect.top() + 1), QPoint(rect.left() + 50, rect.bottom() - 1));
    painter->drawRect(box.adjusted(0, 0, -1, -1));
    painter->restore();
}

void ColorSwatchDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto value = index.data(CColorComboBox::kColorRole).value<std::uint32_t>();
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const bool enabled = option.state.testFlag(QStyle::State_Enabled) && (index.flags() & Qt::ItemIsEnabled);
    DrawSwatchItem(painter, option.rect, CColorComboBox::ToQColor(value), selected, enabled, selected);
}

QSize ColorSwatchDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // The usual height of a list row; wide enough for the swatch.
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), option.fontMetrics.height() + 2));
    size.setWidth(std::max(size.width(), CColorComboBox::kSwatchWidth + 4));
    return size;
}

}  // namespace shakemeter
