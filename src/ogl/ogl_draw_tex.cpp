// The textured 2-D quads.
#include <GL/gl.h>
#include "ogl/ogl_draw.h"
#include "ogl/ogl_record.h"
#include "shell/wins.h"
#include "tex/tman.h"

void OGL_2dquad(int tex, int col, float alpha, float x1, float y1, float s1, float t1, float x2, float y2, float s2,
                float t2, float x3, float y3, float s3, float t3, float x4, float y4, float s4, float t4, int units,
                ogl_al_mode al, int env_mode) {
  OGL_setstate(fog_off, units, lit_off, al, deR_off, deW_off);
  if (tex > 0) tman.bind_ref(tex, 0, env_mode);
  OGL_set_colour(col, alpha);
  glBegin(GL_QUADS);
  OGL_2dquad_in_batch(tex, col, x1, y1, s1, t1, x2, y2, s2, t2, x3, y3, s3, t3, x4, y4, s4, t4);
  glEnd();
}

void OGL_2dquad_in_batch(int tex, int col, float x1, float y1, float s1, float t1, float x2, float y2, float s2,
                         float t2, float x3, float y3, float s3, float t3, float x4, float y4, float s4, float t4) {
  if (OGL_record_quad)
    OGL_record_quad({tex, col, {{x1, y1, s1, t1}, {x2, y2, s2, t2}, {x3, y3, s3, t3}, {x4, y4, s4, t4}}});
  const float ox = wins.win_x, oy = wins.win_y;
  glTexCoord2f(s1, t1);
  glVertex2f(x1 + ox, y1 + oy);
  glTexCoord2f(s2, t2);
  glVertex2f(x2 + ox, y2 + oy);
  glTexCoord2f(s3, t3);
  glVertex2f(x3 + ox, y3 + oy);
  glTexCoord2f(s4, t4);
  glVertex2f(x4 + ox, y4 + oy);
}

void OGL_2dquad_d(int tex, int col, float alpha, float x, float y, float s, float t, float w, float h, float sw,
                  float th, ogl_al_mode al) {
  OGL_2dquad(tex, col, alpha, x, y, s, t, x, y + h, s, t + th, x + w, y + h, s + sw, t + th, x + w, y, s + sw, t, 1,
             al, 0);
}
