#include "BoxLabels.h"
#include "UiTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tembrook::test {
namespace {

const QRgb kFace = qRgb(0xC0, 0xC1, 0xC2);
const QRgb kShadow = qRgb(0x70, 0x71, 0x72);
const QRgb kHighlight = qRgb(0xFA, 0xFB, 0xFC);
const QRgb kText = qRgb(0, 0, 0);

// The owner form: a plain top-level widget with a palette whose frame colours
// are told apart easily.
std::unique_ptr<QWidget> MakeForm()
{
    auto form = std::make_unique<QWidget>();
    QPalette palette = form->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Button, QColor(kFace));
        palette.setColor(group, QPalette::Dark, QColor(kShadow));
        palette.setColor(group, QPalette::Light, QColor(kHighlight));
        palette.setColor(group, QPalette::WindowText, QColor(kText));
    }
    form->setPalette(palette);
    form->resize(400, 200);
    return form;
}

// The font whose "W" is `height` pixels high in the label, found by trying
// pixel sizes (the measured height depends on the installed face).
QFont FontOfTextHeight(int height)
{
    for (int pixels = height - 4; pixels <= height + 4; ++pixels) {
        QFont font = UiFont(pixels);
        if (QFontMetrics(font).size(0, QStringLiteral("W")).height() == height)
            return font;
    }
    ADD_FAILURE() << "no installed font size measures " << height << " pixels";
    return UiFont(height);
}

// The colour the frame rule gives a pixel, or nothing for an inner pixel.
// Shadow: left column except both ends' last pixel, top row except its last
// pixel; highlight, drawn after it: right column except its last pixel, bottom
// row except its first pixel.
std::optional<QRgb> FramePixel(int x, int y, int w, int h)
{
    std::optional<QRgb> colour;
    if ((x == 0 && y >= 1 && y <= h - 2) || (y == 0 && x >= 0 && x <= w - 2))
        colour = kShadow;
    if ((x == w - 1 && y >= 0 && y <= h - 2) || (y == h - 1 && x >= 1 && x <= w - 1))
        colour = kHighlight;
    return colour;
}

class BoxLabelFrameTest : public ::testing::TestWithParam<QSize> {};

TEST_P(BoxLabelFrameTest, EmptyCaptionDrawsOnlyTheFillAndTheSunkenFrame)
{
    auto form = MakeForm();
    auto* label = new TBoxLabel(form.get());
    label->resize(GetParam());
    const QImage image = RenderWidget(*label);
    const int w = label->width();
    const int h = label->height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(image.pixel(x, y), FramePixel(x, y, w, h).value_or(kFace))
                << "pixel " << x << "," << y << " of " << w << "x" << h;
    // The corner the frame lines leave out keeps the background (a one-pixel
    // high control has the top row there).
    if (h >= 2) {
        EXPECT_EQ(image.pixel(0, h - 1), kFace);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, BoxLabelFrameTest,
                         ::testing::Values(QSize(121, 17), QSize(77, 17), QSize(10, 3), QSize(2, 2),
                                           QSize(1, 17), QSize(40, 1)));

TEST(BoxLabelTest, ConstructionDefaults)
{
    auto form = MakeForm();
    auto* label = new TBoxLabel(form.get());
    EXPECT_EQ(label->size(), QSize(121, 17));
    EXPECT_EQ(label->Alignment(), taCenter);
    EXPECT_EQ(label->BackColor(), clBtnFace);
    EXPECT_TRUE(label->Caption().isEmpty());
    EXPECT_FALSE(label->OnClick());
    EXPECT_TRUE(label->testAttribute(Qt::WA_OpaquePaintEvent));
    // The font is the parent's until one is assigned.
    form->setFont(UiFont(20));
    EXPECT_EQ(label->font().pixelSize(), 20);
    label->setFont(UiFont(9));
    form->setFont(UiFont(25));
    EXPECT_EQ(label->font().pixelSize(), 9);
}

TEST(BoxLabelTest, BackColorFillsTheInsideAndLeavesTheFrame)
{
    struct Case {
        TColor color;
        QRgb fill;
    };
    for (const Case c : {Case{clBtnFace, kFace}, Case{clBtnHighlight, kHighlight},
                         Case{0x0000FF, qRgb(0xFF, 0, 0)}, Case{clBlue, qRgb(0, 0, 0xFF)}}) {
        auto form = MakeForm();
        auto* label = new TBoxLabel(form.get());
        label->SetBackColor(c.color);
        EXPECT_EQ(label->BackColor(), c.color);
        const QImage image = RenderWidget(*label);
        EXPECT_EQ(image.pixel(60, 8), c.fill) << std::hex << c.color;
        EXPECT_EQ(image.pixel(0, 16), c.fill) << std::hex << c.color;
        EXPECT_EQ(image.pixel(0, 5), kShadow);
        EXPECT_EQ(image.pixel(120, 5), kHighlight);
    }
}

struct BandCase {
    int height, textHeight;
    int top;  // the band runs from top to top + textHeight
};

class BoxLabelBandTest : public ::testing::TestWithParam<BandCase> {};

TEST_P(BoxLabelBandTest, BandIsCentredTruncatingTowardZeroAndInsetTwoPixels)
{
    const BandCase& c = GetParam();
    const QRect band = TCustomBoxLabel::TextBand(QRect(0, 0, 121, c.height), c.textHeight);
    EXPECT_EQ(band.top(), c.top);
    EXPECT_EQ(band.height(), c.textHeight);
    EXPECT_EQ(band.left(), 2);
    EXPECT_EQ(band.right(), 121 - 1 - 2);
}

INSTANTIATE_TEST_SUITE_P(
    Heights, BoxLabelBandTest,
    ::testing::Values(BandCase{17, 12, 2},  // the default size: band from 2 to 14, the odd pixel below
                      BandCase{18, 12, 3}, BandCase{16, 12, 2}, BandCase{17, 13, 2}, BandCase{12, 12, 0},
                      BandCase{10, 13, -1},  // -3 / 2 truncates to -1, not -2
                      BandCase{9, 14, -2},   // -5 / 2 truncates to -2, not -3
                      BandCase{0, 12, -6}));

TEST(BoxLabelTest, TwelvePixelFontDrawsInsideTheBandFromTwoToFourteen)
{
    auto form = MakeForm();
    auto* label = new TBoxLabel(form.get());
    label->setFont(FontOfTextHeight(12));
    ASSERT_EQ(label->TextHeight(), 12);
    EXPECT_EQ(label->TextBand(), QRect(QPoint(2, 2), QPoint(118, 13)));

    label->SetCaption(QStringLiteral("ÉÅ|gjpqy[]"));
    const QImage image = RenderWidget(*label);
    const QRect inner(1, 1, 119, 15);
    const QRect ink = InkBounds(image, inner, kFace);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.top(), 2);
    EXPECT_LE(ink.bottom(), 13);
    EXPECT_LE(ink.top(), 4) << "accents reach up to the band's top";
    EXPECT_GE(ink.bottom(), 11) << "descenders reach down to the band's bottom";
}

TEST(BoxLabelTest, SecondLineIsClippedAwayBelowTheBand)
{
    auto form = MakeForm();
    auto* label = new TBoxLabel(form.get());
    label->resize(121, 60);
    label->setFont(FontOfTextHeight(12));
    const QRect band = label->TextBand();
    ASSERT_EQ(band, QRect(QPoint(2, 24), QPoint(118, 35)));
    label->SetCaption(QStringLiteral("AB"));
    const QImage firstLineOnly = RenderWidget(*label);

    // Every line break, a lone CR included, ends the first line; what follows
    // is drawn below the band and clipped away.
    for (const QString& caption :
         {QStringLiteral("AB\nCD\nEF"), QStringLiteral("AB\r\nCD"), QStringLiteral("AB\rCD"),
          QStringLiteral("AB\r\rCD"), QStringLiteral("AB\n\rCD")}) {
        SCOPED_TRACE(caption.toStdString());
        label->SetCaption(caption);
        const QImage image = RenderWidget(*label);
        const QRect ink = InkBounds(image, QRect(1, 1, 119, 58), kFace);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_GE(ink.top(), band.top());
        EXPECT_LE(ink.bottom(), band.bottom());
        EXPECT_EQ(image, firstLineOnly);
    }
}

TEST(BoxLabelTest, ControlLowerThanTheTextCutsTheText)
{
    auto form = MakeForm();
    auto* label = new TBoxLabel(form.get());
    label->resize(121, 8);
    label->setFont(FontOfTextHeight(12));
    EXPECT_EQ(label->TextBand().top(), -2);
    label->SetCaption(QStringLiteral("ÉW"));
    const QImage image = RenderWidget(*label);
    EXPECT_FALSE(InkBounds(image, QRect(1, 1, 119, 6), kFace).isEmpty());
}

QImage RenderCaption(TAlignment alignment, Qt::LayoutDirection direction, const QString& caption)
{
    auto form = MakeForm();
    auto* label = new TBoxLabel(form.get());
    label->setFont(FontOfTextHeight(12));
    label->setLayoutDirection(direction);
    label->SetAlignment(alignment);
    label->SetCaption(caption);
    return RenderWidget(*label);
}

QRect CaptionInk(const QImage& image)
{
    return InkBounds(image, QRect(1, 1, image.width() - 2, image.height() - 2), kFace);
}

TEST(BoxLabelTest, AlignmentPlacesTheTextTwoPixelsFromTheEdges)
{
    const QString caption = QStringLiteral("WW");
    const QRect left = CaptionInk(RenderCaption(taLeftJustify, Qt::LeftToRight, caption));
    const QRect right = CaptionInk(RenderCaption(taRightJustify, Qt::LeftToRight, caption));
    const QRect centre = CaptionInk(RenderCaption(taCenter, Qt::LeftToRight, caption));
    ASSERT_FALSE(left.isEmpty());
    EXPECT_GE(left.left(), 2);
    EXPECT_LE(left.left(), 3);
    EXPECT_LE(right.right(), 118);
    EXPECT_GE(right.right(), 117);
    EXPECT_NEAR((centre.left() + centre.right()) / 2.0, 60.0, 1.0);
    EXPECT_EQ(left.width(), right.width());
    // Centred text may start on half a pixel, which antialiasing spreads over one more.
    EXPECT_NEAR(left.width(), centre.width(), 1);
}

TEST(BoxLabelTest, RightToLeftSwapsLeftAndRightAndKeepsCentre)
{
    const QString caption = QStringLiteral("Tembrook");
    EXPECT_EQ(RenderCaption(taLeftJustify, Qt::RightToLeft, caption),
              RenderCaption(taRightJustify, Qt::LeftToRight, caption));
    EXPECT_EQ(RenderCaption(taRightJustify, Qt::RightToLeft, caption),
              RenderCaption(taLeftJustify, Qt::LeftToRight, caption));
    EXPECT_EQ(RenderCaption(taCenter, Qt::RightToLeft, caption),
              RenderCaption(taCenter, Qt::LeftToRight, caption));
    EXPECT_NE(RenderCaption(taLeftJustify, Qt::RightToLeft, caption),
              RenderCaption(taLeftJustify, Qt::LeftToRight, caption));
}

TEST(BoxLabelTest, AmpersandUnderlinesTheNextCharacterAndIsNotDrawn)
{
    const QImage plain = RenderCaption(taLeftJustify, Qt::LeftToRight, QStringLiteral("W"));
    const QImage marked = RenderCaption(taLeftJustify, Qt::LeftToRight, QStringLiteral("&W"));
    const QRect plainInk = CaptionInk(plain);
    const QRect markedInk = CaptionInk(marked);
    ASSERT_NE(plain, marked);
    // No ampersand glyph: the text starts where the plain W starts and is no wider than W's advance.
    EXPECT_EQ(markedInk.left(), plainInk.left());
    const QFontMetrics metrics(FontOfTextHeight(12));
    EXPECT_LE(markedInk.width(), metrics.horizontalAdvance(QLatin1Char('W')) + 1);
    // Everything the plain W inks is still inked; the additions lie below the baseline.
    const int baseline = 2 + metrics.ascent();
    for (int y = 1; y < plain.height() - 1; ++y)
        for (int x = 1; x < plain.width() - 1; ++x) {
            if (plain.pixel(x, y) != kFace) {
                EXPECT_NE(marked.pixel(x, y), kFace) << x << "," << y;
            }
            if (marked.pixel(x, y) != plain.pixel(x, y)) {
                EXPECT_GE(y, baseline - 1) << x << "," << y;
            }
        }
}

TEST(BoxLabelTest, DoubledAmpersandDrawsOneAmpersand)
{
    auto form = MakeForm();
    auto* label = new TBoxLabel(form.get());
    label->setFont(FontOfTextHeight(12));
    label->SetAlignment(taLeftJustify);
    label->SetCaption(QStringLiteral("&&W"));
    const QImage image = RenderWidget(*label);

    // The same text drawn without mnemonic handling, then framed alike.
    auto reference = MakeForm();
    auto* literal = new TBoxLabel(reference.get());
    literal->setFont(label->font());
    literal->SetAlignment(taLeftJustify);
    QImage expected = RenderWidget(*literal);
    {
        QPainter painter(&expected);
        painter.setFont(label->font());
        painter.setPen(QColor(kText));
        painter.setClipRect(label->TextBand());
        painter.drawText(label->TextBand(), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("&W"));
    }
    EXPECT_EQ(image, expected);
}

TEST(BoxLabelTest, TabsExpandToTabStops)
{
    const QRect tab = CaptionInk(RenderCaption(taLeftJustify, Qt::LeftToRight, QStringLiteral("A\tB")));
    const QRect space = CaptionInk(RenderCaption(taLeftJustify, Qt::LeftToRight, QStringLiteral("A B")));
    EXPECT_GT(tab.right(), space.right() + 10);
}

TEST(BoxLabelTest, CaptionEndsAtItsFirstNulCharacter)
{
    QString caption = QStringLiteral("W");
    caption.append(QChar(u'\0'));
    caption.append(QStringLiteral("XYZ"));
    EXPECT_EQ(RenderCaption(taLeftJustify, Qt::LeftToRight, caption),
              RenderCaption(taLeftJustify, Qt::LeftToRight, QStringLiteral("W")));
}

// A screen reader hears the caption as it is drawn.
TEST(BoxLabelTest, AssistiveTechnologyHearsTheCaptionAsDrawn)
{
    auto form = MakeForm();
    auto* label = new TBoxLabel(form.get());
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(label);
    for (const auto& [caption, heard] : {std::pair{"&URL", "URL"}, {"A&&B", "A&B"}, {"one\r\ntwo", "one"}}) {
        label->SetCaption(QString::fromUtf8(caption));
        EXPECT_EQ(spoken->text(QAccessible::Name), QString::fromUtf8(heard)) << heard;
    }
}

// Counts the paints that reach the control.
class TCountingBoxLabel final : public TBoxLabel {
public:
    using TBoxLabel::TBoxLabel;
    int Paints = 0;

protected:
    void Paint(QPainter& painter) override
    {
        ++Paints;
        TBoxLabel::Paint(painter);
    }
};

TEST(BoxLabelTest, RepaintsOnEveryAssignmentAndOnCaptionFontAndSizeChanges)
{
    auto form = MakeForm();
    auto* label = new TCountingBoxLabel(form.get());
    label->SetCaption(QStringLiteral("TembrookURL"));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return label->Paints > 0; }, 60000));

    struct Step {
        const char* what;
        std::function<void()> change;
    };
    const Step steps[] = {
        {"same alignment", [&] { label->SetAlignment(label->Alignment()); }},
        {"new alignment", [&] { label->SetAlignment(taLeftJustify); }},
        {"same back colour", [&] { label->SetBackColor(label->BackColor()); }},
        {"new back colour", [&] { label->SetBackColor(clBtnHighlight); }},
        {"caption", [&] { label->SetCaption(QStringLiteral("URL")); }},
        {"font", [&] { label->setFont(UiFont(15)); }},
        {"size", [&] { label->resize(90, 20); }},
        {"name", [&] { label->SetName(QStringLiteral("BoxLabel1")); }},
    };
    for (const Step& step : steps) {
        QTest::qWait(20);
        label->Paints = 0;
        step.change();
        EXPECT_TRUE(QTest::qWaitFor([&] { return label->Paints > 0; }, 60000)) << step.what;
    }
    // Nothing assigned, nothing painted: the counting above is not a paint loop.
    QTest::qWait(20);
    label->Paints = 0;
    QTest::qWait(100);
    EXPECT_EQ(label->Paints, 0);
}

TEST(BoxLabelTest, CaptionFollowsTheNameWhileTheyAreEqual)
{
    auto form = MakeForm();
    auto* label = new TBoxLabel(form.get());
    label->SetName(QStringLiteral("BoxLabel1"));
    EXPECT_EQ(label->Caption(), QStringLiteral("BoxLabel1"));  // empty caption == empty old name
    EXPECT_EQ(label->Name(), QStringLiteral("BoxLabel1"));

    label->SetName(QStringLiteral("URLLabel"));
    EXPECT_EQ(label->Caption(), QStringLiteral("URLLabel"));

    label->SetCaption(QStringLiteral("TembrookURL"));
    label->SetName(QStringLiteral("BoxLabel2"));
    EXPECT_EQ(label->Caption(), QStringLiteral("TembrookURL"));

    // Renaming through QObject follows the same rule.
    label->SetCaption(QStringLiteral("BoxLabel2"));
    label->setObjectName(QStringLiteral("BoxLabel3"));
    EXPECT_EQ(label->Caption(), QStringLiteral("BoxLabel3"));
}

void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint at)
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST(BoxLabelTest, LeftPressAndReleaseOverTheControlClicks)
{
    auto form = MakeForm();
    auto* label = new TBoxLabel(form.get());
    QList<QObject*> senders;
    label->SetOnClick([&](QObject* sender) { senders.append(sender); });
    const QPoint inside(10, 8);
    using E = QEvent;

    struct Case {
        const char* what;
        std::vector<std::tuple<E::Type, Qt::MouseButton, QPoint>> events;
        int clicks;
    };
    const Case cases[] = {
        {"left click",
         {{E::MouseButtonPress, Qt::LeftButton, inside}, {E::MouseButtonRelease, Qt::LeftButton, inside}},
         1},
        {"right click",
         {{E::MouseButtonPress, Qt::RightButton, inside}, {E::MouseButtonRelease, Qt::RightButton, inside}},
         0},
        {"released outside",
         {{E::MouseButtonPress, Qt::LeftButton, inside},
          {E::MouseButtonRelease, Qt::LeftButton, QPoint(200, 8)}},
         0},
        {"release without press", {{E::MouseButtonRelease, Qt::LeftButton, inside}}, 0},
        {"double click, press before it",
         {{E::MouseButtonPress, Qt::LeftButton, inside},
          {E::MouseButtonRelease, Qt::LeftButton, inside},
          {E::MouseButtonPress, Qt::LeftButton, inside},
          {E::MouseButtonDblClick, Qt::LeftButton, inside},
          {E::MouseButtonRelease, Qt::LeftButton, inside}},
         2},
        {"double click alone",
         {{E::MouseButtonPress, Qt::LeftButton, inside},
          {E::MouseButtonRelease, Qt::LeftButton, inside},
          {E::MouseButtonDblClick, Qt::LeftButton, inside},
          {E::MouseButtonRelease, Qt::LeftButton, inside}},
         2},
    };
    for (const Case& c : cases) {
        senders.clear();
        for (const auto& [type, button, at] : c.events)
            SendMouse(label, type, button, at);
        EXPECT_EQ(senders.size(), c.clicks) << c.what;
        for (QObject* sender : senders)
            EXPECT_EQ(sender, label) << c.what;
    }
}

}  // namespace
}  // namespace tembrook::test
