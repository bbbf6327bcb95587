#include "shell/wins.h"

wins_class wins;
