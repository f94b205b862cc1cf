#pragma once
// THTMLTextForm shows the ticked releases of the list as one line of text
// for pasting into a web page: each ticked row's HTMLLine (title with its
// volume, a blank, the author), joined by " / ". The text is a snapshot taken
// when the main window's HTML button is pressed; the user may edit it, and
// the next press replaces it. The window is created hidden at start-up and
// closing it only hides it.

#include <QMainWindow>
#include <QRect>
#include <string>

class QPlainTextEdit;

namespace tembrook {

class TBookListModel;

class THTMLTextForm : public QMainWindow {
public:
    explicit THTMLTextForm(QWidget* parent = nullptr);
    ~THTMLTextForm() override;

    // The window's outer rectangle, frame included.
    static QRect DefaultOuterGeometry();

    // BuildHTMLText, then shows the window (or brings it to the front).
    void ShowHTMLText(const TBookListModel& list);
    // Replaces the memo's text by the ticked rows' entries; does not show.
    void BuildHTMLText(const TBookListModel& list);

    // The joined CP932 text of the ticked rows with a record, in row order.
    static std::string HTMLText(const TBookListModel& list);

    QPlainTextEdit* HTMLStringMemo() const { return FHTMLStringMemo; }

private:
    QPlainTextEdit* FHTMLStringMemo;
};

}  // namespace tembrook
