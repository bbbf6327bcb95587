#include "widgets/reno.h"

reno_class reno;
