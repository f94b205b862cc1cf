// The label the About window is built of, with what assistive technology sees
// of it. Its text is plain text ('<' and '&' appear as typed).
#pragma once

#include <QLabel>
#include <QRect>
#include <QString>
#include <functional>

class QMouseEvent;
class QWidget;

namespace tembrook {

// A label of the About window: plain text, an optional click handler (a left
// press and release over it), and, for the labels that size to their text, a
// size that follows the caption. A label switched to a link is a link to
// assistive technology too, whose press action clicks it.
class TAboutLabel : public QLabel {
public:
    TAboutLabel(QWidget* parent, QRect geometry, int fontHeight, bool autoSize);

    void SetCaption(const QString& text);
    QString Caption() const { return text(); }
    bool AutoSize() const { return FAutoSize; }
    bool Link() const { return FLink; }
    void SetLink(bool on) { FLink = on; }

    std::function<void()> OnClick;
    // Runs OnClick as a click over the label does; its error is shown.
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool FAutoSize;
    bool FLink = false;
    bool FLeftPressed = false;
};

}  // namespace tembrook
