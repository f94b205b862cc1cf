// Seams and image helpers shared by the user-interface tests.
#pragma once

#include "AboutWindow.h"
#include "OSVersion.h"
#include "ScopedOverride.h"
#include "ShellLaunch.h"

#include <QImage>
#include <QRect>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>

namespace tembrook::test {

using namespace tembrook::platform;

// Puts itself in place of the desktop launcher for its lifetime and keeps the
// addresses it is asked to open.
class TRecordingShellLauncher final : public TShellLauncher {
public:
    TRecordingShellLauncher() : FPrevious(SetShellLauncher(this)) {}
    ~TRecordingShellLauncher() override { SetShellLauncher(FPrevious); }
    TRecordingShellLauncher(const TRecordingShellLauncher&) = delete;
    TRecordingShellLauncher& operator=(const TRecordingShellLauncher&) = delete;

    void Open(const QString& address) override { Opened.append(address); }

    QStringList Opened;

private:
    TShellLauncher* FPrevious;
};

// Replaces the About window's modal display for its lifetime.
using TScopedModalRunner = TScopedOverride<TAboutWindow::TModalRunner, &TAboutWindow::SetModalRunner>;

// Replaces the system's version record for its lifetime.
class TScopedOSVersion {
public:
    explicit TScopedOSVersion(const TOSVersionRecord& record) { SetOSVersionRecordOverride(record); }
    ~TScopedOSVersion() { SetOSVersionRecordOverride(std::nullopt); }
    TScopedOSVersion(const TScopedOSVersion&) = delete;
    TScopedOSVersion& operator=(const TScopedOSVersion&) = delete;
};

// Renders a widget (shown or not) into an image of its size.
// A plain window standing in for the form that owns an About box.
inline std::unique_ptr<QWidget> MakeOwnerForm(int left, int top, int width, int height)
{
    auto form = std::make_unique<QWidget>();
    form->setGeometry(left, top, width, height);
    return form;
}

inline QImage RenderWidget(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    widget.render(&image);
    return image;
}

// The bounding box of the pixels inside `area` that differ from `background`;
// empty when there are none.
inline QRect InkBounds(const QImage& image, const QRect& area, QRgb background)
{
    QRect bounds;
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (image.pixel(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

}  // namespace tembrook::test
