#include "LocaleSettings.h"
