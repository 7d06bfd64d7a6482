#include "Unit_Public.h"
