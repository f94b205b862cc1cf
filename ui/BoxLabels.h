// The box label: a one-line caption drawn on a flat background inside a
// one-pixel sunken frame, so that the caption looks like a recessed field. The
// main window uses one as the caption in front of the URL field.
//
// TCustomBoxLabel holds the state and the painting; TBoxLabel makes its
// properties public. The control is a plain QWidget that paints its whole area
// itself. Its text font is the widget font (the parent's until one is set) and
// its text colour the palette's WindowText. The caption is a QString stored as
// given. Like other captions, it follows the control's name while the two are
// equal: renaming a control whose caption is its old name gives it the new name
// as caption.
//
// Assistive technology sees the control as static text named by its caption
// (mnemonic ampersands left out) and, when it has a buddy, as the label of
// that field, as a QLabel with a buddy is.
#pragma once

#include "UiBase.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>

class QPainter;

namespace tembrook {

enum TAlignment : std::uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

class TCustomBoxLabel : public QWidget {
public:
    explicit TCustomBoxLabel(QWidget* owner = nullptr);

    // The band the caption is drawn in for a client rectangle and a text
    // height: centred vertically (truncating toward zero, so an odd leftover
    // pixel goes below), inset 2 pixels left and right.
    static QRect TextBand(const QRect& client, int textHeight);
    // The text flags for an alignment: absolute left/right/centre (swapped
    // under a right-to-left layout), top of the band, '&' mnemonics, expanded tabs.
    static int TextFlags(TAlignment alignment, Qt::LayoutDirection direction);
    // The band for the current size and font.
    QRect TextBand() const;
    // The height of "W" in the current font, which sets the band's height.
    int TextHeight() const;

    // The field the caption labels, for assistive technology; none by default.
    QWidget* Buddy() const { return FBuddy; }
    void SetBuddy(QWidget* field) { FBuddy = field; }
    // The caption as read aloud: up to its first line end or NUL, '&' dropped
    // before the character it marks ("&&" reads as one '&').
    QString SpokenCaption() const;

protected:
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    QString Name() const { return objectName(); }
    void SetName(const QString& value);
    const TNotifyEvent& OnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent handler) { FOnClick = std::move(handler); }

    // Draws the whole control.
    virtual void Paint(QPainter& painter);

    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void NameChanged(const QString& newName);

    TAlignment FAlignment = taCenter;
    TColor FBackColor = clBtnFace;
    QString FCaption;
    QString FName;  // the name before the latest rename
    TNotifyEvent FOnClick;
    bool FLeftPressed = false;
    QPointer<QWidget> FBuddy;
};

class TBoxLabel : public TCustomBoxLabel {
public:
    using TCustomBoxLabel::TCustomBoxLabel;

    using TCustomBoxLabel::Alignment;
    using TCustomBoxLabel::BackColor;
    using TCustomBoxLabel::Caption;
    using TCustomBoxLabel::Name;
    using TCustomBoxLabel::OnClick;
    using TCustomBoxLabel::SetAlignment;
    using TCustomBoxLabel::SetBackColor;
    using TCustomBoxLabel::SetCaption;
    using TCustomBoxLabel::SetName;
    using TCustomBoxLabel::SetOnClick;
};

}  // namespace tembrook
