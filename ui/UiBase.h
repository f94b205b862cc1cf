// Small types shared by the user-interface components: the 32-bit colour value
// with its system colours, a font with its colour, the notify-event callback,
// and the fonts of the program's windows.
#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPalette>
#include <cstdint>
#include <functional>

class QWidget;

namespace tembrook {

// A colour: 0x00BBGGRR for a plain colour, or 0x80000000 + n for system colour
// n, which follows the palette of the widget it is drawn on.
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clWindowText = 0x80000008;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clBtnShadow = 0x80000010;
inline constexpr TColor clBtnHighlight = 0x80000014;

// The QColor for a colour value. System colours resolve to the palette's
// current colour group: button face to Button, button shadow to Dark, button
// highlight to Light, window text to WindowText (the rest as listed in the
// source); a system colour number that has no meaning gives black.
QColor ColorToQColor(TColor color, const QPalette& palette);

// A font as the components store it: the face, size and style, and the colour
// its text is drawn in.
struct TFont {
    QFont Font;
    TColor Color = clWindowText;

    bool operator==(const TFont&) const = default;
};

// A callback taking the object that raised the event.
using TNotifyEvent = std::function<void(QObject* Sender)>;

// The program's user-interface font: face "ＭＳ Ｐゴシック", falling back to
// Monapo, a Gothic face of the same widths that the set-up installs, then to
// the IPA Gothic faces; the character height in pixels given (the height -12
// of a form description is UiFont(12)).
QFont UiFont(int pixelHeight);

// Sets the colour a widget's text is drawn in (its WindowText role).
void SetTextColor(QWidget& widget, const QColor& color);

}  // namespace tembrook
