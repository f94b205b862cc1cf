#include "AppFonts.h"

#include "UiBase.h"

namespace tembrook {

QFont ApplicationFont(int pixelHeight)
{
    return UiFont(pixelHeight);
}

}  // namespace tembrook
