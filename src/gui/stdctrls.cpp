#include "gui/stdctrls.h"

#include <algorithm>

#include "classes/sysutils.h"
#include "gui/handles.h"

namespace {

// The height of one line of Font, as the screen shows it.
int LineHeight(TFont& Font) {
  TWindowDC DC(nullptr);
  TSelectedObject Selected(DC.Get(), Font.Handle());
  TEXTMETRICA TM{};
  GetTextMetricsA(DC.Get(), &TM);
  return TM.tmHeight;
}

WORD NotifyCode(WPARAM W) { return HIWORD(W); }

}  // namespace

const TEnumInfo& TextLayoutNames() {
  static const TEnumInfo Names{"tlTop", "tlCenter", "tlBottom"};
  return Names;
}
const TEnumInfo& ScrollStyleNames() {
  static const TEnumInfo Names{"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
  return Names;
}
const TEnumInfo& ComboBoxStyleNames() {
  static const TEnumInfo Names{"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"};
  return Names;
}
const TEnumInfo& CheckBoxStateNames() {
  static const TEnumInfo Names{"cbUnchecked", "cbChecked", "cbGrayed"};
  return Names;
}

void RegisterStdCtrlsClasses() {
  for (const TClassInfo* C : {&TButton::StaticClassInfo(), &TCheckBox::StaticClassInfo(),
                              &TRadioButton::StaticClassInfo(), &TEdit::StaticClassInfo(), &TMemo::StaticClassInfo(),
                              &TComboBox::StaticClassInfo(), &TLabel::StaticClassInfo(), &TGroupBox::StaticClassInfo()})
    RegisterComponentClass(*C);
}

// --- Buttons ---------------------------------------------------------------------

BEGIN_CLASS_INFO(TButtonControl, TWinControl, nullptr)
END_CLASS_INFO

TButtonControl::TButtonControl(TComponent* Owner) : TWinControl(Owner) { TabStop_ = true; }

void TButtonControl::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  CreateSubClass(P, "BUTTON");
}

void TButtonControl::WndProc(TMessage& M) {
  if (M.Msg == CN_COMMAND) {
    if (NotifyCode(M.WParam) == BN_CLICKED) Clicked();
    else if (NotifyCode(M.WParam) == BN_DOUBLECLICKED) DblClick();
    M.Result = 0;
    return;
  }
  TWinControl::WndProc(M);
}

BEGIN_CLASS_INFO(TButton, TButtonControl, ComponentCreator<TButton>)
  PublishCaption(P);
  PublishFont(P);
  PublishTabStop(P, true);
  P.Bool("Cancel", &TButton::Cancel, &TButton::SetCancel, false);
  P.Bool("Default", &TButton::Default, &TButton::SetDefault, false);
  P.Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, mrNone);
END_CLASS_INFO

TButton::TButton(TComponent* Owner) : TButtonControl(Owner) {
  Width_ = 75;
  Height_ = 25;
  SetColor(clBtnFace);
}

void TButton::CreateParams(TCreateParams& P) {
  TButtonControl::CreateParams(P);
  P.Style |= ButtonStyle();
}

void TButton::SetDefault(bool Value) {
  if (Value == Default_) return;
  Default_ = Value;
  if (Handle_) SendMessageA(Handle_, BM_SETSTYLE, ButtonStyle(), TRUE);
}

void TButton::Click() {
  if (ModalResult_ != mrNone)
    if (TControlHost* Host = ControlHost(this)) Host->SetModalResult(ModalResult_);
  TButtonControl::Click();
}

bool TButton::WantsDialogKey(WORD Key) const {
  if (!Visible_ || !Enabled_) return false;
  return (Key == VK_RETURN && Default_) || (Key == VK_ESCAPE && Cancel_);
}

BEGIN_CLASS_INFO(TCheckBox, TButtonControl, ComponentCreator<TCheckBox>)
  PublishCaption(P);
  PublishFont(P);
  PublishColor(P, clBtnFace, true);
  PublishTabStop(P, true);
  P.Enum("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment, AlignmentNames(), taRightJustify);
  P.Bool("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed, false);
  // State says the same as Checked and more; only State is stored.
  P.Bool("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked, false, [](const TCheckBox&) { return false; });
  P.Enum("State", &TCheckBox::State, &TCheckBox::SetState, CheckBoxStateNames(), cbUnchecked);
END_CLASS_INFO

TCheckBox::TCheckBox(TComponent* Owner) : TButtonControl(Owner) {
  Width_ = 97;
  Height_ = 17;
  SetParentColor(true);
}

void TCheckBox::CreateParams(TCreateParams& P) {
  TButtonControl::CreateParams(P);
  // Not the automatic kind: the state is ours, the window shows it.
  P.Style |= BS_3STATE;
  if (Alignment_ == taLeftJustify) P.Style |= BS_LEFTTEXT;
}

void TCheckBox::CreateWnd() {
  TButtonControl::CreateWnd();
  SendMessageA(Handle_, BM_SETCHECK, static_cast<WPARAM>(State_), 0);
}

void TCheckBox::SetState(TCheckBoxState Value) {
  if (Value == State_) return;
  State_ = Value;
  if (Handle_) SendMessageA(Handle_, BM_SETCHECK, static_cast<WPARAM>(Value), 0);
  if (!IsReading()) Click();
}

void TCheckBox::SetAlignment(TAlignment Value) {
  if (Value == Alignment_) return;
  Alignment_ = Value;
  RecreateWnd();
}

void TCheckBox::Clicked() {
  switch (State_) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(AllowGrayed_ ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
  }
}

BEGIN_CLASS_INFO(TRadioButton, TButtonControl, ComponentCreator<TRadioButton>)
  PublishCaption(P);
  PublishFont(P);
  PublishColor(P, clBtnFace, true);
  PublishTabStop(P, true);
  P.Enum("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment, AlignmentNames(), taRightJustify);
  P.Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked, false);
END_CLASS_INFO

TRadioButton::TRadioButton(TComponent* Owner) : TButtonControl(Owner) {
  Width_ = 113;
  Height_ = 17;
  SetParentColor(true);
}

void TRadioButton::CreateParams(TCreateParams& P) {
  TButtonControl::CreateParams(P);
  P.Style |= BS_RADIOBUTTON;
  if (Alignment_ == taLeftJustify) P.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
  TButtonControl::CreateWnd();
  SendMessageA(Handle_, BM_SETCHECK, Checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool Value) {
  if (Value == Checked_) return;
  Checked_ = Value;
  if (Handle_) SendMessageA(Handle_, BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!Value) return;
  if (Parent_)
    for (int I = 0; I < Parent_->ControlCount(); ++I)
      if (auto* Other = dynamic_cast<TRadioButton*>(Parent_->Controls(I)); Other && Other != this)
        Other->SetChecked(false);
  if (!IsReading()) Click();
}

void TRadioButton::SetAlignment(TAlignment Value) {
  if (Value == Alignment_) return;
  Alignment_ = Value;
  RecreateWnd();
}

// --- Edits ------------------------------------------------------------------------

BEGIN_CLASS_INFO(TCustomEdit, TWinControl, nullptr)
END_CLASS_INFO

TCustomEdit::TCustomEdit(TComponent* Owner) : TWinControl(Owner) {
  TabStop_ = true;
  SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  CreateSubClass(P, "EDIT");
  P.Style |= ES_AUTOHSCROLL;
  if (ReadOnly_) P.Style |= ES_READONLY;
  if (PasswordChar_) P.Style |= ES_PASSWORD;
  if (BorderStyle_ == bsSingle) P.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWindowHandle(const TCreateParams& P) {
  TCreateParams Empty = P;
  Empty.Caption.clear();
  TWinControl::CreateWindowHandle(Empty);
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  if (!Text_.empty()) {
    Filling_ = true;
    TScopeGuard Filled([this] { Filling_ = false; });
    SetWindowTextA(Handle_, Text_.c_str());
  }
  SendMessageA(Handle_, EM_LIMITTEXT, static_cast<WPARAM>(MaxLength_), 0);
  if (PasswordChar_) SendMessageA(Handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(PasswordChar_), 0);
  SendMessageA(Handle_, EM_SETMODIFY, Modified_, 0);
  SendMessageA(Handle_, EM_SETSEL, static_cast<WPARAM>(SelStart_), static_cast<LPARAM>(SelStart_ + SelLength_));
}

void TCustomEdit::SaveWindowState() {
  TWinControl::SaveWindowState();
  Modified_ = Modified();
  SelStart_ = SelStart();
  SelLength_ = SelLength();
}

void TCustomEdit::SetReadOnly(bool Value) {
  if (Value == ReadOnly_) return;
  ReadOnly_ = Value;
  if (Handle_) SendMessageA(Handle_, EM_SETREADONLY, Value, 0);
}

void TCustomEdit::SetMaxLength(int Value) {
  MaxLength_ = std::max(Value, 0);
  if (Handle_) SendMessageA(Handle_, EM_LIMITTEXT, static_cast<WPARAM>(MaxLength_), 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (Value == BorderStyle_) return;
  BorderStyle_ = Value;
  RecreateWnd();
  AdjustSize();
}

void TCustomEdit::SetPasswordChar(char Value) {
  if (Value == PasswordChar_) return;
  PasswordChar_ = Value;
  if (Handle_) {
    SendMessageA(Handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value), 0);
    InvalidateRect(Handle_, nullptr, TRUE);
  }
}

bool TCustomEdit::Modified() const {
  return Handle_ ? SendMessageA(Handle_, EM_GETMODIFY, 0, 0) != 0 : Modified_;
}

void TCustomEdit::SetModified(bool Value) {
  Modified_ = Value;
  if (Handle_) SendMessageA(Handle_, EM_SETMODIFY, Value, 0);
}

int TCustomEdit::SelStart() const {
  if (!Handle_) return SelStart_;
  DWORD Start = 0, End = 0;
  SendMessageA(Handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  return static_cast<int>(Start);
}

void TCustomEdit::SetSelStart(int Value) {
  SelStart_ = std::max(Value, 0);
  SelLength_ = 0;
  if (Handle_) SendMessageA(Handle_, EM_SETSEL, static_cast<WPARAM>(SelStart_), static_cast<LPARAM>(SelStart_));
}

int TCustomEdit::SelLength() const {
  if (!Handle_) return SelLength_;
  DWORD Start = 0, End = 0;
  SendMessageA(Handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  return static_cast<int>(End - Start);
}

void TCustomEdit::SetSelLength(int Value) {
  SelLength_ = std::max(Value, 0);
  if (Handle_) {
    int Start = SelStart();
    SendMessageA(Handle_, EM_SETSEL, static_cast<WPARAM>(Start), static_cast<LPARAM>(Start + SelLength_));
  }
}

std::string TCustomEdit::SelText() const {
  std::string T = GetText();
  size_t Start = std::min(static_cast<size_t>(SelStart()), T.size());
  return T.substr(Start, static_cast<size_t>(SelLength()));
}

void TCustomEdit::SetSelText(const std::string& Value) {
  if (Handle_) {
    SendMessageA(Handle_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Value.c_str()));
    return;
  }
  std::string T = Text_;
  size_t Start = std::min(static_cast<size_t>(SelStart_), T.size());
  T.replace(Start, std::min(static_cast<size_t>(SelLength_), T.size() - Start), Value);
  SetText(T);
}

void TCustomEdit::SelectAll() {
  if (Handle_) SendMessageA(Handle_, EM_SETSEL, 0, -1);
  SelStart_ = 0;
  SelLength_ = static_cast<int>(Text_.size());
}

void TCustomEdit::TextChanged() {
  TWinControl::TextChanged();
  // A single-line edit reports WM_SETTEXT itself (EN_CHANGE); a memo and an edit
  // without a window do not.
  if ((!Handle_ || MultiLine()) && !IsReading()) Change();
}

bool TCustomEdit::CanAutoSize(int& NewWidth, int& NewHeight) {
  if (BorderStyle_ != bsSingle) return false;
  // One line, the inner margins, and the sunken edge above and below.
  NewHeight = LineHeight(*Font()) + 4 + 2 * GetSystemMetrics(SM_CYEDGE);
  return true;
}

void TCustomEdit::WndProc(TMessage& M) {
  switch (M.Msg) {
    case CN_COMMAND:
      if (NotifyCode(M.WParam) == EN_CHANGE && !IsReading() && !Filling_) Change();
      M.Result = 0;
      return;
    case WM_SETFOCUS:
      TWinControl::WndProc(M);
      // Reached by keyboard: the whole text is selected, ready to be replaced.
      if (AutoSelect_ && !MultiLine() && !(GetKeyState(VK_LBUTTON) & 0x8000)) SendMessageA(Handle_, EM_SETSEL, 0, -1);
      return;
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLOREDIT:
      break;
    default:
      break;
  }
  TWinControl::WndProc(M);
}

BEGIN_CLASS_INFO(TEdit, TCustomEdit, ComponentCreator<TEdit>)
  PublishText(P);
  PublishFont(P);
  PublishColor(P, clWindow, false);
  PublishTabStop(P, true);
  P.Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect, true);
  P.Bool("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize, true);
  P.Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, BorderStyleNames(), bsSingle);
  P.Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, 0);
  P.Str("PasswordChar", [](const TEdit& E) { return E.PasswordChar() ? std::string(1, E.PasswordChar()) : std::string(); },
        [](TEdit& E, const std::string& V) { E.SetPasswordChar(V.empty() ? '\0' : V[0]); });
  P.Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, false);
  P.Event("OnChange", &TCustomEdit::OnChange);
END_CLASS_INFO

TEdit::TEdit(TComponent* Owner) : TCustomEdit(Owner) {
  Width_ = 121;
  Height_ = 21;
  AutoSize_ = true;
}

// --- Memo ------------------------------------------------------------------------------

std::vector<std::string> TMemoStrings::Lines() const {
  std::vector<std::string> Result;
  const std::string T = Memo_.Text();
  size_t Start = 0;
  while (Start < T.size()) {
    size_t End = T.find_first_of("\r\n", Start);
    if (End == std::string::npos) {
      Result.push_back(T.substr(Start));
      break;
    }
    Result.push_back(T.substr(Start, End - Start));
    Start = End + 1;
    if (T[End] == '\r' && Start < T.size() && T[Start] == '\n') ++Start;
  }
  return Result;
}

void TMemoStrings::SetLines(const std::vector<std::string>& Lines) {
  // Every line ends with a break, so that a last empty line survives.
  std::string T;
  for (const std::string& L : Lines) T += L + "\r\n";
  Memo_.SetText(T);
}

int TMemoStrings::Count() const { return static_cast<int>(Lines().size()); }

std::string TMemoStrings::Get(int Index) const {
  std::vector<std::string> L = Lines();
  if (Index < 0 || Index >= static_cast<int>(L.size())) Error(Msg::ListIndexError, Index);
  return L[static_cast<size_t>(Index)];
}

void TMemoStrings::Put(int Index, const std::string& S) {
  std::vector<std::string> L = Lines();
  if (Index < 0 || Index >= static_cast<int>(L.size())) Error(Msg::ListIndexError, Index);
  L[static_cast<size_t>(Index)] = S;
  SetLines(L);
}

void TMemoStrings::Insert(int Index, const std::string& S) {
  std::vector<std::string> L = Lines();
  if (Index < 0 || Index > static_cast<int>(L.size())) Error(Msg::ListIndexError, Index);
  L.insert(L.begin() + Index, S);
  SetLines(L);
}

void TMemoStrings::Delete(int Index) {
  std::vector<std::string> L = Lines();
  if (Index < 0 || Index >= static_cast<int>(L.size())) Error(Msg::ListIndexError, Index);
  L.erase(L.begin() + Index);
  SetLines(L);
}

void TMemoStrings::Clear() { Memo_.SetText(""); }

void TMemoStrings::SetUpdateState(bool Updating) {
  if (!Memo_.HandleAllocated()) return;
  SendMessageA(Memo_.Handle(), WM_SETREDRAW, !Updating, 0);
  if (!Updating) Memo_.Invalidate();
}

BEGIN_CLASS_INFO(TMemo, TCustomEdit, ComponentCreator<TMemo>)
  PublishFont(P);
  PublishColor(P, clWindow, false);
  PublishTabStop(P, true);
  P.Enum("Alignment", &TMemo::Alignment, &TMemo::SetAlignment, AlignmentNames(), taLeftJustify);
  P.Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, BorderStyleNames(), bsSingle);
  P.Obj<TStrings>("Lines", &TMemo::Lines, &TMemo::SetLines);
  P.Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, 0);
  P.Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, false);
  P.Enum("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars, ScrollStyleNames(), ssNone);
  P.Bool("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns, true);
  P.Bool("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs, false);
  P.Bool("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap, true);
  P.Event("OnChange", &TCustomEdit::OnChange);
END_CLASS_INFO

TMemo::TMemo(TComponent* Owner) : TCustomEdit(Owner), Lines_(*this) {
  Width_ = 185;
  Height_ = 89;
  SetAutoSelect(false);
}

void TMemo::CreateParams(TCreateParams& P) {
  TCustomEdit::CreateParams(P);
  P.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (WantReturns_) P.Style |= ES_WANTRETURN;
  if (WordWrap_) P.Style &= ~ES_AUTOHSCROLL;
  if (ScrollBars_ == ssVertical || ScrollBars_ == ssBoth) P.Style |= WS_VSCROLL;
  if (ScrollBars_ == ssHorizontal || ScrollBars_ == ssBoth) P.Style |= WS_HSCROLL;
  if (Alignment_ == taRightJustify) P.Style |= ES_RIGHT;
  else if (Alignment_ == taCenter) P.Style |= ES_CENTER;
}

void TMemo::SetAlignment(TAlignment Value) {
  if (Value == Alignment_) return;
  Alignment_ = Value;
  RecreateWnd();
}

void TMemo::SetScrollBars(TScrollStyle Value) {
  if (Value == ScrollBars_) return;
  ScrollBars_ = Value;
  RecreateWnd();
}

void TMemo::SetWordWrap(bool Value) {
  if (Value == WordWrap_) return;
  WordWrap_ = Value;
  RecreateWnd();
}

void TMemo::WndProc(TMessage& M) {
  if (M.Msg == WM_GETDLGCODE) {
    TCustomEdit::WndProc(M);
    if (WantTabs_) M.Result |= DLGC_WANTTAB;
    else M.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
    if (!WantReturns_) M.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
    return;
  }
  TCustomEdit::WndProc(M);
}

// --- Combo box ---------------------------------------------------------------------------

std::string TComboBoxStrings::Get(int Index) const {
  if (Index < 0 || Index >= Count()) Error(Msg::ListIndexError, Index);
  return Items_[static_cast<size_t>(Index)];
}

int TComboBoxStrings::Add(const std::string& S) {
  if (!Combo_.Sorted()) {
    Insert(Count(), S);
    return Count() - 1;
  }
  // A sorted box: where the window puts it, or where it would.
  int Index;
  if (Combo_.HandleAllocated()) {
    auto R = SendMessageA(Combo_.Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str()));
    if (R < 0) throw EOSError("Cannot add an item to the combo box");
    Index = static_cast<int>(R);
  } else {
    auto It = std::upper_bound(Items_.begin(), Items_.end(), S, [](const std::string& A, const std::string& B) {
      return AnsiCompareText(A, B) < 0;
    });
    Index = static_cast<int>(It - Items_.begin());
  }
  Items_.insert(Items_.begin() + Index, S);
  return Index;
}

void TComboBoxStrings::Insert(int Index, const std::string& S) {
  if (Index < 0 || Index > Count()) Error(Msg::ListIndexError, Index);
  if (Combo_.HandleAllocated()) {
    auto R = SendMessageA(Combo_.Handle(), CB_INSERTSTRING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str()));
    if (R < 0) throw EOSError("Cannot add an item to the combo box");
  }
  Items_.insert(Items_.begin() + Index, S);
}

void TComboBoxStrings::Delete(int Index) {
  if (Index < 0 || Index >= Count()) Error(Msg::ListIndexError, Index);
  if (Combo_.HandleAllocated()) SendMessageA(Combo_.Handle(), CB_DELETESTRING, static_cast<WPARAM>(Index), 0);
  Items_.erase(Items_.begin() + Index);
  if (Combo_.ItemIndex_ >= Count()) Combo_.ItemIndex_ = -1;
}

void TComboBoxStrings::Clear() {
  if (Combo_.HandleAllocated()) {
    // Emptying the list empties an editable box's text too; the text stays ours.
    std::string Text = Combo_.Text();
    SendMessageA(Combo_.Handle(), CB_RESETCONTENT, 0, 0);
    if (Combo_.Style() != csDropDownList) SetWindowTextA(Combo_.Handle(), Text.c_str());
  }
  Items_.clear();
  Combo_.ItemIndex_ = -1;
}

int TComboBoxStrings::IndexOf(const std::string& S) const {
  for (size_t I = 0; I < Items_.size(); ++I)
    if (AnsiCompareText(Items_[I], S) == 0) return static_cast<int>(I);
  return -1;
}

void TComboBoxStrings::SetUpdateState(bool Updating) {
  if (!Combo_.HandleAllocated()) return;
  SendMessageA(Combo_.Handle(), WM_SETREDRAW, !Updating, 0);
  if (!Updating) Combo_.Invalidate();
}

BEGIN_CLASS_INFO(TComboBox, TWinControl, ComponentCreator<TComboBox>)
  PublishText(P);
  PublishFont(P);
  PublishColor(P, clWindow, false);
  PublishTabStop(P, true);
  P.Int("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount, 8);
  P.Int("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight);
  P.Int("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex, -1);
  P.Obj<TStrings>("Items", &TComboBox::Items, &TComboBox::SetItems);
  P.Int("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength, 0);
  P.Bool("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted, false);
  P.Enum("Style", &TComboBox::Style, &TComboBox::SetStyle, ComboBoxStyleNames(), csDropDown);
  P.Event("OnChange", &TComboBox::OnChange);
  P.Event("OnDrawItem", &TComboBox::OnDrawItem);
  P.Event("OnDropDown", &TComboBox::OnDropDown);
  P.Event("OnMeasureItem", &TComboBox::OnMeasureItem);
END_CLASS_INFO

TComboBox::TComboBox(TComponent* Owner) : TWinControl(Owner), Items_(*this), Canvas_(*this) {
  Width_ = 145;
  Height_ = 21;
  TabStop_ = true;
  SetColor(clWindow);
}

int TComboBox::DropDownHeight() const {
  return Height_ + std::max(ItemHeight_, 1) * std::max(DropDownCount_, 1) + 2;
}

void TComboBox::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  CreateSubClass(P, "COMBOBOX");
  P.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
  switch (Style_) {
    case csDropDown: P.Style |= CBS_DROPDOWN; break;
    case csSimple: P.Style |= CBS_SIMPLE; break;
    case csDropDownList: P.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: P.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED; break;
    case csOwnerDrawVariable: P.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE; break;
  }
  if (Sorted_) P.Style |= CBS_SORT;
  if (Style_ != csSimple) P.Height = DropDownHeight();
}

void TComboBox::CreateWnd() {
  TWinControl::CreateWnd();
  for (const std::string& S : Items_.Items_)
    SendMessageA(Handle_, Sorted_ ? CB_ADDSTRING : CB_INSERTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(S.c_str()));
  if (Sorted_) {
    // The window sorts by its own rules; its order is the one that counts.
    for (size_t I = 0; I < Items_.Items_.size(); ++I) {
      auto Length = SendMessageA(Handle_, CB_GETLBTEXTLEN, I, 0);
      std::string S(static_cast<size_t>(std::max<LRESULT>(Length, 0)) + 1, '\0');
      SendMessageA(Handle_, CB_GETLBTEXT, I, reinterpret_cast<LPARAM>(S.data()));
      S.resize(static_cast<size_t>(std::max<LRESULT>(Length, 0)));
      Items_.Items_[I] = S;
    }
  }
  if (Style_ == csOwnerDrawFixed || Style_ == csOwnerDrawVariable)
    SendMessageA(Handle_, CB_SETITEMHEIGHT, 0, ItemHeight_);
  SendMessageA(Handle_, CB_LIMITTEXT, static_cast<WPARAM>(MaxLength_), 0);
  SendMessageA(Handle_, CB_SETCURSEL, static_cast<WPARAM>(ItemIndex_), 0);
  if (Style_ == csDropDown || Style_ == csSimple) SetWindowTextA(Handle_, Text_.c_str());
  UpdateBounds();
}

void TComboBox::SaveWindowState() {
  TWinControl::SaveWindowState();
  ItemIndex_ = static_cast<int>(SendMessageA(Handle_, CB_GETCURSEL, 0, 0));
}

void TComboBox::SetWindowBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  SetWindowPos(Handle_, nullptr, ALeft, ATop, AWidth, Style_ == csSimple ? AHeight : DropDownHeight(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TComboBox::SetStyle(TComboBoxStyle Value) {
  if (Value == Style_) return;
  Style_ = Value;
  RecreateWnd();
}

int TComboBox::ItemIndex() const {
  if (Handle_) return static_cast<int>(SendMessageA(Handle_, CB_GETCURSEL, 0, 0));
  return ItemIndexWanted_ >= -1 ? ItemIndexWanted_ : ItemIndex_;
}

void TComboBox::SetItemIndex(int Value) {
  if (IsReading()) {
    ItemIndexWanted_ = Value;
    return;
  }
  if (Value < 0 || Value >= Items_.Count()) Value = -1;
  ItemIndex_ = Value;
  if (Handle_) {
    SendMessageA(Handle_, CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
  } else {
    Text_ = Value >= 0 ? Items_.Get(Value) : std::string();
  }
}

void TComboBox::Loaded() {
  TWinControl::Loaded();
  if (ItemIndexWanted_ >= -1) {
    int Wanted = ItemIndexWanted_;
    ItemIndexWanted_ = -2;
    SetItemIndex(Wanted);
  }
}

void TComboBox::TextChanged() {
  if (Style_ == csDropDownList || Style_ == csOwnerDrawFixed || Style_ == csOwnerDrawVariable) {
    // A list alone shows only its items: the text chooses one.
    int Index = -1;
    for (int I = 0; I < Items_.Count(); ++I)
      if (Items_.Items_[static_cast<size_t>(I)] == Text_) {
        Index = I;
        break;
      }
    ItemIndex_ = Index;
    if (Handle_) SendMessageA(Handle_, CB_SETCURSEL, static_cast<WPARAM>(Index), 0);
    if (Index < 0) Text_.clear();
    Invalidate();
    return;
  }
  TWinControl::TextChanged();
}

void TComboBox::SetSorted(bool Value) {
  if (Value == Sorted_) return;
  Sorted_ = Value;
  if (Value)
    std::stable_sort(Items_.Items_.begin(), Items_.Items_.end(),
                     [](const std::string& A, const std::string& B) { return AnsiCompareText(A, B) < 0; });
  RecreateWnd();
}

void TComboBox::SetDropDownCount(int Value) {
  DropDownCount_ = std::max(Value, 1);
  if (Handle_) SetWindowBounds(Left_, Top_, Width_, Height_);
}

void TComboBox::SetMaxLength(int Value) {
  MaxLength_ = std::max(Value, 0);
  if (Handle_) SendMessageA(Handle_, CB_LIMITTEXT, static_cast<WPARAM>(MaxLength_), 0);
}

int TComboBox::ItemHeight() const {
  if (Handle_ && Style_ != csOwnerDrawFixed && Style_ != csOwnerDrawVariable)
    return static_cast<int>(SendMessageA(Handle_, CB_GETITEMHEIGHT, 0, 0));
  return ItemHeight_;
}

void TComboBox::SetItemHeight(int Value) {
  if (Value <= 0) return;
  ItemHeight_ = Value;
  if (Handle_ && (Style_ == csOwnerDrawFixed || Style_ == csOwnerDrawVariable)) {
    SendMessageA(Handle_, CB_SETITEMHEIGHT, 0, Value);
    Invalidate();
  }
}

bool TComboBox::DroppedDown() const { return Handle_ && SendMessageA(Handle_, CB_GETDROPPEDSTATE, 0, 0) != 0; }

void TComboBox::SetDroppedDown(bool Value) {
  if (Handle_) SendMessageA(Handle_, CB_SHOWDROPDOWN, Value, 0);
}

bool TComboBox::HandlesDialogKey(WORD Key) const {
  return (Key == VK_RETURN || Key == VK_ESCAPE) && DroppedDown();
}

bool TComboBox::Focused() const {
  HWND F = GetFocus();
  return Handle_ && F && (F == Handle_ || IsChild(Handle_, F));
}

void TComboBox::DrawItem(int Index, const RECT& Rect, UINT State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  TCanvas& C = Canvas_;
  C.Brush().SetColor(State & ODS_SELECTED ? clHighlight : Color_);
  C.FillRect(Rect);
  if (Index < 0 || Index >= Items_.Count()) return;
  C.Font().Assign(Font());
  if (State & ODS_SELECTED) C.Font().SetColor(clHighlightText);
  RECT R = Rect;
  R.left += 2;
  C.Brush().SetStyle(bsClear);
  C.FormatText(Items_.Items_[static_cast<size_t>(Index)], R, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TComboBox::WndProc(TMessage& M) {
  switch (M.Msg) {
    case CN_COMMAND:
      switch (NotifyCode(M.WParam)) {
        case CBN_SELCHANGE: {
          // The edit shows the new item only after this notification; Text must
          // be the new one for OnChange.
          int Index = static_cast<int>(SendMessageA(Handle_, CB_GETCURSEL, 0, 0));
          if (Index >= 0 && Index < Items_.Count() && (Style_ == csDropDown || Style_ == csSimple))
            SetWindowTextA(Handle_, Items_.Items_[static_cast<size_t>(Index)].c_str());
          Click();
          Change();
          break;
        }
        case CBN_EDITCHANGE: Change(); break;
        case CBN_DROPDOWN: OnDropDown(this); break;
        case CBN_SETFOCUS: FocusReceived(); break;
        case CBN_KILLFOCUS: FocusLost(); break;
        default: break;
      }
      M.Result = 0;
      return;
    case CN_DRAWITEM: {
      auto* D = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
      Canvas_.PaintOn(D->hDC, [&] { DrawItem(static_cast<int>(D->itemID), D->rcItem, D->itemState); });
      M.Result = TRUE;
      return;
    }
    case CN_MEASUREITEM: {
      auto* MI = reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam);
      int H = ItemHeight_;
      if (Style_ == csOwnerDrawVariable) OnMeasureItem(this, static_cast<int>(MI->itemID), H);
      MI->itemHeight = static_cast<UINT>(std::max(H, 1));
      M.Result = TRUE;
      return;
    }
    // The box's own edit and list ask it for their colours.
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      HDC DC = reinterpret_cast<HDC>(M.WParam);
      SetTextColor(DC, ColorToRGB(Font()->Color()));
      SetBkColor(DC, ColorToRGB(Color_));
      M.Result = reinterpret_cast<LRESULT>(Brush().Handle());
      return;
    }
    // Focus is reported by CBN_SETFOCUS/CBN_KILLFOCUS, whichever window holds it.
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      DefaultHandler(M);
      return;
    default:
      break;
  }
  TWinControl::WndProc(M);
}

// --- Label ---------------------------------------------------------------------------------

BEGIN_CLASS_INFO(TLabel, TGraphicControl, ComponentCreator<TLabel>)
  PublishCaption(P);
  PublishFont(P);
  PublishColor(P, clBtnFace, true);
  P.Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, AlignmentNames(), taLeftJustify);
  P.Bool("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize, true);
  P.Obj<TWinControl>("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
  P.Enum("Layout", &TLabel::Layout, &TLabel::SetLayout, TextLayoutNames(), tlTop);
  P.Bool("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar, true);
  P.Bool("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false);
  P.Bool("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap, false);
END_CLASS_INFO

TLabel::TLabel(TComponent* Owner) : TGraphicControl(Owner) {
  Width_ = 65;
  Height_ = 17;
  AutoSize_ = true;
  SetParentColor(true);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FocusControl_) FocusControl_ = nullptr;
}

UINT TLabel::TextFormat() const {
  static const UINT Aligns[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT F = DT_EXPANDTABS | Aligns[Alignment_];
  if (WordWrap_) F |= DT_WORDBREAK;
  if (!ShowAccelChar_) F |= DT_NOPREFIX;
  return F;
}

std::string TLabel::AccessibleText() const {
  const std::string Caption = GetText();
  if (!ShowAccelChar_) return Caption;
  // A doubled "&" shows as one; a single one underlines the next character.
  std::string Shown;
  for (size_t I = 0; I < Caption.size(); ++I) {
    if (Caption[I] == '&' && I + 1 < Caption.size()) ++I;
    Shown += Caption[I];
  }
  return Shown;
}

std::string TLabel::MeasuredText() const {
  // An empty label still has the height of a line.
  std::string T = GetText();
  if (T.empty() || (ShowAccelChar_ && T == "&")) T += ' ';
  return T;
}

void TLabel::AdjustSize() {
  if (!AutoSize_ || IsReading() || IsDestroying()) return;
  RECT R{0, 0, WordWrap_ ? Width_ : 0, 0};
  {
    TWindowDC DC(nullptr);
    TSelectedObject Selected(DC.Get(), Font()->Handle());
    std::string T = MeasuredText();
    DrawTextA(DC.Get(), T.c_str(), static_cast<int>(T.size()), &R, TextFormat() | DT_CALCRECT);
  }
  int X = Left_;
  if (Alignment_ == taRightJustify) X += Width_ - R.right;
  SetBounds(X, Top_, R.right, R.bottom);
}

void TLabel::Paint() {
  TCanvas& C = Canvas();
  RECT R = ClientRect();
  if (!Transparent_) {
    C.Brush().SetColor(Color_);
    C.FillRect(R);
  }
  C.Brush().SetStyle(bsClear);
  const std::string T = GetText();
  const UINT Format = TextFormat();
  if (Layout_ != tlTop) {
    RECT Calc = R;
    C.FormatText(MeasuredText(), Calc, Format | DT_CALCRECT);
    const int Free = (R.bottom - R.top) - (Calc.bottom - Calc.top);
    R.top += Layout_ == tlBottom ? Free : Free / 2;
  }
  if (!Enabled_) {
    // Disabled text stands engraved: a light copy below and right of a shadow.
    RECT Light = R;
    OffsetRect(&Light, 1, 1);
    C.Font().SetColor(clBtnHighlight);
    C.FormatText(T, Light, Format);
    C.Font().SetColor(clBtnShadow);
  } else {
    C.Font().SetColor(Font()->Color());
  }
  C.FormatText(T, R, Format);
}

void TLabel::SetAlignment(TAlignment Value) {
  if (Value == Alignment_) return;
  Alignment_ = Value;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout Value) {
  if (Value == Layout_) return;
  Layout_ = Value;
  Invalidate();
}

void TLabel::SetWordWrap(bool Value) {
  if (Value == WordWrap_) return;
  WordWrap_ = Value;
  AdjustSize();
  Invalidate();
}

void TLabel::SetTransparent(bool Value) {
  if (Value == Transparent_) return;
  Transparent_ = Value;
  Invalidate();
}

void TLabel::SetShowAccelChar(bool Value) {
  if (Value == ShowAccelChar_) return;
  ShowAccelChar_ = Value;
  AdjustSize();
  Invalidate();
}

// --- Group box --------------------------------------------------------------------------------

BEGIN_CLASS_INFO(TGroupBox, TCustomControl, ComponentCreator<TGroupBox>)
  PublishCaption(P);
  PublishFont(P);
  PublishColor(P, clBtnFace, true);
  PublishTabStop(P, false);
END_CLASS_INFO

TGroupBox::TGroupBox(TComponent* Owner) : TCustomControl(Owner) {
  Width_ = 185;
  Height_ = 105;
  SetParentColor(true);
}

void TGroupBox::CreateParams(TCreateParams& P) {
  TCustomControl::CreateParams(P);
  P.Style |= WS_CLIPCHILDREN;
}

void TGroupBox::AdjustClientRect(RECT& Rect) const {
  auto* Self = const_cast<TGroupBox*>(this);
  Rect.top += LineHeight(*Self->Font());
  InflateRect(&Rect, -2, -2);
}

void TGroupBox::Paint() {
  TCanvas& C = Canvas();
  const int H = C.TextHeight("0");
  RECT R = ClientRect();
  R.top += H / 2;
  DrawEdge(C.Handle(), &R, EDGE_ETCHED, BF_RECT);
  const std::string T = GetText();
  if (T.empty()) return;
  RECT Text{8, 0, 0, H};
  C.FormatText(T, Text, DT_SINGLELINE | DT_CALCRECT);
  Text.left -= 2;
  Text.right += 2;
  C.Brush().SetColor(Color_);
  C.FillRect(Text);
  Text.left += 2;
  C.Brush().SetStyle(bsClear);
  C.Font().SetColor(Enabled_ ? Font()->Color() : clGrayText);
  C.FormatText(T, Text, DT_SINGLELINE);
}
