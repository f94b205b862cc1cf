#include "DataListObject.h"
