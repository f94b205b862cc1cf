#include "AppFonts.h"

#include <QStringList>

namespace tembrook {

QFont ApplicationFont(int pixelHeight)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelHeight);
    return font;
}

}  // namespace tembrook
