#pragma once
// The choices of a picture of the graph: the pane's size or a size the user enters, the theme,
// the legend and the event marks.

#include <QDialog>
#include <QSize>

class QCheckBox;
class QSpinBox;

namespace shakemeter {

struct GraphPictureChoice {
    bool paneSize = true;
    QSize size{1600, 900};  // used when paneSize is off
    bool lightTheme = false;
    bool legend = false;
    bool eventMarks = false;
};

class CGraphPictureDlg : public QDialog {
    Q_OBJECT
public:
    // pane is the size the graph has in the pane now.
    CGraphPictureDlg(const GraphPictureChoice& start, const QSize& pane, QWidget* parent = nullptr);

    GraphPictureChoice Choice() const;
    // The picture's size as chosen.
    QSize ChosenSize() const;

    QCheckBox* PaneSizeBox() const { return m_paneSize; }
    QSpinBox* WidthBox() const { return m_width; }
    QSpinBox* HeightBox() const { return m_height; }
    QCheckBox* LightThemeBox() const { return m_light; }

    static constexpr int kSmallestSide = 200;
    static constexpr int kLargestSide = 20000;

private:
    QSize m_pane;
    QCheckBox* m_paneSize = nullptr;
    QSpinBox* m_width = nullptr;
    QSpinBox* m_height = nullptr;
    QCheckBox* m_light = nullptr;
    QCheckBox* m_legend = nullptr;
    QCheckBox* m_marks = nullptr;
};

}  // namespace shakemeter
