#pragma once
// The program's icon: the 48-pixel picture that the packaging installs for the
// desktop (packaging/tembrook-48.png), built into the program as a Qt resource
// (app/tembrook.qrc). main sets it as the application's window icon, so every
// window of the program shows it.

#include <QIcon>
#include <QString>

namespace tembrook {

// The resource path of the built-in picture.
QString ApplicationIconPath();
// The icon; null only if the resource is missing from the build.
QIcon ApplicationIcon();

}  // namespace tembrook
