#include "BookDataListUnit.h"
