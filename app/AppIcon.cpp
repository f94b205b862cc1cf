#include "AppIcon.h"

#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QtGlobal>

// The resource's registration lives in the generated qrc_tembrook.cpp inside
// this static library; naming it here keeps the linker from dropping it. The
// function must stay in the global namespace, where the macro's declaration of
// the generated function lands.
static void InitializeTembrookResources()
{
    Q_INIT_RESOURCE(tembrook);
}

namespace tembrook {

QString ApplicationIconPath()
{
    return QStringLiteral(":/tembrook/tembrook-48.png");
}

QIcon ApplicationIcon()
{
    InitializeTembrookResources();
    // Loaded at once, so that a missing or unreadable picture gives a null
    // icon instead of one that fails later when drawn. Read as the PNG it is:
    // a reader left to guess first loads every image-format plugin (GIF, ICO,
    // JPEG and the libraries behind them) to ask each whether it reads "png",
    // on the way to the main window at every start.
    QImageReader reader(ApplicationIconPath(), "png");
    reader.setAutoDetectImageFormat(false);
    const QImage picture = reader.read();
    return picture.isNull() ? QIcon() : QIcon(QPixmap::fromImage(picture));
}

}  // namespace tembrook
