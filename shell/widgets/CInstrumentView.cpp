#include "shell/widgets/CInstrumentView.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>

#include "controls/Pictures.h"

namespace shakemeter {

CInstrumentView::CInstrumentView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setMinimumWidth(10);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) { ContextMenuAt(pos); });
    m_menuRunner = [](QMenu& menu, const QPoint& globalPoint) { menu.exec(globalPoint); };
    OnInitialUpdate();
}

void CInstrumentView::OnInitialUpdate()
{
    clear();
    const QPixmap logger = LoadIconPicture(266);
    setIconSize(QSize(25, 81));
    if (!m_fontMade) {
        // Arial with a 30-pixel cell and an average character width of 8 pixels: tall, narrow.
        m_font = QFont(QStringLiteral("Arial"));
        m_font.setPixelSize(26);
        const int natural = QFontMetrics(m_font).averageCharWidth();
        if (natural > 8) {
            m_font.setStretch(std::max(1, 800 / natural));
        }
        m_fontMade = true;
    }
    setFont(m_font);
    auto* item = new QTreeWidgetItem(this, QStringList(QStringLiteral("-Shakemeter")));
    item->setIcon(0, QIcon(logger));
}

bool CInstrumentView::ContextMenuAt(const QPoint& viewportPoint)
{
    QTreeWidgetItem* item = itemAt(viewportPoint);
    if (item == nullptr) {
        return false;
    }
    setCurrentItem(item);
    QMenu menu(this);
    for (QAction* action : m_contextActions) {
        if (action == nullptr) {
            menu.addSeparator();
        } else {
            menu.addAction(action);
        }
    }
    m_menuRunner(menu, viewport()->mapToGlobal(viewportPoint));
    return true;
}

}  // namespace shakemeter
