// The text-editing engine as a class: the record's callbacks find the
// object in the record's reference value and call its operations.
#include "widgets/ogle.h"

namespace {
OGLE* self(OGLE_Rec* r) { return static_cast<OGLE*>(OGLE_GetRef(r)); }
}  // namespace

void OGLE::GetVisibleBoundsCB(OGLE_Rec* r, float* bounds) { return self(r)->GetVisibleBounds(bounds); }
void OGLE::GetLogicalBoundsCB(OGLE_Rec* r, float* bounds) { return self(r)->GetLogicalBounds(bounds); }
void OGLE::SetLogicalHeightCB(OGLE_Rec* r, float height) { return self(r)->SetLogicalHeight(height); }
void OGLE::ScrollToCB(OGLE_Rec* r, float* where) { return self(r)->ScrollTo(where); }
void OGLE::GetTextCB(OGLE_Rec* r, const char** first, const char** last) { return self(r)->GetText(first, last); }
void OGLE::ReplaceTextCB(OGLE_Rec* r, int start, int end, const char* first, const char* last) { return self(r)->ReplaceText(start, end, first, last); }
float OGLE::GetLineHeightCB(OGLE_Rec* r) { return self(r)->GetLineHeight(); }
float OGLE::MeasureStringCB(OGLE_Rec* r, const char* first, const char* last) { return self(r)->MeasureString(first, last); }
int OGLE::FitStringFwdCB(OGLE_Rec* r, const char* first, const char* last, float width) { return self(r)->FitStringFwd(first, last, width); }
int OGLE::FitStringRevCB(OGLE_Rec* r, const char* first, const char* last, float width) { return self(r)->FitStringRev(first, last, width); }
void OGLE::DrawStringCB(OGLE_Rec* r, const char* first, const char* last, float x, float y) { return self(r)->DrawString(first, last, x, y); }
void OGLE::DrawSelectionCB(OGLE_Rec* r, float* box) { return self(r)->DrawSelection(box); }
const char* OGLE::WordBreakCB(OGLE_Rec* r, const char* first, const char* last) { return self(r)->WordBreak(first, last); }
const char* OGLE::MBCS_NextCB(OGLE_Rec* r, const char* p) { return self(r)->MBCS_Next(p); }
int OGLE::MBCS_NextPosCB(OGLE_Rec* r, int index) { return self(r)->MBCS_NextPos(index); }
int OGLE::MBCS_PrevPosCB(OGLE_Rec* r, int index) { return self(r)->MBCS_PrevPos(index); }

const OGLE_Callbacks OGLE::callbacks_ = {&OGLE::GetVisibleBoundsCB, &OGLE::GetLogicalBoundsCB, &OGLE::SetLogicalHeightCB, &OGLE::ScrollToCB, &OGLE::GetTextCB, &OGLE::ReplaceTextCB, &OGLE::GetLineHeightCB, &OGLE::MeasureStringCB, &OGLE::FitStringFwdCB, &OGLE::FitStringRevCB, &OGLE::DrawStringCB, &OGLE::DrawSelectionCB, &OGLE::WordBreakCB, &OGLE::MBCS_NextCB, &OGLE::MBCS_NextPosCB, &OGLE::MBCS_PrevPosCB};

OGLE::OGLE() : rec_(OGLE_Create(&callbacks_, this)) {}

OGLE::~OGLE() { OGLE_Destroy(rec_); }

void OGLE::GetSelection(int* start, int* end) { OGLE_GetSelection(rec_, start, end); }
void OGLE::SetSelection(int start, int end) { OGLE_SetSelection(rec_, start, end); }
void OGLE::Draw(int draw_caret) { OGLE_Draw(rec_, draw_caret); }
void OGLE::RevealSelection() { OGLE_RevealSelection(rec_); }
void OGLE::Click(float x, float y, int extend) { OGLE_Click(rec_, x, y, extend); }
void OGLE::Drag(float x, float y) { OGLE_Drag(rec_, x, y); }
void OGLE::Key(char key, int shift) { OGLE_Key(rec_, key, shift); }
void OGLE::Key_MBCS(int count, char* bytes, int shift) { OGLE_Key_MBCS(rec_, count, bytes, shift); }
void OGLE::Repaginate() { OGLE_Repaginate(rec_); }
void OGLE::DoReplaceText(int start, int end, char const* first, char const* last) {
  OGLE_ReplaceText(rec_, start, end, first, last);
}
