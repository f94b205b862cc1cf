#include "AboutWindow.h"

#include "OSVersion.h"
#include "ShellLaunch.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

namespace tembrook {

namespace {

constexpr int kClientWidth = 400;
constexpr int kClientHeight = 196;

TAboutWindow::TModalRunner& ModalRunner()
{
    static TAboutWindow::TModalRunner runner;
    return runner;
}

// A horizontal sunken line along the top of its area.
class TTopLineBevel final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(QRect(0, 0, width(), 1), ColorToQColor(clBtnShadow, palette()));
        painter.fillRect(QRect(0, 1, width(), 1), ColorToQColor(clBtnHighlight, palette()));
    }
};

}  // namespace

// ---------------------------------------------------------------------------

TAboutWindow::TAboutWindow(QWidget* parent) : QDialog(parent)
{
    setFont(UiFont(12));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorToQColor(clBtnFace, pal));
    setPalette(pal);
    setAutoFillBackground(true);

    // Left, top, width, height; a font height of 0 keeps the window's font.
    TitleText = new TAboutLabel(this, {48, 20, 345, 29}, 32, false);
    Label2 = new TAboutLabel(this, {48, 68, 46, 15}, 15, true);
    CopyrightText = new TAboutLabel(this, {56, 96, 85, 13}, 13, true);
    GraphPicture = new TAboutLabel(this, {8, 8, 32, 32}, 0, false);
    EMailTitleLabel = new TAboutLabel(this, {56, 112, 39, 13}, 13, true);
    WebPageTitleLabel = new TAboutLabel(this, {56, 128, 53, 13}, 13, true);
    EMailText = new TAboutLabel(this, {100, 112, 75, 13}, 13, true);
    WebPageText = new TAboutLabel(this, {108, 128, 152, 13}, 13, true);
    VerText = new TAboutLabel(this, {100, 68, 31, 15}, 15, true);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(320, 168, 77, 25);
    TitleHeaderText = new TAboutLabel(this, {48, 4, 349, 16}, 15, false);
    TitleFooterText = new TAboutLabel(this, {56, 52, 337, 13}, 13, false);
    Bevel1 = new TTopLineBevel(this);
    Bevel1->setGeometry(36, 144, 357, 9);
    OSEnvironmentDispLabel = new TAboutLabel(this, {48, 152, 226, 12}, 0, true);

    Label2->SetCaption(QStringLiteral("version"));
    EMailTitleLabel->SetCaption(QStringLiteral("E-Mail:"));
    WebPageTitleLabel->SetCaption(QStringLiteral("WebPage:"));

    // OK is the default button (Enter presses it) and the only control that
    // takes the focus, so it is first in the tab order.
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    OKButton->setFocus();

    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    EMailText->OnClick = [this] { EMailTextClick(); };
    WebPageText->OnClick = [this] { WebPageTextClick(); };
    GraphPicture->OnClick = [this] { GraphPictureClick(); };

    resize(kClientWidth, kClientHeight);
    SetBorderStyle(bsDialog);
}

void TAboutWindow::SetBorderStyle(TFormBorderStyle style)
{
    Qt::WindowFlags flags;
    bool sizeable = false;
    switch (style) {
    case bsNone:
        flags = Qt::Dialog | Qt::FramelessWindowHint;
        break;
    case bsSingle:
        flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
            Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
        break;
    case bsSizeable:
        flags = Qt::Window;
        sizeable = true;
        break;
    case bsToolWindow:
        flags = Qt::Tool;
        break;
    case bsSizeToolWin:
        flags = Qt::Tool;
        sizeable = true;
        break;
    case bsDialog:
    default:
        style = bsDialog;
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
            Qt::WindowCloseButtonHint;
        break;
    }
    FBorderStyle = style;

    // Changing the flags re-creates the native window; keep a position that was set.
    const bool moved = testAttribute(Qt::WA_Moved);
    const QPoint position = pos();
    const QSize clientSize = size();
    setWindowFlags(flags);
    if (sizeable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(clientSize);
    } else {
        setFixedSize(clientSize);
    }
    if (moved)
        move(position);
}

void TAboutWindow::SetPicture(const QPixmap& picture)
{
    GraphPicture->setPixmap(picture);
    // The image takes the picture's size; an empty picture leaves it as it is.
    if (!picture.isNull())
        GraphPicture->resize(picture.deviceIndependentSize().toSize());
}

bool TAboutWindow::HasText(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0x20)
            return true;
    return false;
}

void TAboutWindow::SetEMail(const QString& address)
{
    EMailText->SetCaption(address);
    EMailTitleLabel->setVisible(HasText(address));
}

void TAboutWindow::SetWebPage(const QString& address)
{
    WebPageText->SetCaption(address);
    WebPageTitleLabel->setVisible(HasText(address));
}

void TAboutWindow::ApplyLinkLook(TAboutLabel& label, bool on)
{
    label.SetLink(on);
    QFont font = label.font();
    font.setBold(false);
    font.setItalic(false);
    font.setStrikeOut(false);
    font.setUnderline(on);
    label.setFont(font);
    // Window text resolves against the window's palette, not the label's own
    // (which may still hold the link blue).
    SetTextColor(label, ColorToQColor(on ? clBlue : clWindowText, palette()));
    if (on)
        label.setCursor(Qt::PointingHandCursor);
    else
        label.unsetCursor();
    if (label.AutoSize())
        label.adjustSize();
}

void TAboutWindow::SetWebLink(bool on)
{
    FWebLinkOn = on;
    ApplyLinkLook(*WebPageText, on);
}

void TAboutWindow::SetMailLink(bool on)
{
    FMailLinkOn = on;
    ApplyLinkLook(*EMailText, on);
}

void TAboutWindow::SetTitleFont(const TFont& font)
{
    TitleText->setFont(font.Font);
    SetTextColor(*TitleText, ColorToQColor(font.Color, palette()));
}

TAboutWindow::TModalRunner TAboutWindow::SetModalRunner(TModalRunner runner)
{
    TModalRunner previous = std::move(ModalRunner());
    ModalRunner() = std::move(runner);
    return previous;
}

void TAboutWindow::ShowAbout()
{
    // A borderless window's outer height is its client height already, so a
    // bsNone window needs no adjusting before it is shown.
    OSEnvironmentDispLabel->SetCaption(platform::OSEnvironmentText());
    if (const TModalRunner& runner = ModalRunner())
        runner(*this);
    else
        exec();
}

void TAboutWindow::keyPressEvent(QKeyEvent* event)
{
    // There is no cancel button: Escape does not close the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutWindow::OKButtonClick()
{
    close();
}

void TAboutWindow::WebPageTextClick()
{
    if (FWebLinkOn)
        platform::ShellOpen(platform::LaunchBufferText(WebPageText->Caption()));
}

void TAboutWindow::EMailTextClick()
{
    if (FMailLinkOn)
        platform::ShellOpen(platform::LaunchBufferText(QStringLiteral("MailTo:") + EMailText->Caption()));
}

void TAboutWindow::GraphPictureClick()
{
    if (FIconClick)
        FIconClick(this);
}

}  // namespace tembrook
