#include "AppIcon.h"

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
    // icon instead of one that fails later when drawn.
    const QPixmap picture(ApplicationIconPath());
    return picture.isNull() ? QIcon() : QIcon(picture);
}

}  // namespace tembrook
