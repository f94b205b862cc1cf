#pragma once
// The font of the program's windows: the user-interface font of the
// components (UiFont: "ＭＳ Ｐゴシック", falling back to Monapo, a face of the
// same widths, then to the IPA Gothic faces), 12 pixels high unless asked.

#include <QFont>

namespace tembrook {

QFont ApplicationFont(int pixelHeight = 12);

}  // namespace tembrook
