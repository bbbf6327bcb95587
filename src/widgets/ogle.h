// The text-editing engine: a selection and a table of line starts over a
// text it does not own. Everything about the host (where the text lives, how
// it is measured and drawn, how characters and words end, where the view
// is) comes through the callbacks given at creation. Positions are byte
// indices into a UTF-8 text. Boxes are four floats left, bottom, right, top
// with y upward. Not thread-safe: one thread per record.
#pragma once
#include <string>
#include <vector>

struct OGLE_Rec;

// The host's side, in this order, each taking the record first.
struct OGLE_Callbacks {
  void (*GetVisibleBounds)(OGLE_Rec* r, float* bounds);   // the visible box
  void (*GetLogicalBounds)(OGLE_Rec* r, float* bounds);   // the laid-out text's box
  void (*SetLogicalHeight)(OGLE_Rec* r, float height);    // the laid-out height
  void (*ScrollTo)(OGLE_Rec* r, float* where);            // the new scroll (x, y)
  void (*GetText)(OGLE_Rec* r, const char** first, const char** last);
  // Replaces bytes [start, end) by [first, last); an empty new range erases.
  void (*ReplaceText)(OGLE_Rec* r, int start, int end, const char* first, const char* last);
  float (*GetLineHeight)(OGLE_Rec* r);
  float (*MeasureString)(OGLE_Rec* r, const char* first, const char* last);
  // Bytes from first (FitStringFwd) or back from last (FitStringRev) that
  // fit into width in whole characters.
  int (*FitStringFwd)(OGLE_Rec* r, const char* first, const char* last, float width);
  int (*FitStringRev)(OGLE_Rec* r, const char* first, const char* last, float width);
  // Draws bytes [first, last) with their line's bottom-left at (x, y).
  void (*DrawString)(OGLE_Rec* r, const char* first, const char* last, float x, float y);
  // A caret when left equals right, else a highlight.
  void (*DrawSelection)(OGLE_Rec* r, float* box);
  // The end of the next word of [first, last).
  const char* (*WordBreak)(OGLE_Rec* r, const char* first, const char* last);
  const char* (*MBCS_Next)(OGLE_Rec* r, const char* p);  // the next character's start
  int (*MBCS_NextPos)(OGLE_Rec* r, int index);           // the next character's index
  int (*MBCS_PrevPos)(OGLE_Rec* r, int index);           // the previous one's; -1 before the first
};

struct OGLE_Rec {
  OGLE_Callbacks cb;
  void* ref = nullptr;              // the host's value
  std::vector<int> line_starts;     // the first byte of each laid-out line; the first is 0
  int sel_start = 0, sel_end = 0;   // sel_start <= sel_end, both within the text
  int end_active = 1;               // 1 when keys and drags move sel_end, 0 sel_start
  float desired_x = -1;             // the column Up and Down keep; -1 none
  std::string laid_out;             // the text the line table was made from
};

// Key codes of OGLE_Key; every other byte is inserted.
enum { ogle_key_backspace = 8, ogle_key_left = 28, ogle_key_right = 29, ogle_key_up = 30, ogle_key_down = 31 };

// A new record over the callbacks: no lines, caret at 0.
OGLE_Rec* OGLE_Create(const OGLE_Callbacks* callbacks, void* ref);
// Frees the record; null is ignored.
void OGLE_Destroy(OGLE_Rec* r);
// The host's value given at creation.
void* OGLE_GetRef(OGLE_Rec* r);
// The selection's start and end; either pointer may be null.
void OGLE_GetSelection(OGLE_Rec* r, int* start, int* end);
// Sets the selection, then orders and clamps it to the text.
void OGLE_SetSelection(OGLE_Rec* r, int start, int end);
// Draws the visible lines, the highlight and, with draw_caret and an empty
// selection, the caret.
void OGLE_Draw(OGLE_Rec* r, int draw_caret);
// A caret at the point, or with extend the nearer end moved to it.
void OGLE_Click(OGLE_Rec* r, float x, float y, int extend);
// Moves the active end to the point.
void OGLE_Drag(OGLE_Rec* r, float x, float y);
// One key: Backspace, an arrow (shift extends) or a byte to insert.
void OGLE_Key(OGLE_Rec* r, char key, int shift);
// One character of count bytes; one byte goes as OGLE_Key.
void OGLE_Key_MBCS(OGLE_Rec* r, int count, const char* bytes, int shift);
// Replaces bytes [start, end) by [first, last), moving the selection with
// the text around it, and re-breaks.
void OGLE_ReplaceText(OGLE_Rec* r, int start, int end, const char* first, const char* last);
// Re-breaks the whole text into lines.
void OGLE_Repaginate(OGLE_Rec* r);
// Scrolls so that the selection's active end shows.
void OGLE_RevealSelection(OGLE_Rec* r);
// 1 when the host's text is no longer the one the lines were made from.
int OGLE_LayoutStale(OGLE_Rec* r);

// The internal steps, open to the tests.
void OGLE_NormalizeSelectionInternal(OGLE_Rec* r);
int OGLE_CoordToCharPos(OGLE_Rec* r, float x, float y);
int OGLE_CharPosToLine(OGLE_Rec* r, int pos);
int OGLE_CharPosVerticalAdjust(OGLE_Rec* r, int pos, int dir, float& desired_x);
void OGLE_RepaginateInternal(OGLE_Rec* r);

// The engine as a class: each callback a pure virtual operation of the
// object. Nothing derives from it yet.
class OGLE {
 public:
  OGLE();
  virtual ~OGLE();
  OGLE(const OGLE&) = delete;
  OGLE& operator=(const OGLE&) = delete;

  virtual void GetVisibleBounds(float* bounds) = 0;
  virtual void GetLogicalBounds(float* bounds) = 0;
  virtual void SetLogicalHeight(float height) = 0;
  virtual void ScrollTo(float* where) = 0;
  virtual void GetText(const char** first, const char** last) = 0;
  virtual void ReplaceText(int start, int end, const char* first, const char* last) = 0;
  virtual float GetLineHeight() = 0;
  virtual float MeasureString(const char* first, const char* last) = 0;
  virtual int FitStringFwd(const char* first, const char* last, float width) = 0;
  virtual int FitStringRev(const char* first, const char* last, float width) = 0;
  virtual void DrawString(const char* first, const char* last, float x, float y) = 0;
  virtual void DrawSelection(float* box) = 0;
  virtual const char* WordBreak(const char* first, const char* last) = 0;
  virtual const char* MBCS_Next(const char* p) = 0;
  virtual int MBCS_NextPos(int index) = 0;
  virtual int MBCS_PrevPos(int index) = 0;

  void GetSelection(int* start, int* end);
  void SetSelection(int start, int end);
  void Draw(int draw_caret);
  void RevealSelection();
  void Click(float x, float y, int extend);
  void Drag(float x, float y);
  void Key(char key, int shift);
  void Key_MBCS(int count, char* bytes, int shift);
  void Repaginate();
  void DoReplaceText(int start, int end, char const* first, char const* last);

 private:
  static void GetVisibleBoundsCB(OGLE_Rec* r, float* bounds);
  static void GetLogicalBoundsCB(OGLE_Rec* r, float* bounds);
  static void SetLogicalHeightCB(OGLE_Rec* r, float height);
  static void ScrollToCB(OGLE_Rec* r, float* where);
  static void GetTextCB(OGLE_Rec* r, const char** first, const char** last);
  static void ReplaceTextCB(OGLE_Rec* r, int start, int end, const char* first, const char* last);
  static float GetLineHeightCB(OGLE_Rec* r);
  static float MeasureStringCB(OGLE_Rec* r, const char* first, const char* last);
  static int FitStringFwdCB(OGLE_Rec* r, const char* first, const char* last, float width);
  static int FitStringRevCB(OGLE_Rec* r, const char* first, const char* last, float width);
  static void DrawStringCB(OGLE_Rec* r, const char* first, const char* last, float x, float y);
  static void DrawSelectionCB(OGLE_Rec* r, float* box);
  static const char* WordBreakCB(OGLE_Rec* r, const char* first, const char* last);
  static const char* MBCS_NextCB(OGLE_Rec* r, const char* p);
  static int MBCS_NextPosCB(OGLE_Rec* r, int index);
  static int MBCS_PrevPosCB(OGLE_Rec* r, int index);
  static const OGLE_Callbacks callbacks_;

  OGLE_Rec* rec_;
};
