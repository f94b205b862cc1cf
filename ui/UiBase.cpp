#include "UiBase.h"

#include <QStringList>
#include <QWidget>
#include <array>
#include <optional>

namespace tembrook {

namespace {

// System colour number -> palette role, for the numbers that have one.
std::optional<QPalette::ColorRole> SystemColorRole(std::uint32_t index)
{
    using R = QPalette::ColorRole;
    static constexpr std::array<std::optional<R>, 31> roles = {
        R::Button,           // 0 scroll bar
        R::Window,           // 1 desktop background
        R::Highlight,        // 2 active caption
        R::Mid,              // 3 inactive caption
        R::Window,           // 4 menu
        R::Base,             // 5 window
        R::Shadow,           // 6 window frame
        R::WindowText,       // 7 menu text
        R::WindowText,       // 8 window text
        R::HighlightedText,  // 9 caption text
        R::Window,           // 10 active border
        R::Window,           // 11 inactive border
        R::Mid,              // 12 application workspace
        R::Highlight,        // 13 highlight
        R::HighlightedText,  // 14 highlight text
        R::Button,           // 15 button face
        R::Dark,             // 16 button shadow
        R::PlaceholderText,  // 17 grey text
        R::ButtonText,       // 18 button text
        R::WindowText,       // 19 inactive caption text
        R::Light,            // 20 button highlight
        R::Shadow,           // 21 3-D dark shadow
        R::Midlight,         // 22 3-D light
        R::ToolTipText,      // 23 info text
        R::ToolTipBase,      // 24 info background
        std::nullopt,        // 25 not used
        R::Link,             // 26 hot light
        R::Highlight,        // 27 active caption gradient
        R::Mid,              // 28 inactive caption gradient
        R::Highlight,        // 29 menu highlight
        R::Window,           // 30 menu bar
    };
    if (index >= roles.size())
        return std::nullopt;
    return roles[index];
}

}  // namespace

QColor ColorToQColor(TColor color, const QPalette& palette)
{
    if ((color & 0x80000000u) != 0) {
        const auto role = SystemColorRole(color & 0x00FFFFFFu);
        return role ? palette.color(*role) : QColor(Qt::black);
    }
    return QColor(int(color & 0xFFu), int((color >> 8) & 0xFFu), int((color >> 16) & 0xFFu));
}

QFont UiFont(int pixelHeight)
{
    QFont font;
    // Monapo (fonts-monapo) has the form face's widths, so the texts of the
    // layouts fit where they were placed; the IPA Gothic faces behind it are
    // wider ("TembrookURL" would overflow its box label) but cover the same
    // characters; any Japanese sans-serif face comes last.
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Monapo"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelHeight);
    return font;
}

void SetTextColor(QWidget& widget, const QColor& color)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, color);
    widget.setPalette(palette);
}

}  // namespace tembrook
