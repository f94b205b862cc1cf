#include "AboutLabel.h"

#include "Cp932Codec.h"
#include "MessageBoxes.h"
#include "UiBase.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <exception>

namespace tembrook {

namespace {

// A click handler runs inside Qt's event delivery, which an exception must not
// cross: its error is shown to the user instead, in a box that does not block.
void RunClickHandler(QWidget& source, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        QWidget* const window = source.window();
        OpenErrorMessage(window, window->windowTitle(), FromCP932(error.what()));
    }
}

// What assistive technology sees of an About label: text named by its
// caption, or, while it is a link, a link with the press action a click has.
class TAboutLabelAccessible final : public QAccessibleWidget {
public:
    explicit TAboutLabelAccessible(TAboutLabel* label) : QAccessibleWidget(label) {}

    TAboutLabel* Label() const { return static_cast<TAboutLabel*>(widget()); }

    QAccessible::Role role() const override
    {
        if (Label()->Link())
            return QAccessible::Link;
        return Label()->pixmap().isNull() ? QAccessible::StaticText : QAccessible::Graphic;
    }
    QString text(QAccessible::Text kind) const override
    {
        const QString given = QAccessibleWidget::text(kind);
        return kind == QAccessible::Name && given.isEmpty() ? Label()->Caption() : given;
    }
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (Label()->Link())
            names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& action) override
    {
        if (action != pressAction())
            QAccessibleWidget::doAction(action);
        else if (Label()->Link())
            Label()->Click();
    }
};

QAccessibleInterface* AboutLabelAccessible(const QString& /*className*/, QObject* object)
{
    auto* label = dynamic_cast<TAboutLabel*>(object);
    return label != nullptr ? new TAboutLabelAccessible(label) : nullptr;
}

}  // namespace

TAboutLabel::TAboutLabel(QWidget* parent, QRect geometry, int fontHeight, bool autoSize)
    : QLabel(parent), FAutoSize(autoSize)
{
    static const bool accessibleFactoryInstalled = [] {
        QAccessible::installFactory(&AboutLabelAccessible);
        return true;
    }();
    (void)accessibleFactoryInstalled;
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    // Text starts at the top-left corner; a label lower than its text cuts
    // the text at the bottom (the widget clips its painting to its area).
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (fontHeight > 0)
        setFont(UiFont(fontHeight));
    setGeometry(geometry);
}

void TAboutLabel::SetCaption(const QString& text)
{
    setText(text);
    if (FAutoSize)
        adjustSize();
}

void TAboutLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        FLeftPressed = true;
    QLabel::mousePressEvent(event);
}

void TAboutLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click =
        event->button() == Qt::LeftButton && FLeftPressed && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        FLeftPressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        Click();
}

void TAboutLabel::Click()
{
    if (OnClick)
        RunClickHandler(*this, OnClick);
}

}  // namespace tembrook
