#pragma once
// The colour setup (dialog 217, "Color Setup"): six swatch pickers for the background, the grid
// and the four traces. The view keeps one of these for its whole life and shows it again and
// again; every showing starts from the frame's colour indices.
//
// The view calls DoModal(colours) with the frame's GraphColors; on true the colours were changed
// and the view repaints its graph panel with erasing (the settings file takes them at close).

#include <QDialog>

#include <array>

#include "graph/core/GraphState.h"

class QGroupBox;

namespace shakemeter {

class CColorComboBox;

class CColorSetupDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 217;
    static constexpr int IDC_GROUP = 1156;
    static constexpr int IDC_BACKGROUND = 1140;
    static constexpr int IDC_GRID = 1143;
    static constexpr int IDC_X = 1141;
    static constexpr int IDC_Y = 1142;
    static constexpr int IDC_Z = 1144;
    static constexpr int IDC_VECTOR_SUM = 1145;

    explicit CColorSetupDlg(QWidget* parent = nullptr);

    // A new showing: every picker lists the palette with the frame's index selected.
    void Initialise(const GraphColors& colours);
    // OK: the pickers' positions become the chosen indices (255 for a picker without selection).
    void OnOK();
    // The colours OK stored; the starting colours until then.
    const GraphColors& Chosen() const { return m_chosen; }
    // Initialise, the modal loop, and on OK the chosen colours into colours. True on OK.
    bool DoModal(GraphColors& colours);

    CColorComboBox* Picker(int id) const;
    QGroupBox* Group() const { return m_group; }

private:
    struct PickerSlot {
        int id;
        CColorComboBox* picker;
    };
    std::array<PickerSlot, 6> m_pickers{};
    QGroupBox* m_group = nullptr;
    GraphColors m_chosen;
};

}  // namespace shakemeter
