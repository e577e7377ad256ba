#include "builder/runview.h"

#include "app/base/controls.h"

#include <QLineEdit>
#include <QPushButton>

namespace quill {

RunView::RunView(QWidget *parent) : QWidget(parent)
{
    named(this, "pnlRun", QStringLiteral("Run view"));
    setAutoFillBackground(true);
    hide();
    pnlRunBtns = makePanel(this, "pnlRunBtns", QStringLiteral("Run bar"));
    btnRunClose = makeButton(pnlRunBtns, "btnRunClose", QStringLiteral("Close"));
    btnRunResize = makeButton(pnlRunBtns, "btnRunResize", QStringLiteral("Resize"), 0, 0,
                              ButtonWidth, BarHeight);
    btnRunResize->hide();
    edtRunWidth = named(new QLineEdit(QStringLiteral("512"), pnlRunBtns), "edtRunWidth",
                        QStringLiteral("Run width"));
    edtRunWidth->setGeometry(76, 8, 65, 32);
    edtRunWidth->hide();
}

void RunView::layoutView(const QRect &clientArea)
{
    setGeometry(clientArea);
    pnlRunBtns->setGeometry(0, 0, clientArea.width(), BarHeight);
    btnRunClose->setGeometry(clientArea.width() - ButtonWidth, 0, ButtonWidth, BarHeight);
}

} // namespace quill
