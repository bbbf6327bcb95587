#include "ogl/ogl_state.h"
#include "widgets/reno.h"

int num_units = 1;

static const OGL_state_calls s_libgl = {glIsEnabled,         glEnable,
                                        glDisable,           glDepthMask,
                                        glActiveTextureARB,  glEnableClientState,
                                        glDisableClientState, glClientActiveTextureARB};
static const OGL_state_calls* s_gl = &s_libgl;

const OGL_state_calls* OGL_state_calls_use(const OGL_state_calls* calls) {
  const OGL_state_calls* old = s_gl;
  s_gl = calls ? calls : &s_libgl;
  return old;
}

// The last state applied: modes as passed (0 on), the clamped unit count,
// and whether blending and the alpha test are on.
static struct {
  int known = 0;
  int fog = 1, tex = 0, lit = 1, blend = 0, alpha_test = 0, depth_read = 1, depth_write = 1;
} s_state;

static struct {
  int normals = 0, colors = 0;
  int texes[8] = {0, 0, 0, 0, 0, 0, 0, 0};
} s_client;

void OGL_setstate_forget() {
  s_state = {};
  s_client = {};
}

static void set_cap(GLenum cap, bool on) { on ? s_gl->enable(cap) : s_gl->disable(cap); }

void OGL_setstate(ogl_fog_mode fog, int units, ogl_lit_mode lit, ogl_al_mode alpha, ogl_deR_mode depth_read,
                  ogl_deW_mode depth_write) {
  const OGL_state_calls& gl = *s_gl;
  if (!s_state.known) {
    // The context may come to us in any state, so ask it once. The depth
    // mask is not asked: depth writes are believed off.
    s_state.known = 1;
    s_state.fog = gl.is_enabled(GL_FOG) ? 0 : 1;
    s_state.tex = gl.is_enabled(GL_TEXTURE_2D) ? num_units : 0;
    s_state.lit = gl.is_enabled(GL_LIGHTING) ? 0 : 1;
    s_state.blend = gl.is_enabled(GL_BLEND) ? 1 : 0;
    s_state.alpha_test = gl.is_enabled(GL_ALPHA_TEST) ? 1 : 0;
    s_state.depth_read = gl.is_enabled(GL_DEPTH_TEST) ? 0 : 1;
    s_state.depth_write = 1;
  }

  if (fog != s_state.fog) set_cap(GL_FOG, fog == 0);

  int n = units;
  if (units != s_state.tex) {
    set_cap(GL_TEXTURE_2D, units > 0);
    n = units < 0 ? 0 : units;
    if (n > reno.num_tex_units) n = reno.num_tex_units;
    num_units = n;
    // Units above the first are switched one by one; the first was done on
    // the active unit above. The cache only tracks eight units.
    if (n > 1 || s_state.tex > 1) {
      for (int i = 0; i < 8; ++i)
        if (s_state.tex <= i && i < n) {
          gl.active_texture(GL_TEXTURE0 + i);
          gl.enable(GL_TEXTURE_2D);
        }
      for (int i = 0; i < 8; ++i)
        if (n <= i && i < s_state.tex) {
          gl.active_texture(GL_TEXTURE0 + i);
          gl.disable(GL_TEXTURE_2D);
        }
      gl.active_texture(GL_TEXTURE0);
    }
  }

  if (lit != s_state.lit) {
    set_cap(GL_LIGHTING, lit == 0);
    set_cap(GL_LIGHT0, lit == 0);
  }

  // Compared with what is on, not with the last mode, since two modes share
  // each capability. A mode we do not know leaves both as they are, and so
  // does the cache.
  const bool known_alpha = alpha >= al_none && alpha <= al_blend_test;
  if (known_alpha) {
    const int blend = alpha == al_blend || alpha == al_blend_test;
    const int test = alpha == al_test || alpha == al_blend_test;
    if (blend != s_state.blend) set_cap(GL_BLEND, blend);
    if (test != s_state.alpha_test) set_cap(GL_ALPHA_TEST, test);
    s_state.blend = blend;
    s_state.alpha_test = test;
  }

  if (depth_read != s_state.depth_read) set_cap(GL_DEPTH_TEST, depth_read == 0);
  if (depth_write != s_state.depth_write) gl.depth_mask(depth_write == 0 ? GL_TRUE : GL_FALSE);

  s_state.fog = fog;
  s_state.tex = n;
  s_state.lit = lit;
  s_state.depth_read = depth_read;
  s_state.depth_write = depth_write;
}

void OGL_setclientstate(ogl_nrm_mode normals, ogl_col_mode colors, unsigned char tex_mask) {
  const OGL_state_calls& gl = *s_gl;
  const int want_normals = normals != 0, want_colors = colors != 0;
  if (want_normals && !s_client.normals) gl.enable_client_state(GL_NORMAL_ARRAY);
  if (want_colors && !s_client.colors) gl.enable_client_state(GL_COLOR_ARRAY);
  if (!want_normals && s_client.normals) gl.disable_client_state(GL_NORMAL_ARRAY);
  if (!want_colors && s_client.colors) gl.disable_client_state(GL_COLOR_ARRAY);

  // Unit 0 is the client-active unit whenever we are not inside this call.
  const int want0 = tex_mask & 1;
  if (want0 && !s_client.texes[0]) gl.enable_client_state(GL_TEXTURE_COORD_ARRAY);
  if (!want0 && s_client.texes[0]) gl.disable_client_state(GL_TEXTURE_COORD_ARRAY);

  for (int i = 1; i < 8; ++i) {
    const int want = (tex_mask >> i) & 1;
    if (reno.num_tex_units > i && want != s_client.texes[i]) {
      gl.client_active_texture(GL_TEXTURE0 + i);
      want ? gl.enable_client_state(GL_TEXTURE_COORD_ARRAY) : gl.disable_client_state(GL_TEXTURE_COORD_ARRAY);
    }
  }
  gl.client_active_texture(GL_TEXTURE0);

  s_client.normals = want_normals;
  s_client.colors = want_colors;
  for (int i = 0; i < 8; ++i) s_client.texes[i] = (tex_mask >> i) & 1;
}
