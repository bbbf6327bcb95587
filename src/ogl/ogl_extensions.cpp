#include "ogl/ogl_extensions.h"
#include "core/hl_alert.h"

OGL_extensions glExt;

void OGL_extensions::threaded_ogl_failed() {
  if (!threaded_avail) return;
  threaded_avail = 0;
  __MACIBM_alert(0, "There was a problem setting up OpenGL for several threads.",
                 "Flight may pause while scenery loads.", "", "", t_warning, "RUvozuz/OGL/OGL_extensions", __LINE__);
}
