#include "HTMLTextWindow.h"

#include <QPlainTextEdit>
#include <QStatusBar>

#include "BookListModel.h"
#include "Cp932Codec.h"
#include "ListOutput.h"
#include "UiBase.h"
#include "WindowGeometry.h"

namespace tembrook {

THTMLTextForm::THTMLTextForm(QWidget* parent) : QMainWindow(parent), FHTMLStringMemo(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("HTMLTextForm"));
    setWindowTitle(QStringLiteral("HTMLテキスト"));
    setFont(UiFont(12));
    SetOuterGeometry(*this, DefaultOuterGeometry());

    FHTMLStringMemo->setObjectName(QStringLiteral("HTMLStringMemo"));
    FHTMLStringMemo->setFrameShape(QFrame::NoFrame);
    FHTMLStringMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    FHTMLStringMemo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    FHTMLStringMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FHTMLStringMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCentralWidget(FHTMLStringMemo);

    auto* statusBar1 = new QStatusBar(this);
    statusBar1->setObjectName(QStringLiteral("StatusBar1"));
    statusBar1->setFixedHeight(19);
    setStatusBar(statusBar1);
}

THTMLTextForm::~THTMLTextForm() = default;

QRect THTMLTextForm::DefaultOuterGeometry()
{
    return QRect(301, 160, 422, 344);
}

std::string THTMLTextForm::HTMLText(const TBookListModel& list)
{
    // The ticked rows: the window's ticks are always in play.
    return BuildListOutput(*FindOutputFormat("html"), list.Rows(), true, {}).Bytes;
}

void THTMLTextForm::BuildHTMLText(const TBookListModel& list)
{
    FHTMLStringMemo->clear();
    FHTMLStringMemo->setPlainText(FromCP932(HTMLText(list)));
}

void THTMLTextForm::ShowHTMLText(const TBookListModel& list)
{
    BuildHTMLText(list);
    show();
    raise();
    activateWindow();
}

}  // namespace tembrook
