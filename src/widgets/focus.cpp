#include "widgets/focus.h"

int focus_id = 0;

void BTN_unfocus_any() { focus_id = 0; }
