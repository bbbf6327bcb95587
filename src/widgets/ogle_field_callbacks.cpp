// The editor's view of the text field it is bound to.
#include "ogl/OGL_font.h"
#include "ogl/ogl_draw.h"
#include "widgets/butn_enterstring.h"
#include "widgets/colr.h"

namespace {
const unsigned char* bytes(const char* p) { return reinterpret_cast<const unsigned char*>(p); }
bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
bool white(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

void OGLE_GetVisibleBounds(OGLE_Rec*, float* b) {
  b[0] = static_cast<float>(OGLE_x);
  b[1] = static_cast<float>(OGLE_y - 2);
  b[2] = static_cast<float>(OGLE_x + OGLE_entry_dx);
  b[3] = static_cast<float>(OGLE_y - 2 + 11);
}

void OGLE_GetLogicalBounds(OGLE_Rec* r, float* b) {
  OGLE_GetVisibleBounds(r, b);
  b[0] -= OGLE_dx, b[2] -= OGLE_dx;
  b[1] -= OGLE_dy, b[3] -= OGLE_dy;
  // So wide that the one line practically never wraps.
  b[2] += 1024;
}

void OGLE_SetLogicalHeight(OGLE_Rec*, float) {}

void OGLE_ScrollTo(OGLE_Rec*, float* where) {
  OGLE_dx = where[0];
  OGLE_dy = where[1];
}

void OGLE_GetText(OGLE_Rec*, const char** first, const char** last) {
  *first = OGLE_input->data();
  *last = *first + OGLE_input->size();
}

void OGLE_ReplaceTextFunc(OGLE_Rec*, int start, int end, const char* first, const char* last) {
  OGLE_edit = 1;
  OGLE_input->replace(start, end - start, first, first ? last - first : 0);
}

float OGLE_GetLineHeight(OGLE_Rec*) { return 11; }

float OGLE_MeasureString(OGLE_Rec*, const char* first, const char* last) {
  return OGL_measure_range(bytes(first), bytes(last));
}

int OGLE_FitStringFwd(OGLE_Rec*, const char* first, const char* last, float width) {
  return static_cast<int>(OGL_fit_forward(bytes(first), bytes(last), width) - bytes(first));
}

int OGLE_FitStringRev(OGLE_Rec*, const char* first, const char* last, float width) {
  return static_cast<int>(bytes(last) - OGL_fit_reverse(bytes(first), bytes(last), width));
}

void OGLE_DrawString(OGLE_Rec*, const char* first, const char* last, float x, float y) {
  // The line where the engine lays it out (its bottom is 2 below the
  // baseline): a name too wide for one line shows the row the caret is on.
  OGL_string(50, x, y + 2, std::string(first, last), font_no_wrap, cs_regular, just_left);
}

void OGLE_DrawSelection(OGLE_Rec*, float* b) {
  if (b[0] == b[2])
    OGL_line(50, colr.pulse, b[0], b[1], b[2], b[3]);
  else
    OGL_fillrect(62, 1, b[0], b[1], b[2] - b[0], b[3] - b[1]);
}

const char* OGLE_WordBreak(OGLE_Rec*, const char* first, const char* last) {
  while (first < last && white(*first)) ++first;
  while (first < last && !white(*first)) ++first;
  return first;
}

const char* OGLE_MBCS_Next(OGLE_Rec*, const char* p) {
  const char* begin = OGLE_input->data();
  const char* end = begin + OGLE_input->size();
  while (p > begin && p < end && continuation(*p)) --p;
  ++p;
  while (p < end && continuation(*p)) ++p;
  return p;
}

int OGLE_MBCS_NextPos(OGLE_Rec* r, int index) {
  const int length = static_cast<int>(OGLE_input->size());
  if (index >= length) return index + 1;
  return static_cast<int>(OGLE_MBCS_Next(r, OGLE_input->data() + index) - OGLE_input->data());
}

int OGLE_MBCS_PrevPos(OGLE_Rec*, int index) {
  if (index <= 0) return -1;
  const std::string& t = *OGLE_input;
  const int length = static_cast<int>(t.size());
  if (index > length) index = length;
  if (index < length)
    while (index > 0 && continuation(t[index])) --index;
  if (index == 0) return -1;
  --index;
  while (index > 0 && continuation(t[index])) --index;
  return index;
}

const OGLE_Callbacks OGLE_cbs = {OGLE_GetVisibleBounds, OGLE_GetLogicalBounds, OGLE_SetLogicalHeight,
                                 OGLE_ScrollTo,         OGLE_GetText,          OGLE_ReplaceTextFunc,
                                 OGLE_GetLineHeight,    OGLE_MeasureString,    OGLE_FitStringFwd,
                                 OGLE_FitStringRev,     OGLE_DrawString,       OGLE_DrawSelection,
                                 OGLE_WordBreak,        OGLE_MBCS_Next,        OGLE_MBCS_NextPos,
                                 OGLE_MBCS_PrevPos};
