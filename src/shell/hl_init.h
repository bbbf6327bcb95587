// Start-up of the application shell.
#pragma once
#include <string>

// Makes the given OpenGL context current on the calling thread; 1 on success.
int MACIBM_set_context_loader(void* context);

// 1 when the volume that holds the application bundle is case-sensitive.
extern int g_case_sensitive;
