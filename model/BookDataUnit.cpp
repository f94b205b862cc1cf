#include "BookDataUnit.h"
