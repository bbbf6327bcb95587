// The text-editing engine's procedural side.
#include "widgets/ogle.h"
#include <algorithm>
#include <cmath>

namespace {
struct text_view {
  const char* first;
  int length;
};

text_view text_of(OGLE_Rec* r) {
  const char* first = nullptr;
  const char* last = nullptr;
  r->cb.GetText(r, &first, &last);
  return {first, static_cast<int>(last - first)};
}

struct box {
  float left, bottom, right, top;
};
box visible_box(OGLE_Rec* r) {
  float b[4];
  r->cb.GetVisibleBounds(r, b);
  return {b[0], b[1], b[2], b[3]};
}
box logical_box(OGLE_Rec* r) {
  float b[4];
  r->cb.GetLogicalBounds(r, b);
  return {b[0], b[1], b[2], b[3]};
}

bool is_break(char c) { return c == '\r' || c == '\n'; }
bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The end of line i (the next line's start, or the text's end).
int line_end(OGLE_Rec* r, int i, int length) {
  return i + 1 < static_cast<int>(r->line_starts.size()) ? r->line_starts[i + 1] : length;
}

// Bytes of the line that starts at p.
int line_length(OGLE_Rec* r, const text_view& t, int p, float width) {
  if (p >= t.length) return 0;
  const char* end = t.first + t.length;
  float w = 0;
  int n = 0;
  const char* s = t.first + p;
  for (;;) {
    // A break ends its line, also after blanks.
    const char* q = s;
    while (q < end && is_blank(*q)) q = r->cb.MBCS_Next(r, q);
    if (q > end) q = end;
    w += r->cb.MeasureString(r, s, q);
    n += static_cast<int>(q - s);
    if (q == end) return n;
    if (is_break(*q)) return n + 1;
    const char* e = r->cb.WordBreak(r, q, end);
    if (e <= q) e = r->cb.MBCS_Next(r, q);
    if (e > end) e = end;
    w += r->cb.MeasureString(r, q, e);
    if (w > width) {
      if (n > 0) return n;
      // A word wider than the whole line: as many whole characters as fit,
      // at least one, so no character is split across lines.
      int k = r->cb.FitStringFwd(r, q, e, width);
      if (k <= 0) k = static_cast<int>(std::min(r->cb.MBCS_Next(r, q), end) - q);
      return std::max(k, 1);
    }
    n += static_cast<int>(e - q);
    s = e;
    if (s == end) return n;
  }
}
}  // namespace

OGLE_Rec* OGLE_Create(const OGLE_Callbacks* callbacks, void* ref) {
  OGLE_Rec* r = new OGLE_Rec;
  r->cb = *callbacks;
  r->ref = ref;
  return r;
}

void OGLE_Destroy(OGLE_Rec* r) { delete r; }

void* OGLE_GetRef(OGLE_Rec* r) { return r->ref; }

void OGLE_GetSelection(OGLE_Rec* r, int* start, int* end) {
  if (start) *start = r->sel_start;
  if (end) *end = r->sel_end;
}

void OGLE_SetSelection(OGLE_Rec* r, int start, int end) {
  r->sel_start = start;
  r->sel_end = end;
  OGLE_NormalizeSelectionInternal(r);
}

void OGLE_NormalizeSelectionInternal(OGLE_Rec* r) {
  if (r->sel_end < r->sel_start) {
    std::swap(r->sel_start, r->sel_end);
    r->end_active = 1 - r->end_active;
  }
  const int length = text_of(r).length;
  for (int* v : {&r->sel_start, &r->sel_end}) {
    if (*v < 1) *v = 0;
    if (*v > length) *v = length;
  }
}

int OGLE_CharPosToLine(OGLE_Rec* r, int pos) {
  const std::vector<int>& ls = r->line_starts;
  if (ls.empty()) return 0;
  auto it = std::lower_bound(ls.begin(), ls.end(), pos);
  if (it == ls.end()) return static_cast<int>(ls.size()) - 1;
  const int i = static_cast<int>(it - ls.begin());
  if (*it == pos) return i;
  return std::max(0, i - 1);
}

int OGLE_CoordToCharPos(OGLE_Rec* r, float x, float y) {
  const box lb = logical_box(r);
  const text_view t = text_of(r);
  x = std::clamp(x, lb.left, std::max(lb.left, lb.right));
  int line = static_cast<int>(std::floor((lb.top - y) / r->cb.GetLineHeight(r)));
  if (line < 0) line = 0;
  if (line >= static_cast<int>(r->line_starts.size())) return t.length;
  const int start = r->line_starts[line];
  const int end = line_end(r, line, t.length);
  return start + r->cb.FitStringFwd(r, t.first + start, t.first + end, x - lb.left);
}

int OGLE_CharPosVerticalAdjust(OGLE_Rec* r, int pos, int dir, float& desired_x) {
  const text_view t = text_of(r);
  if (r->line_starts.empty()) return pos;
  const int line = OGLE_CharPosToLine(r, pos);
  if (desired_x == -1) desired_x = r->cb.MeasureString(r, t.first + r->line_starts[line], t.first + pos);
  const int target = line + dir;
  if (target < 0) return 0;
  if (target >= static_cast<int>(r->line_starts.size())) return t.length;
  const int start = r->line_starts[target];
  return start + r->cb.FitStringFwd(r, t.first + start, t.first + line_end(r, target, t.length), desired_x);
}

void OGLE_RepaginateInternal(OGLE_Rec* r) {
  const box lb = logical_box(r);
  const text_view t = text_of(r);
  const float width = lb.right - lb.left;
  if (r->line_starts.empty()) r->line_starts.push_back(0);
  r->line_starts[0] = 0;
  size_t count = 1;
  int p = 0;
  for (;;) {
    const int n = line_length(r, t, p, width);
    if (n <= 0) break;
    p += n;
    if (p >= t.length) break;
    if (count < r->line_starts.size())
      r->line_starts[count] = p;
    else
      r->line_starts.push_back(p);
    ++count;
  }
  r->line_starts.resize(count);
  r->laid_out.assign(t.first, t.length);
  r->cb.SetLogicalHeight(r, static_cast<float>(count) * r->cb.GetLineHeight(r));
}

void OGLE_Repaginate(OGLE_Rec* r) { OGLE_RepaginateInternal(r); }

int OGLE_LayoutStale(OGLE_Rec* r) {
  const text_view t = text_of(r);
  return r->line_starts.empty() || r->laid_out.compare(0, std::string::npos, t.first, t.length) != 0;
}

void OGLE_RevealSelection(OGLE_Rec* r) {
  const box vb = visible_box(r);
  const box lb = logical_box(r);
  const text_view t = text_of(r);
  const float lh = r->cb.GetLineHeight(r);
  const int e = r->end_active ? r->sel_end : r->sel_start;
  const int line = OGLE_CharPosToLine(r, e);
  const int start = r->line_starts.empty() ? 0 : r->line_starts[line];
  const float x = lb.left + r->cb.MeasureString(r, t.first + start, t.first + std::max(start, e));
  // The caret's whole line comes into view: a view one line high would
  // otherwise show the top of the line below and not the caret's.
  const float top = lb.top - static_cast<float>(line) * lh, bottom = top - lh;
  float scroll[2] = {vb.left - lb.left, vb.bottom - lb.bottom};
  const float old_x = scroll[0], old_y = scroll[1];
  if (x < vb.left) scroll[0] = x - lb.left;
  if (x > vb.right) scroll[0] = x - lb.left - (vb.right - vb.left);
  if (bottom < vb.bottom) scroll[1] = bottom - lb.bottom;
  if (top > vb.top) scroll[1] = top - lb.bottom - (vb.top - vb.bottom);
  if (scroll[0] != old_x || scroll[1] != old_y) r->cb.ScrollTo(r, scroll);
}

void OGLE_Draw(OGLE_Rec* r, int draw_caret) {
  const box vb = visible_box(r);
  const box lb = logical_box(r);
  const text_view t = text_of(r);
  const float lh = r->cb.GetLineHeight(r);
  const int count = static_cast<int>(r->line_starts.size());
  const int first = std::max(0, static_cast<int>(std::floor((lb.top - vb.top) / lh)));
  const int last = std::min(count, static_cast<int>(std::ceil((lb.top - vb.bottom) / lh)));
  auto width_to = [&](int line, int pos) {
    return r->cb.MeasureString(r, t.first + r->line_starts[line], t.first + pos);
  };
  if (r->sel_start < r->sel_end) {
    for (int i = first; i < last; ++i) {
      const int ls = r->line_starts[i], le = line_end(r, i, t.length);
      if (r->sel_end < ls) break;
      if (r->sel_start > le || (r->sel_start == le && i + 1 < count)) continue;
      float b[4] = {r->sel_start > ls ? lb.left + width_to(i, r->sel_start) : lb.left,
                    lb.top - static_cast<float>(i + 1) * lh,
                    r->sel_end <= le ? lb.left + width_to(i, r->sel_end) : lb.right, lb.top - static_cast<float>(i) * lh};
      r->cb.DrawSelection(r, b);
      if (r->sel_end <= le) break;
    }
  }
  for (int i = first; i < last; ++i)
    r->cb.DrawString(r, t.first + r->line_starts[i], t.first + line_end(r, i, t.length), lb.left,
                     lb.top - static_cast<float>(i + 1) * lh);
  if (draw_caret && r->sel_start == r->sel_end && count > 0) {
    const int i = OGLE_CharPosToLine(r, r->sel_start);
    if (i >= first && i < last) {
      const float x = lb.left + width_to(i, std::max(r->line_starts[i], r->sel_start));
      float b[4] = {x, lb.top - static_cast<float>(i + 1) * lh, x, lb.top - static_cast<float>(i) * lh};
      r->cb.DrawSelection(r, b);
    }
  }
}

void OGLE_Click(OGLE_Rec* r, float x, float y, int extend) {
  r->desired_x = -1;
  const int q = OGLE_CoordToCharPos(r, x, y);
  if (!extend) {
    r->sel_start = r->sel_end = q;
    r->end_active = 1;
  } else if (q < r->sel_start) {
    r->sel_start = q;
    r->end_active = 0;
  } else {
    r->sel_end = q;
    r->end_active = 1;
  }
  OGLE_NormalizeSelectionInternal(r);
  OGLE_RevealSelection(r);
}

void OGLE_Drag(OGLE_Rec* r, float x, float y) {
  r->desired_x = -1;
  const int q = OGLE_CoordToCharPos(r, x, y);
  (r->end_active ? r->sel_end : r->sel_start) = q;
  OGLE_NormalizeSelectionInternal(r);
  OGLE_RevealSelection(r);
}

namespace {
// Replaces the selection by the bytes and puts the caret after them.
void insert_over_selection(OGLE_Rec* r, const char* first, int count) {
  r->cb.ReplaceText(r, r->sel_start, r->sel_end, first, first + count);
  r->sel_start = r->sel_end = r->sel_start + count;
  r->end_active = 1;
  OGLE_NormalizeSelectionInternal(r);
  OGLE_RepaginateInternal(r);
  OGLE_RevealSelection(r);
}
}  // namespace

void OGLE_Key(OGLE_Rec* r, char key, int shift) {
  if (key != ogle_key_up && key != ogle_key_down) r->desired_x = -1;
  int& active = r->end_active ? r->sel_end : r->sel_start;
  switch (key) {
    case ogle_key_backspace: {
      int from = r->sel_start, to = r->sel_end;
      if (from == to && from > 0) from = r->cb.MBCS_PrevPos(r, from);
      r->end_active = 1;
      if (from < 0) from = 0;
      if (from == to) return;
      r->cb.ReplaceText(r, from, to, nullptr, nullptr);
      r->sel_start = r->sel_end = from;
      OGLE_NormalizeSelectionInternal(r);
      OGLE_RepaginateInternal(r);
      OGLE_RevealSelection(r);
      return;
    }
    case ogle_key_left:
      if (shift)
        active = r->cb.MBCS_PrevPos(r, active);
      else if (r->sel_start == r->sel_end)
        r->sel_start = r->sel_end = r->cb.MBCS_PrevPos(r, r->sel_start);
      else
        r->sel_end = r->sel_start;
      break;
    case ogle_key_right:
      if (shift)
        active = r->cb.MBCS_NextPos(r, active);
      else if (r->sel_start == r->sel_end)
        r->sel_start = r->sel_end = r->cb.MBCS_NextPos(r, r->sel_start);
      else
        r->sel_start = r->sel_end;
      break;
    case ogle_key_up:
    case ogle_key_down: {
      const int d = key == ogle_key_up ? -1 : 1;
      if (shift) {
        int& moved = r->end_active ? r->sel_start : r->sel_end;
        moved = OGLE_CharPosVerticalAdjust(r, moved, d, r->desired_x);
      } else if (r->sel_start == r->sel_end) {
        r->sel_start = r->sel_end = OGLE_CharPosVerticalAdjust(r, r->sel_start, d, r->desired_x);
      } else if (d < 0) {
        r->sel_end = r->sel_start;
      } else {
        r->sel_start = r->sel_end;
      }
      break;
    }
    default:
      insert_over_selection(r, &key, 1);
      return;
  }
  OGLE_NormalizeSelectionInternal(r);
  OGLE_RevealSelection(r);
}

void OGLE_Key_MBCS(OGLE_Rec* r, int count, const char* bytes, int shift) {
  if (count == 1) return OGLE_Key(r, bytes[0], shift);
  if (count < 1) return;
  r->desired_x = -1;
  insert_over_selection(r, bytes, count);
}

void OGLE_ReplaceText(OGLE_Rec* r, int start, int end, const char* first, const char* last) {
  const int delta = static_cast<int>(last - first) - (end - start);
  const int old_start = r->sel_start;
  if (start > old_start) {
    // After the selection's start the end still moves with the text, or it
    // would land inside whatever now stands there.
    if (end <= r->sel_end)
      r->sel_end += delta;
    else if (start < r->sel_end)
      r->sel_end = start;
  } else if (end <= old_start) {
    r->sel_start += delta;
    r->sel_end += delta;
  } else {
    // The range covers the start: the start goes to the range's start, and
    // an end inside the range to the end of the new bytes, so that neither
    // is left inside a character of them.
    const int added = static_cast<int>(last - first);
    r->sel_end = r->sel_end >= end ? r->sel_end + delta : start + added;
    r->sel_start = start;
  }
  r->cb.ReplaceText(r, start, end, first, last);
  OGLE_NormalizeSelectionInternal(r);
  OGLE_RepaginateInternal(r);
}
