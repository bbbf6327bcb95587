#include "installer/inst_state.h"

int want_file_disk = 0;
int num_install_errors = 0;
int accept_eula = 0;
int dvd_install_is_running = 0;
int scenery_install_is_running = 0;
int repair_is_running = 0;
int demo_install_is_running = 0;
