// The two overlays above the pages: the pick list and the run view.
#include "app/ammain.h"

#include "app/base/controls.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {
constexpr int SelectCloseSize = 43;
constexpr int RunButtonWidth = 73;
}

void TfrmMain::createPickList()
{
    pnlSelect = quill::makePanel(this, "pnlSelect", QStringLiteral("Pick list panel"), true);
    pnlSelect->hide();
    lstSelect = quill::named(new QListWidget(pnlSelect), "lstSelect", QStringLiteral("Pick list"));
    btnSelCancel = quill::makeButton(pnlSelect, "btnSelCancel", QStringLiteral("X"));
}

void TfrmMain::createRunOverlay()
{
    pnlRun = quill::makePanel(this, "pnlRun", QStringLiteral("Run view"), true);
    pnlRun->hide();
    pnlRunBtns = quill::makePanel(pnlRun, "pnlRunBtns", QStringLiteral("Run bar"));
    btnRunClose = quill::makeButton(pnlRunBtns, "btnRunClose", QStringLiteral("Close"));
    btnRunResize = quill::makeButton(pnlRunBtns, "btnRunResize", QStringLiteral("Resize"), 0, 0,
                                     RunButtonWidth, quill::RunBarHeight);
    btnRunResize->hide();
    edtRunWidth = quill::named(new QLineEdit(QStringLiteral("512"), pnlRunBtns), "edtRunWidth",
                               QStringLiteral("Run width"));
    edtRunWidth->setGeometry(76, 8, 65, 32);
    edtRunWidth->hide();
}

void TfrmMain::layoutOverlays()
{
    pnlSelect->setGeometry(Layout.pickList);
    lstSelect->setGeometry(0, 0, Layout.pickListBoxWidth, Layout.pickList.height());
    btnSelCancel->setGeometry(Layout.pickListBoxWidth, 0, SelectCloseSize, SelectCloseSize);

    // The run view fills the client area, above the pages and the pick list.
    pnlRun->setGeometry(rect());
    pnlRunBtns->setGeometry(0, 0, width(), quill::RunBarHeight);
    btnRunClose->setGeometry(width() - RunButtonWidth, 0, RunButtonWidth, quill::RunBarHeight);
}
