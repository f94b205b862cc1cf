#pragma once
// The font of the program's windows: "ＭＳ Ｐゴシック" 12 pixels high, falling
// back to the IPA proportional Gothic (fonts-ipafont-gothic) and then to any
// Japanese sans-serif face where it is missing.

#include <QFont>

namespace tembrook {

QFont ApplicationFont(int pixelHeight = 12);

}  // namespace tembrook
