// The display settings dialogs as the user meets them: the swatch picker's list and selection,
// the colours, ranges and flags each dialog hands back, what stays hidden, and what the user
// sees typed into the axis fields and told on OK.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "TestApplication.h"

#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "analysis/widgets/CAxisSetupDlg.h"
#include "analysis/widgets/CColorComboBox.h"
#include "analysis/widgets/CColorSetupDlg.h"
#include "analysis/widgets/CViewOptionsDlg.h"
#include "analysis/widgets/SettingsDialogLook.h"
#include "graph/core/GraphState.h"
#include "graph/core/Palette.h"
#include "recording/RecordingView.h"
#include "controls/CNumericEdit.h"
#include "controls/Prompter.h"

namespace shakemeter {
namespace {

QApplication& App()
{
    return shakemeter::testing::ProgramApplication<QApplication>("test_settings_dialogs");
}

class RecordingPrompter : public Prompter {
public:
    bool AskYesNo(QWidget*, const QString&, PromptIcon) override { return false; }
    void Tell(QWidget*, const QString& text, PromptIcon icon) override
    {
        told.push_back(text);
        icons.push_back(icon);
    }
    QString ChooseOpenFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }

    std::vector<QString> told;
    std::vector<PromptIcon> icons;
};

std::uint32_t PaletteValue(int index)
{
    const RgbColor c = ColorFromIndex(index);
    return CColorComboBox::ColorValue(c.red, c.green, c.blue);
}

// Runs `act` on the modal dialog as soon as its loop has started.
template <typename Dialog>
void WhenShown(std::function<void(Dialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

// A picture of the dialog; saved when SHAKEMETER_SCREENSHOT_DIR names a folder.
QImage Picture(QWidget& widget, const char* name)
{
    widget.show();
    QApplication::processEvents();
    const QImage image = widget.grab().toImage();
    if (const char* dir = std::getenv("SHAKEMETER_SCREENSHOT_DIR"))
        image.save(QStringLiteral("%1/%2.png").arg(QString::fromLocal8Bit(dir), QString::fromLatin1(name)));
    return image;
}

struct SettingsDialogs : ::testing::Test {
    SettingsDialogs() { App(); }
};

// ---- the swatch picker ----

using ColorPicker = SettingsDialogs;

TEST_F(ColorPicker, ListsThePaletteInIndexOrderWithNamesButNoTexts)
{
    CColorComboBox picker;
    picker.FillColors(5);
    ASSERT_EQ(picker.count(), PALETTE_SIZE);
    for (int i = 0; i < PALETTE_SIZE; ++i) {
        EXPECT_EQ(picker.ColorAt(i), PaletteValue(i)) << i;
        EXPECT_EQ(picker.itemText(i), QString()) << i;
    }
    EXPECT_EQ(picker.itemData(0, Qt::AccessibleTextRole).toString(), QStringLiteral("Red"));
    EXPECT_EQ(picker.itemData(9, Qt::AccessibleTextRole).toString(), QStringLiteral("Dark Yellow"));
    EXPECT_EQ(picker.itemData(13, Qt::AccessibleTextRole).toString(), QStringLiteral("Black"));
    EXPECT_EQ(picker.currentIndex(), 5);
    EXPECT_EQ(picker.ColorAt(5), 0xFFFF00u);  // cyan, red in the low byte
}

TEST_F(ColorPicker, NeverListsAColourTwice)
{
    CColorComboBox picker;
    EXPECT_EQ(picker.AddColor(PaletteValue(13), QStringLiteral("Black")), 0);
    EXPECT_EQ(picker.AddColor(PaletteValue(13), QStringLiteral("Black")), -1);
    picker.FillColors(0);
    // Black kept its place at the top; the palette filled in around it.
    EXPECT_EQ(picker.count(), PALETTE_SIZE);
    EXPECT_EQ(picker.ColorAt(0), PaletteValue(13));
    EXPECT_EQ(picker.ColorAt(1), PaletteValue(0));

    CColorComboBox refilled;
    refilled.FillColors(2);
    refilled.FillColors(12);  // shown again: nothing is added
    EXPECT_EQ(refilled.count(), PALETTE_SIZE);
    EXPECT_EQ(refilled.currentIndex(), 12);
    EXPECT_EQ(refilled.SelectedIndexByte(), 12);
}

TEST_F(ColorPicker, NoSelectionIsStoredAs255)
{
    CColorComboBox picker;
    picker.FillColors(40);  // a settings value that is a colour rather than an index
    EXPECT_EQ(picker.currentIndex(), -1);
    EXPECT_EQ(picker.SelectedIndexByte(), 255);
    picker.FillColors(3);
    picker.FillColors(-1);
    EXPECT_EQ(picker.SelectedIndexByte(), 255);
}

TEST_F(ColorPicker, ItemIsASwatchFiftyPixelsWideOnTheWindowColour)
{
    QImage image(80, 16, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    {
        QPainter painter(&image);
        ColorSwatchDelegate::DrawSwatchItem(&painter, image.rect(), QColor(0, 0, 128), false, true, false);
    }
    const QColor window = QApplication::style()->standardPalette().color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(image.pixelColor(0, 0), window);
    EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::black));    // outline from (left + 1, top + 1)
    EXPECT_EQ(image.pixelColor(50, 14), QColor(Qt::black));  // to (left + 51, bottom - 1), exclusive
    EXPECT_EQ(image.pixelColor(25, 8), QColor(0, 0, 128));
    EXPECT_EQ(image.pixelColor(51, 8), window);
    EXPECT_EQ(image.pixelColor(25, 15), window);

    QImage disabled(80, 16, QImage::Format_RGB32);
    {
        QPainter painter(&disabled);
        ColorSwatchDelegate::DrawSwatchItem(&painter, disabled.rect(), QColor(255, 0, 0), true, false, true);
    }
    EXPECT_NE(disabled.pixelColor(25, 8), QColor(255, 0, 0));
    EXPECT_EQ(disabled.pixelColor(60, 8),
              QApplication::style()->standardPalette().color(QPalette::Active, QPalette::Highlight));
}

TEST_F(ColorPicker, ClosedPickerShowsTheSelectedSwatch)
{
    CColorComboBox picker;
    picker.resize(120, 24);
    picker.FillColors(7);  // dark green
    const QImage image = Picture(picker, "color-picker");
    int greenPixels = 0;
    for (int x = 0; x < image.width(); ++x)
        greenPixels += image.pixelColor(x, image.height() / 2) == QColor(0, 128, 0) ? 1 : 0;
    EXPECT_GE(greenPixels, 40);
    EXPECT_LE(greenPixels, 49);
}

// ---- colour setup ----

using ColorSetup = SettingsDialogs;

TEST_F(ColorSetup, PickersStartAtTheFrameColoursAndOkHandsThemBack)
{
    CColorSetupDlg dlg;
    GraphColors colours;  // 13, 0, 3, 5, 1, 2
    dlg.Initialise(colours);
    EXPECT_EQ(dlg.Picker(CColorSetupDlg::IDC_BACKGROUND)->currentIndex(), 13);
    EXPECT_EQ(dlg.Picker(CColorSetupDlg::IDC_GRID)->currentIndex(), 2);
    EXPECT_EQ(dlg.Picker(CColorSetupDlg::IDC_X)->currentIndex(), 0);
    EXPECT_EQ(dlg.Picker(CColorSetupDlg::IDC_Y)->currentIndex(), 3);
    EXPECT_EQ(dlg.Picker(CColorSetupDlg::IDC_Z)->currentIndex(), 5);
    EXPECT_EQ(dlg.Picker(CColorSetupDlg::IDC_VECTOR_SUM)->currentIndex(), 1);

    dlg.Picker(CColorSetupDlg::IDC_X)->setCurrentIndex(6);
    dlg.Picker(CColorSetupDlg::IDC_GRID)->setCurrentIndex(12);
    dlg.OnOK();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const GraphColors& chosen = dlg.Chosen();
    EXPECT_EQ(chosen.background, 13);
    EXPECT_EQ(chosen.x, 6);
    EXPECT_EQ(chosen.y, 3);
    EXPECT_EQ(chosen.z, 5);
    EXPECT_EQ(chosen.vectorSum, 1);
    EXPECT_EQ(chosen.grid, 12);
}

TEST_F(ColorSetup, ShownAgainTheListsDoNotGrowAndAnUnlistedIndexBecomes255)
{
    CColorSetupDlg dlg;
    GraphColors colours;
    dlg.Initialise(colours);
    colours.z = 40;  // no palette index
    dlg.Initialise(colours);
    for (int id : {1140, 1141, 1142, 1143, 1144, 1145})
        EXPECT_EQ(dlg.Picker(id)->count(), PALETTE_SIZE) << id;
    dlg.OnOK();
    EXPECT_EQ(dlg.Chosen().z, 255);
    EXPECT_EQ(dlg.Chosen().y, 3);
}

TEST_F(ColorSetup, CancelLeavesTheColoursAndOkStoresThem)
{
    CColorSetupDlg dlg;
    GraphColors colours;
    WhenShown<CColorSetupDlg>([](CColorSetupDlg& d) {
        d.Picker(CColorSetupDlg::IDC_BACKGROUND)->setCurrentIndex(12);
        d.findChild<QPushButton*>(QStringLiteral("2"))->click();
    });
    EXPECT_FALSE(dlg.DoModal(colours));
    EXPECT_EQ(colours.background, 13);

    WhenShown<CColorSetupDlg>([](CColorSetupDlg& d) {
        EXPECT_EQ(d.Picker(CColorSetupDlg::IDC_BACKGROUND)->currentIndex(), 13);  // the earlier change is gone
        d.Picker(CColorSetupDlg::IDC_BACKGROUND)->setCurrentIndex(12);
        d.findChild<QPushButton*>(QStringLiteral("1"))->click();
    });
    EXPECT_TRUE(dlg.DoModal(colours));
    EXPECT_EQ(colours.background, 12);
}

TEST_F(ColorSetup, LabelsTitleAndLook)
{
    CColorSetupDlg dlg;
    dlg.Initialise(GraphColors{});
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Color Setup"));
    EXPECT_EQ(dlg.Group()->title(), QStringLiteral("Color Setup"));
    EXPECT_EQ(dlg.Group()->font().families().value(0), QStringLiteral("Arial bold"));
    EXPECT_EQ(dlg.Group()->font().pixelSize(), 14);
    EXPECT_EQ(dlg.Group()->font().weight(), QFont::Medium);
    QStringList labels;
    for (const QLabel* label : dlg.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_EQ(labels, (QStringList{"Background:", "Grid Axis:", "X Value:", "Y Value:", "Z Value:", "Vector Sum:"}));

    const QImage image = Picture(dlg, "color-setup");
    EXPECT_EQ(image.pixelColor(3, image.height() - 3), SettingsDialogBackground());
}

// ---- axis setup ----

struct AxisSetup : SettingsDialogs {
    AxisSetupValues values;
    AxisSetupContext context;
    RecordingPrompter prompter;

    AxisSetup()
    {
        values.m_dPresetYMin = -20.0;
        values.m_dPresetYMax = 20.0;
        values.m_nRangeFirst = 1;
        values.m_nRangeLast = 200;
        context.m_nShownCount = 200;
    }
    std::unique_ptr<CAxisSetupDlg> Open()
    {
        return std::make_unique<CAxisSetupDlg>(
            values, [this] { return context; }, prompter);
    }
    static void Retype(CNumericEdit* edit, const QString& keys)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, keys);
    }
    static QString Text(const CAxisSetupDlg& dlg, int id) { return dlg.Field(id)->text(); }
};

TEST_F(AxisSetup, OnlyTheValueAxisFieldsCanBeSeen)
{
    auto dlg = Open();
    dlg->show();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Axis Setup"));
    for (int id : {CAxisSetupDlg::IDC_YMIN, CAxisSetupDlg::IDC_YMAX}) {
        EXPECT_TRUE(dlg->Field(id)->isVisible()) << id;
        EXPECT_TRUE(dlg->Field(id)->isEnabled()) << id;
    }
    for (int id : {CAxisSetupDlg::IDC_XMIN, CAxisSetupDlg::IDC_XMAX}) {
        EXPECT_FALSE(dlg->Field(id)->isVisible()) << id;
        EXPECT_FALSE(dlg->Field(id)->isEnabled()) << id;
    }
    for (int id : {1142, 1120, 1144, 1121}) {
        EXPECT_FALSE(dlg->UpDown(id)->isVisible()) << id;
        EXPECT_FALSE(dlg->UpDown(id)->isEnabled()) << id;
    }
    const auto* shownGroup = dlg->findChild<QGroupBox*>(QStringLiteral("1155"));
    const auto* hiddenGroup = dlg->findChild<QGroupBox*>(QStringLiteral("1156"));
    EXPECT_EQ(shownGroup->title(), QStringLiteral("Vertical Axis Setup"));
    EXPECT_TRUE(shownGroup->isVisible());
    EXPECT_EQ(hiddenGroup->title(), QStringLiteral("Horizontal Axis Setup"));
    EXPECT_FALSE(hiddenGroup->isVisible());
    EXPECT_EQ(shownGroup->font().families().value(0), QStringLiteral("Arial bold"));
    QStringList seen;
    for (const QLabel* label : dlg->findChildren<QLabel*>())
        if (label->isVisible())
            seen << label->text();
    EXPECT_EQ(seen, (QStringList{"Minimum", "Maximum"}));

    const QImage image = Picture(*dlg, "axis-setup");
    EXPECT_EQ(image.pixelColor(2, 2), SettingsDialogBackground());
}

TEST_F(AxisSetup, FieldsStartFromThePresetRangeAndTheShownRows)
{
    values.m_dPresetYMin = -3.456;
    values.m_dYMin = -1.0;
    values.m_nRangeFirst = 3;
    values.m_nRangeLast = 150;
    auto dlg = Open();
    EXPECT_EQ(Text(*dlg, CAxisSetupDlg::IDC_YMIN), QStringLiteral("-3.46"));
    EXPECT_EQ(Text(*dlg, CAxisSetupDlg::IDC_YMAX), QStringLiteral("20.00"));
    EXPECT_EQ(Text(*dlg, CAxisSetupDlg::IDC_XMIN), QStringLiteral("3"));
    EXPECT_EQ(Text(*dlg, CAxisSetupDlg::IDC_XMAX), QStringLiteral("150"));

    values.m_dPresetYMax = 50000.0;  // out of reach of the field
    values.m_nRangeLast = 900;       // more rows than are shown
    auto limited = Open();
    EXPECT_EQ(Text(*limited, CAxisSetupDlg::IDC_YMAX), QStringLiteral("20000.00"));
    EXPECT_EQ(Text(*limited, CAxisSetupDlg::IDC_XMAX), QStringLiteral("200"));
}

TEST_F(AxisSetup, TypedValuesAreNormalisedAtOnce)
{
    auto dlg = Open();
    dlg->show();
    CNumericEdit* yMax = dlg->Field(CAxisSetupDlg::IDC_YMAX);
    CNumericEdit* yMin = dlg->Field(CAxisSetupDlg::IDC_YMIN);

    Retype(yMax, QStringLiteral("5"));
    EXPECT_EQ(yMax->text(), QStringLiteral("5.00"));
    QTest::keyClicks(yMax, QStringLiteral("2"));  // the caret stayed after the 5
    EXPECT_EQ(yMax->text(), QStringLiteral("52.00"));

    Retype(yMax, QStringLiteral("25000"));
    EXPECT_EQ(yMax->text(), QStringLiteral("20000.00"));
    Retype(yMin, QStringLiteral("-30000"));
    EXPECT_EQ(yMin->text(), QStringLiteral("-20000.00"));

    Retype(yMin, QStringLiteral("-"));
    EXPECT_EQ(yMin->text(), QStringLiteral("-"));  // a negative number can be begun
    yMin->selectAll();
    QTest::keyClick(yMin, Qt::Key_Backspace);
    EXPECT_EQ(yMin->text(), QString());  // and a field cleared
}

TEST_F(AxisSetup, EqualBoundsKeepTheDialogOpenWithTheYMessage)
{
    auto dlg = Open();
    dlg->show();
    Retype(dlg->Field(CAxisSetupDlg::IDC_YMIN), QStringLiteral("10"));
    Retype(dlg->Field(CAxisSetupDlg::IDC_YMAX), QStringLiteral("10"));
    dlg->findChild<QPushButton*>(QStringLiteral("1"))->click();
    ASSERT_EQ(prompter.told.size(), 1u);
    EXPECT_EQ(prompter.told[0], QStringLiteral("The started Y Axis must be lower than the ended Y Axis"));
    EXPECT_EQ(prompter.icons[0], PromptIcon::None);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_NE(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(dlg->Values(), values);
}

TEST_F(AxisSetup, BothMessagesOneAfterTheOther)
{
    values.m_dPresetYMin = 5.0;
    values.m_dPresetYMax = -5.0;
    values.m_nRangeFirst = 150;
    values.m_nRangeLast = 150;
    auto dlg = Open();
    dlg->OnOK();
    ASSERT_EQ(prompter.told.size(), 2u);
    EXPECT_EQ(prompter.told[0], QStringLiteral("The started Y Axis must be lower than the ended Y Axis"));
    EXPECT_EQ(prompter.told[1], QStringLiteral("The started X Axis must be lower than the ended X Axis"));
}

TEST_F(AxisSetup, AReadingThatGoesOnWhileTheDialogIsOpenSetsTheLastRow)
{
    values.m_nRangeLast = 50;
    context.m_nShownCount = 50;
    std::vector<int> table{100, 109, 118};
    auto dlg = Open();
    // The reading delivers more rows before OK; the field still says 50.
    context.m_bReading = true;
    context.m_nShownCount = 104;
    context.m_nRtRequested = 200;
    context.m_nRtWindow = table;
    dlg->OnOK();
    EXPECT_TRUE(prompter.told.empty());
    EXPECT_EQ(dlg->Values().m_nRangeLast, 104);
    EXPECT_EQ(dlg->FoundRtWindowIdx(), 1);
}

TEST_F(AxisSetup, TheViewsStateTakesTheResult)
{
    GraphState state;
    state.m_nRtWindowIdx = 2;
    RecordingView view;
    view.m_nShownCount = 120;
    view.m_nRangeFirst = 3;  // the unseen row fields carry these back
    view.m_nRangeLast = 110;
    view.m_dYMin = -1.5;
    view.m_dYMax = 1.5;
    view.m_nRtRequested = 500;
    view.m_nRtWindow = {100, 109, 116};  // nothing holds the 118 rows from row 3 on

    WhenShown<CAxisSetupDlg>([](CAxisSetupDlg& d) {
        EXPECT_EQ(d.Field(CAxisSetupDlg::IDC_YMIN)->text(), QStringLiteral("-20.00"));  // the preset, not the current
        Retype(d.Field(CAxisSetupDlg::IDC_YMAX), QStringLiteral("8"));
        d.findChild<QPushButton*>(QStringLiteral("1"))->click();
    });
    EXPECT_TRUE(RunAxisSetup(
        nullptr, state, view, [] { return false; }, prompter));
    EXPECT_EQ(state.m_dPresetYMax, 8.0);
    EXPECT_EQ(view.m_dYMax, 8.0);
    EXPECT_EQ(view.m_dYMin, -20.0);
    EXPECT_EQ(view.m_nRangeFirst, 3);
    EXPECT_EQ(view.m_nRangeLast, 110);
    EXPECT_EQ(state.m_nRtWindowIdx, 2);

    WhenShown<CAxisSetupDlg>([](CAxisSetupDlg& d) { d.findChild<QPushButton*>(QStringLiteral("2"))->click(); });
    EXPECT_FALSE(RunAxisSetup(
        nullptr, state, view, [] { return false; }, prompter));
    EXPECT_EQ(state.m_dPresetYMax, 8.0);
}

// ---- view options ----

using ViewOptions = SettingsDialogs;

TEST_F(ViewOptions, BoxesShowTheFlagsAndMarkPointsIsOutOfReach)
{
    ViewOptionFlags flags;
    flags.m_bShowZ = false;
    flags.m_bMarkPoints = true;
    flags.m_bVertGrid = false;
    CViewOptionsDlg dlg(flags);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("View "));
    EXPECT_EQ(dlg.Box(CViewOptionsDlg::IDC_SHOW_X)->text(), QStringLiteral("X Value"));
    EXPECT_EQ(dlg.Box(CViewOptionsDlg::IDC_SHOW_VECTOR_SUM)->text(), QStringLiteral("Vector Sum Value"));
    EXPECT_EQ(dlg.Box(CViewOptionsDlg::IDC_HORZ_GRID)->text(), QStringLiteral("Horizontal Axis"));
    EXPECT_EQ(dlg.Box(CViewOptionsDlg::IDC_VERT_GRID)->text(), QStringLiteral("Vertical Axis"));
    EXPECT_TRUE(dlg.Box(CViewOptionsDlg::IDC_SHOW_X)->isChecked());
    EXPECT_FALSE(dlg.Box(CViewOptionsDlg::IDC_SHOW_Z)->isChecked());
    EXPECT_FALSE(dlg.Box(CViewOptionsDlg::IDC_VERT_GRID)->isChecked());
    QCheckBox* mark = dlg.Box(CViewOptionsDlg::IDC_MARK_POINTS);
    EXPECT_FALSE(mark->isVisible());
    EXPECT_FALSE(mark->isEnabled());
    EXPECT_TRUE(dlg.findChild<QPushButton*>(QStringLiteral("1"))->isDefault());

    dlg.OnOK();
    EXPECT_EQ(dlg.Flags(), flags);  // unchanged boxes, and Mark Points carried through

    const QImage image = Picture(dlg, "view-options");
    EXPECT_EQ(image.pixelColor(2, 2), SettingsDialogBackground());
}

TEST_F(ViewOptions, UntickingXAndZLeavesYAndTheVectorSum)
{
    GraphState state;  // everything shown
    WhenShown<CViewOptionsDlg>([](CViewOptionsDlg& d) {
        QTest::mouseClick(d.Box(CViewOptionsDlg::IDC_SHOW_X), Qt::LeftButton);
        QTest::mouseClick(d.Box(CViewOptionsDlg::IDC_SHOW_Z), Qt::LeftButton);
        d.findChild<QPushButton*>(QStringLiteral("1"))->click();
    });
    EXPECT_TRUE(RunViewOptions(nullptr, state));
    EXPECT_FALSE(state.m_bShowX);
    EXPECT_TRUE(state.m_bShowY);
    EXPECT_FALSE(state.m_bShowZ);
    EXPECT_TRUE(state.m_bShowVectorSum);
    EXPECT_TRUE(state.m_bHorzGrid);
    EXPECT_TRUE(state.m_bVertGrid);
    EXPECT_FALSE(state.m_bMarkPoints);

    WhenShown<CViewOptionsDlg>([](CViewOptionsDlg& d) {
        QTest::mouseClick(d.Box(CViewOptionsDlg::IDC_SHOW_Y), Qt::LeftButton);
        d.findChild<QPushButton*>(QStringLiteral("2"))->click();
    });
    EXPECT_FALSE(RunViewOptions(nullptr, state));
    EXPECT_TRUE(state.m_bShowY);
}

}  // namespace
}  // namespace shakemeter
