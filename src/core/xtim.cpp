#include "core/xtim.h"

xtim_class xtim;
