// The fixed-function pipeline as a shader, for drawing while another shader
// would otherwise be in use. One file for both stages, chosen by VSHADER and
// FSHADER; the variant defines say what the fixed-function state would do:
//   FOG     linear fog from gl_Fog, by eye distance
//   NUM_TU  0 to 2 texture units, each modulating the colour
//   GAMMA   colours into linear space (u_gamma = gamma, 1 / gamma) for
//           float and four-texture targets
//   LIT     light 0, per vertex, with the colour as the ambient and diffuse
//           material: every context starts with GL_COLOR_MATERIAL on for
//           GL_AMBIENT_AND_DIFFUSE
// GLSL 1.10: it compiles with or without the #version 120 header.

uniform sampler2D u_tex0;
uniform sampler2D u_tex1;
uniform vec2 u_gamma;

#if VSHADER

#if LIT
vec4 light0(vec3 ec_pos, vec3 n) {
  vec4 lp = gl_LightSource[0].position;
  vec3 l = lp.xyz;
  float att = 1.0;
  if (lp.w != 0.0) {
    l = lp.xyz / lp.w - ec_pos;
    float d = length(l);
    att = 1.0 / (gl_LightSource[0].constantAttenuation + gl_LightSource[0].linearAttenuation * d +
                 gl_LightSource[0].quadraticAttenuation * d * d);
  }
  l = normalize(l);
  float nl = max(dot(n, l), 0.0);
  vec4 c = gl_Color * gl_LightSource[0].ambient + gl_Color * gl_LightSource[0].diffuse * nl;
  if (nl > 0.0) {
    vec3 h = normalize(l + vec3(0.0, 0.0, 1.0));
    float nh = max(dot(n, h), 0.0);
    if (nh > 0.0) c += gl_FrontLightProduct[0].specular * pow(nh, gl_FrontMaterial.shininess);
  }
  c = gl_FrontMaterial.emission + gl_Color * gl_LightModel.ambient + c * att;
  c.a = gl_Color.a;
  return clamp(c, 0.0, 1.0);
}
#endif

void main() {
  vec4 ec = gl_ModelViewMatrix * gl_Vertex;
  gl_Position = ftransform();
#if NUM_TU > 0
  gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
#endif
#if NUM_TU > 1
  gl_TexCoord[1] = gl_TextureMatrix[1] * gl_MultiTexCoord1;
#endif
#if LIT
  gl_FrontColor = light0(ec.xyz / ec.w, normalize(gl_NormalMatrix * gl_Normal));
#else
  gl_FrontColor = gl_Color;
#endif
#if FOG
  gl_FogFragCoord = abs(ec.z);
#endif
}

#endif

#if FSHADER

void main() {
  vec4 c = gl_Color;
#if NUM_TU > 0
  c *= texture2D(u_tex0, gl_TexCoord[0].st);
#endif
#if NUM_TU > 1
  c *= texture2D(u_tex1, gl_TexCoord[1].st);
#endif
#if FOG
  float f = clamp((gl_Fog.end - gl_FogFragCoord) * gl_Fog.scale, 0.0, 1.0);
  c.rgb = mix(gl_Fog.color.rgb, c.rgb, f);
#endif
#if GAMMA
  c.rgb = pow(c.rgb, vec3(u_gamma.x));
#endif
  gl_FragColor = c;
}

#endif
