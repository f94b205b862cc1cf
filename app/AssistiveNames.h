#pragma once
// What a screen reader hears of the main window's controls whose captions
// are painted or absent: the URL field is named by the box label's caption
// ("TembrookURL"), which labels it; the list is "発売予定", the log "ログ",
// status panels 0 and 1 "状態" and "受信量". None of the names is drawn.
// A named panel's text is its accessible description, kept in step by
// SetStatusPanelText, so the reader still hears what the panel shows.

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QString;
class QTreeView;

namespace tembrook {

class TBoxLabel;

// The main window's controls that get a name.
struct TNamedControls {
    TBoxLabel& Caption;  // the box label in front of the URL field
    QLineEdit& URLEdit;
    QTreeView& List;
    QPlainTextEdit& Log;
    QLabel& StatusPanel;    // status panel 0
    QLabel& ProgressPanel;  // status panel 1
};

// Names the controls once the window's layout is built.
void NameForAssistiveTechnology(const TNamedControls& controls);

// Shows text in a status panel and gives it to assistive technology.
void SetStatusPanelText(QLabel& panel, const QString& text);

}  // namespace tembrook
