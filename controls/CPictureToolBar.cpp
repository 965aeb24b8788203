#include "controls/CPictureToolBar.h"

#include <QAction>
#include <QIcon>
#include <QToolButton>

#include "controls/Pictures.h"

namespace shakemeter {

CPictureToolBar::CPictureToolBar(QWidget* parent) : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

QRgb CPictureToolBar::TransparentColour(const QImage& bitmap)
{
    return bitmap.pixel(0, bitmap.height() - 1);
}

bool CPictureToolBar::LoadImageList(const QImage& bitmap, int cx, std::vector<QPixmap>& images)
{
    if (bitmap.isNull() || cx <= 0) {
        return false;
    }
    const int count = bitmap.width() / cx;
    if (count < 1) {
        return false;
    }
    const QRgb key = TransparentColour(bitmap) & 0x00FFFFFFu;
    QImage keyed = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) == key) {
                line[x] = 0;
            }
        }
    }
    std::vector<QPixmap> made;
    made.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        made.push_back(QPixmap::fromImage(keyed.copy(i * cx, 0, cx, keyed.height())));
    }
    images = std::move(made);
    return true;
}

bool CPictureToolBar::SetList(ImageList list, int cx, const QImage& bitmap)
{
    std::vector<QPixmap> images;
    if (!LoadImageList(bitmap, cx, images)) {
        return false;
    }
    m_lists[list] = std::move(images);
    m_set[list] = true;
    if (list == Normal) {
        setIconSize(QSize(cx, bitmap.height()));
    }
    ApplyIcons();
    return true;
}

bool CPictureToolBar::SetImageLists(int cx, const QImage& normal, const QImage& hot, const QImage& disabled,
                                    bool wantHot, bool wantDisabled)
{
    if (!SetList(Normal, cx, normal)) {
        return false;
    }
    if (wantHot && !SetList(Hot, cx, hot)) {
        return false;
    }
    if (wantDisabled && !SetList(Disabled, cx, disabled)) {
        return false;
    }
    return true;
}

bool CPictureToolBar::SetImageLists(int cx, int normalId, int hotId, int disabledId)
{
    return SetImageLists(cx, LoadBitmap(normalId), hotId != 0 ? LoadBitmap(hotId) : QImage(),
                         disabledId != 0 ? LoadBitmap(disabledId) : QImage(), hotId != 0, disabledId != 0);
}

void CPictureToolBar::AddPictureButton(QAction* action)
{
    addAction(action);
    m_buttons.push_back(action);
    ApplyIcons();
}

void CPictureToolBar::SetFlat(bool flat)
{
    m_flat = flat;
    ApplyIcons();
}

QImage CPictureToolBar::GreyedPicture(const QImage& normal)
{
    QImage grey = normal.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            // Black becomes a mid grey and white stays nearly white: the shapes stay readable
            // but the picture no longer stands out from the button face.
            const int level = 128 + qGray(line[x]) * 96 / 255;
            line[x] = qRgba(level, level, level, qAlpha(line[x]));
        }
    }
    return grey;
}

void CPictureToolBar::ApplyIcons()
{
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        QIcon icon;
        const bool hasNormal = i < m_lists[Normal].size();
        if (hasNormal) {
            icon.addPixmap(m_lists[Normal][i], QIcon::Normal);
        }
        // A strip shorter than the toolbar leaves the later buttons without that state's picture;
        // they then show their normal one.
        if (m_flat && i < m_lists[Hot].size()) {
            icon.addPixmap(m_lists[Hot][i], QIcon::Active);
        }
        if (hasNormal) {
            const QImage normal = m_lists[Normal][i].toImage();
            const bool ownDisabled = i < m_lists[Disabled].size() && m_lists[Disabled][i].toImage() != normal;
            icon.addPixmap(ownDisabled ? m_lists[Disabled][i] : QPixmap::fromImage(GreyedPicture(normal)),
                           QIcon::Disabled);
        } else if (i < m_lists[Disabled].size()) {
            icon.addPixmap(m_lists[Disabled][i], QIcon::Disabled);
        }
        m_buttons[i]->setIcon(icon);
        if (auto* button = qobject_cast<QToolButton*>(widgetForAction(m_buttons[i]))) {
            button->setAutoRaise(m_flat);
        }
    }
}

}  // namespace shakemeter
