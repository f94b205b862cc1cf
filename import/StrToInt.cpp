#include "StrToInt.h"
