#pragma once
// The toolbar of the main window and the graph view: its buttons show full-colour pictures cut
// from one picture strip per state (normal, under the mouse, disabled). The colour of a strip's
// first stored pixel (bottom left, as bitmaps store their rows bottom-up) is transparent in every
// picture of that strip. Button i (separators not counted) shows picture i of each strip.
//
// A flat toolbar raises the button under the mouse and shows its hot picture there; a toolbar that
// is not flat keeps raised buttons and never shows the hot pictures. A disabled button whose
// disabled picture is its normal one (or that has none) shows the normal picture greyed, so it
// does not look as if it could be pressed.

#include <QPixmap>
#include <QToolBar>
#include <vector>

namespace shakemeter {

class CPictureToolBar : public QToolBar {
    Q_OBJECT
public:
    enum ImageList { Normal, Hot, Disabled };

    explicit CPictureToolBar(QWidget* parent = nullptr);

    // Sets the normal list, then the hot list when hotId is not 0, then the disabled list when
    // disabledId is not 0. Stops at the first list that cannot be made and returns false; the
    // lists set before stay.
    bool SetImageLists(int cx, int normalId, int hotId, int disabledId);
    // The same from pictures in hand (a null image fails like a missing bitmap).
    bool SetImageLists(int cx, const QImage& normal, const QImage& hot, const QImage& disabled, bool wantHot = true,
                       bool wantDisabled = true);

    // Cuts `bitmap` into bitmap.width() / cx whole pictures of width cx with the first stored
    // pixel's colour made transparent. False when the bitmap is null or holds no whole picture.
    static bool LoadImageList(const QImage& bitmap, int cx, std::vector<QPixmap>& images);
    static QRgb TransparentColour(const QImage& bitmap);

    const std::vector<QPixmap>& Images(ImageList list) const { return m_lists[list]; }
    bool HasImageList(ImageList list) const { return m_set[list]; }

    // Adds a button for the action with the next picture of the strips.
    void AddPictureButton(QAction* action);

    // Flat (the default): hot pictures and raised-on-hover buttons.
    void SetFlat(bool flat);
    bool IsFlat() const { return m_flat; }

    // The picture a disabled button shows instead of `normal`: the same shapes in greys, lighter
    // and with less contrast; transparent pixels stay transparent.
    static QImage GreyedPicture(const QImage& normal);

private:
    bool SetList(ImageList list, int cx, const QImage& bitmap);
    void ApplyIcons();

    std::vector<QPixmap> m_lists[3];
    bool m_set[3] = {false, false, false};
    bool m_flat = true;
    std::vector<QAction*> m_buttons;
};

}  // namespace shakemeter
