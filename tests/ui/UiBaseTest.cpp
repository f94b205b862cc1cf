#include "UiBase.h"

#include <gtest/gtest.h>

namespace tembrook::test {
namespace {

QPalette DistinctPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(0xC0, 0xC1, 0xC2));
    palette.setColor(QPalette::Dark, QColor(0x80, 0x81, 0x82));
    palette.setColor(QPalette::Light, QColor(0xFE, 0xFD, 0xFC));
    palette.setColor(QPalette::WindowText, QColor(0x10, 0x11, 0x12));
    palette.setColor(QPalette::Highlight, QColor(0x20, 0x30, 0x40));
    return palette;
}

struct ColorCase {
    TColor color;
    QRgb expected;
};

class ColorToQColorTest : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorToQColorTest, ResolvesPlainAndSystemColours)
{
    const ColorCase& c = GetParam();
    EXPECT_EQ(ColorToQColor(c.color, DistinctPalette()).rgb(), c.expected)
        << std::hex << "colour 0x" << c.color;
}

INSTANTIATE_TEST_SUITE_P(
    Colours, ColorToQColorTest,
    ::testing::Values(
        // Plain colours are blue-green-red.
        ColorCase{clBlue, qRgb(0, 0, 0xFF)}, ColorCase{0x0000FF, qRgb(0xFF, 0, 0)},
        ColorCase{0x00FF00, qRgb(0, 0xFF, 0)}, ColorCase{0x123456, qRgb(0x56, 0x34, 0x12)},
        ColorCase{clBlack, qRgb(0, 0, 0)}, ColorCase{clWhite, qRgb(0xFF, 0xFF, 0xFF)},
        // System colours follow the palette.
        ColorCase{clBtnFace, qRgb(0xC0, 0xC1, 0xC2)}, ColorCase{clBtnShadow, qRgb(0x80, 0x81, 0x82)},
        ColorCase{clBtnHighlight, qRgb(0xFE, 0xFD, 0xFC)}, ColorCase{clWindowText, qRgb(0x10, 0x11, 0x12)},
        ColorCase{0x8000000D, qRgb(0x20, 0x30, 0x40)},
        // A system colour number without a meaning is black.
        ColorCase{0x80000019, qRgb(0, 0, 0)}, ColorCase{0x800000FF, qRgb(0, 0, 0)},
        ColorCase{0x80FFFFFF, qRgb(0, 0, 0)}));

TEST(UiFontTest, NamesTheFormFaceFirstAndSetsThePixelHeight)
{
    const QFont font = UiFont(13);
    EXPECT_EQ(font.pixelSize(), 13);
    ASSERT_FALSE(font.families().isEmpty());
    EXPECT_EQ(font.families().front(), QStringLiteral("ＭＳ Ｐゴシック"));
}

}  // namespace
}  // namespace tembrook::test
