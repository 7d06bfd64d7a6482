#include "Unit_Baselang.h"
