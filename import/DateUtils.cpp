#include "DateUtils.h"
