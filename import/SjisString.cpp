#include "SjisString.h"
