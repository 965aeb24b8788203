#include "graph/widgets/CGraphPictureDlg.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QSpinBox>

#include "controls/DialogButtons.h"

namespace shakemeter {

CGraphPictureDlg::CGraphPictureDlg(const GraphPictureChoice& start, const QSize& pane, QWidget* parent)
    : QDialog(parent), m_pane(pane)
{
    setWindowTitle(QStringLiteral("Graph as Picture"));
    m_paneSize = new QCheckBox(QStringLiteral("&Pane size (%1 x %2)").arg(pane.width()).arg(pane.height()), this);
    m_width = new QSpinBox(this);
    m_height = new QSpinBox(this);
    for (QSpinBox* box : {m_width, m_height}) {
        box->setRange(kSmallestSide, kLargestSide);
        box->setSuffix(QStringLiteral(" px"));
    }
    m_width->setValue(start.size.width());
    m_height->setValue(start.size.height());
    m_light = new QCheckBox(QStringLiteral("Light &theme (white background, dark traces)"), this);
    m_legend = new QCheckBox(QStringLiteral("Trace &legend"), this);
    m_marks = new QCheckBox(QStringLiteral("Event &marks"), this);
    m_paneSize->setChecked(start.paneSize);
    m_light->setChecked(start.lightTheme);
    m_legend->setChecked(start.legend);
    m_marks->setChecked(start.eventMarks);

    auto* form = new QFormLayout;
    form->addRow(m_paneSize);
    form->addRow(QStringLiteral("&Width:"), m_width);
    form->addRow(QStringLiteral("&Height:"), m_height);
    form->addRow(m_light);
    form->addRow(m_legend);
    form->addRow(m_marks);
    SetFormAboveOkCancel(*this, form);

    const auto follow = [this](bool pane) {
        m_width->setEnabled(!pane);
        m_height->setEnabled(!pane);
    };
    connect(m_paneSize, &QCheckBox::toggled, this, follow);
    follow(start.paneSize);
}

GraphPictureChoice CGraphPictureDlg::Choice() const
{
    GraphPictureChoice choice;
    choice.paneSize = m_paneSize->isChecked();
    choice.size = QSize(m_width->value(), m_height->value());
    choice.lightTheme = m_light->isChecked();
    choice.legend = m_legend->isChecked();
    choice.eventMarks = m_marks->isChecked();
    return choice;
}

QSize CGraphPictureDlg::ChosenSize() const
{
    return m_paneSize->isChecked() ? m_pane : QSize(m_width->value(), m_height->value());
}

}  // namespace shakemeter
