#include "AssistiveNames.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>
#include <QTreeView>

#include "BoxLabels.h"

namespace tembrook {

void NameForAssistiveTechnology(const TNamedControls& controls)
{
    controls.Caption.SetBuddy(&controls.URLEdit);
    controls.URLEdit.setAccessibleName(controls.Caption.SpokenCaption());
    controls.List.setAccessibleName(QStringLiteral("発売予定"));
    controls.Log.setAccessibleName(QStringLiteral("ログ"));
    const QString panelNames[] = {QStringLiteral("状態"), QStringLiteral("受信量")};
    QLabel* const panels[] = {&controls.StatusPanel, &controls.ProgressPanel};
    for (int index = 0; index < 2; ++index) {
        QLabel* panel = panels[index];
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
