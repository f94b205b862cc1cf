#include "AssistiveNames.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>
#include <QTreeView>

#include "BoxLabels.h"
#include "TembrookMainWindow.h"

namespace tembrook {

void NameForAssistiveTechnology(TTembrookMainForm& window)
{
    window.BoxLabel1()->SetBuddy(window.SourceURLEdit());
    window.SourceURLEdit()->setAccessibleName(window.BoxLabel1()->SpokenCaption());
    window.InportBookListView()->setAccessibleName(QStringLiteral("発売予定"));
    window.Memo1()->setAccessibleName(QStringLiteral("ログ"));
    const QString panelNames[] = {QStringLiteral("状態"), QStringLiteral("受信量")};
    for (int index = 0; index < 2; ++index) {
        QLabel* panel = window.StatusPanel(index);
        panel->setAccessibleName(panelNames[index]);
        panel->setAccessibleDescription(panel->text());
    }
}

void SetStatusPanelText(QLabel& panel, const QString& text)
{
    panel.setText(text);
    panel.setAccessibleDescription(text);
}

}  // namespace tembrook
