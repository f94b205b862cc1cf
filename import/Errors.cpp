#include "Errors.h"
