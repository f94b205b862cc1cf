#include "BoxLabels.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace tembrook {

namespace {

// Fills the pixels of a horizontal or vertical segment from `from` toward `to`,
// leaving out the end point, as a pen moving from point to point does.
void DrawSegment(QPainter& painter, QPoint from, QPoint to, const QColor& color)
{
    if (from == to)
        return;
    QPoint last = to;  // the last pixel drawn, one step short of `to`
    if (from.x() == to.x())
        last.ry() += to.y() > from.y() ? -1 : 1;
    else
        last.rx() += to.x() > from.x() ? -1 : 1;
    // QRect::normalized() would shift swapped inclusive corners, so order them here.
    const QPoint topLeft(std::min(from.x(), last.x()), std::min(from.y(), last.y()));
    const QPoint bottomRight(std::max(from.x(), last.x()), std::max(from.y(), last.y()));
    painter.fillRect(QRect(topLeft, bottomRight), color);
}

// What assistive technology sees of a box label: static text named by the
// caption that labels its buddy.
class TBoxLabelAccessible final : public QAccessibleWidget {
public:
    explicit TBoxLabelAccessible(TCustomBoxLabel* label) : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        const QString given = QAccessibleWidget::text(kind);
        if (kind != QAccessible::Name || !given.isEmpty())
            return given;
        return static_cast<const TCustomBoxLabel*>(widget())->SpokenCaption();
    }

    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        QWidget* buddy = static_cast<const TCustomBoxLabel*>(widget())->Buddy();
        if ((match & QAccessible::Labelled) && buddy != nullptr)
            found.append({QAccessible::queryAccessibleInterface(buddy), QAccessible::Labelled});
        return found;
    }
};

QAccessibleInterface* BoxLabelAccessible(const QString& /*className*/, QObject* object)
{
    auto* label = dynamic_cast<TCustomBoxLabel*>(object);
    return label != nullptr ? new TBoxLabelAccessible(label) : nullptr;
}

void AnnounceNameChange(QWidget* label)
{
    QAccessibleEvent event(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

}  // namespace

TCustomBoxLabel::TCustomBoxLabel(QWidget* owner) : QWidget(owner)
{
    static const bool accessibleFactoryInstalled = [] {
        QAccessible::installFactory(&BoxLabelAccessible);
        return true;
    }();
    (void)accessibleFactoryInstalled;
    // The control paints every pixel of its area.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(121, 17);
    connect(this, &QObject::objectNameChanged, this,
            [this](const QString& newName) { NameChanged(newName); });
}

QRect TCustomBoxLabel::TextBand(const QRect& client, int textHeight)
{
    // QRect's right()/bottom() are inclusive; work on the exclusive edges.
    const int left = client.left();
    const int top = client.top();
    const int right = client.left() + client.width();
    const int bottom = client.top() + client.height();
    const int bandTop = (top + bottom - textHeight) / 2;  // C++ truncates toward zero
    return QRect(QPoint(left + 2, bandTop), QPoint(right - 2 - 1, bandTop + textHeight - 1));
}

int TCustomBoxLabel::TextFlags(TAlignment alignment, Qt::LayoutDirection direction)
{
    int horizontal = Qt::AlignHCenter;
    if (alignment == taLeftJustify)
        horizontal = direction == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft;
    else if (alignment == taRightJustify)
        horizontal = direction == Qt::RightToLeft ? Qt::AlignLeft : Qt::AlignRight;
    // Top of the band: a second line starts below it and is clipped away.
    return horizontal | Qt::AlignAbsolute | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextExpandTabs;
}

int TCustomBoxLabel::TextHeight() const
{
    return QFontMetrics(font()).size(0, QStringLiteral("W")).height();
}

QRect TCustomBoxLabel::TextBand() const
{
    return TextBand(rect(), TextHeight());
}

void TCustomBoxLabel::SetAlignment(TAlignment value)
{
    FAlignment = value;
    update();
}

void TCustomBoxLabel::SetBackColor(TColor value)
{
    FBackColor = value;
    update();
}

void TCustomBoxLabel::SetCaption(const QString& value)
{
    FCaption = value;
    update();
    AnnounceNameChange(this);
}

QString TCustomBoxLabel::SpokenCaption() const
{
    QString spoken;
    for (qsizetype i = 0; i < FCaption.size(); ++i) {
        QChar c = FCaption.at(i);
        if (c == u'&' && i + 1 < FCaption.size())
            c = FCaption.at(++i);
        if (c == u'\0' || c == u'\r' || c == u'\n')
            break;
        spoken += c;
    }
    return spoken;
}

void TCustomBoxLabel::SetName(const QString& value)
{
    setObjectName(value);  // NameChanged runs when the name really changes
    update();
}

void TCustomBoxLabel::NameChanged(const QString& newName)
{
    if (FCaption == FName) {
        FCaption = newName;
        AnnounceNameChange(this);
    }
    FName = newName;
    update();
}

void TCustomBoxLabel::Paint(QPainter& painter)
{
    const int w = width();
    const int h = height();
    const QPalette& pal = palette();

    painter.fillRect(rect(), ColorToQColor(FBackColor, pal));

    painter.setFont(font());
    painter.setPen(pal.color(QPalette::WindowText));
    painter.setLayoutDirection(layoutDirection());
    const QRect band = TextBand();
    // The caption ends at its first NUL character, as a zero-terminated text does.
    const qsizetype nul = FCaption.indexOf(QChar(u'\0'));
    QString text = nul < 0 ? FCaption : FCaption.left(nul);
    // CR LF, LF and a lone CR each start a new line; Qt breaks lines at LF only
    // and would draw a lone CR as a blank.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (!text.isEmpty() && band.isValid()) {
        painter.save();
        painter.setClipRect(band);
        painter.drawText(band, TextFlags(FAlignment, layoutDirection()), text);
        painter.restore();
    }

    // The sunken frame, drawn over the fill and the text: shadow on the left and
    // top edges, highlight on the right and bottom. Each segment leaves out its
    // end point, so the bottom-left pixel (0, h - 1) keeps the background.
    const QColor shadow = ColorToQColor(clBtnShadow, pal);
    const QColor highlight = ColorToQColor(clBtnHighlight, pal);
    DrawSegment(painter, QPoint(0, h - 2), QPoint(0, 0), shadow);
    DrawSegment(painter, QPoint(0, 0), QPoint(w - 1, 0), shadow);
    DrawSegment(painter, QPoint(w - 1, 0), QPoint(w - 1, h - 1), highlight);
    DrawSegment(painter, QPoint(w - 1, h - 1), QPoint(0, h - 1), highlight);
}

void TCustomBoxLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Paint(painter);
}

void TCustomBoxLabel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::LayoutDirectionChange:
        update();
        break;
    default:
        break;
    }
}

void TCustomBoxLabel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    update();
}

// Mouse buttons raise no events of their own except the click: a left press
// and release over the control. A double click arrives as a second press
// (QWidget::mouseDoubleClickEvent forwards to mousePressEvent), so it clicks twice.
void TCustomBoxLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        FLeftPressed = true;
    event->accept();
}

void TCustomBoxLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const bool wasPressed = FLeftPressed;
    FLeftPressed = false;
    if (wasPressed && rect().contains(event->position().toPoint()) && FOnClick)
        FOnClick(this);
}

void TCustomBoxLabel::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

}  // namespace tembrook
