// Keyboard focus of the text fields. Main thread only.
#pragma once

// The id of the field that has the keyboard focus; 0 when none has.
extern int focus_id;

// Drops the keyboard focus, so that no text field is focused.
void BTN_unfocus_any();
