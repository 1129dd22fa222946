// Accessibility of what has no window: a window of our own class answers for the
// graphic controls it paints (labels), and any window for the texts it paints
// itself (grid cells, tabs, tool buttons); a screen reader could read neither
// otherwise. Its accessible object is the system's standard one for the window,
// with its children listed anew: the child windows (the system's objects for
// them), then the graphic controls with a text and the painted texts, as simple
// static-text elements with their bounds.
#include "gui/controls.h"

#include <oleacc.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/handles.h"

namespace {

// The library's import of IID_IAccessible does not link as data; the
// interface's own identifier does.
const IID& IidAccessible() {
  static const IID Iid = __uuidof(IAccessible);
  return Iid;
}

BSTR ToBstr(const std::string& Text) {
  const int Length = MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
  BSTR B = SysAllocStringLen(nullptr, static_cast<UINT>(Length));
  if (B && Length) MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), B, Length);
  return B;
}

VARIANT ChildVariant(LONG Id) {
  VARIANT V;
  VariantInit(&V);
  V.vt = VT_I4;
  V.lVal = Id;
  return V;
}

bool HasAccessibleText(const TControl* C) {
  auto* G = dynamic_cast<const TGraphicControl*>(C);
  return G && !G->AccessibleText().empty();
}

// One child of the accessible object: a child window, or a simple element (a
// graphic control, or a text the parent paints).
struct TChild {
  HWND Window = nullptr;
  const TGraphicControl* Graphic = nullptr;  // for a graphic control
  std::string Text;                          // for a simple element
  RECT Bounds{};  // in the parent's client area
};

// The children in reading order: top to bottom, then left to right. Windows
// hidden by their own style and invisible graphic controls are left out.
std::vector<TChild> ChildrenOf(TWinControl& Parent) {
  std::vector<TChild> Children;
  const HWND Wnd = Parent.Handle();
  for (HWND W = GetWindow(Wnd, GW_CHILD); W; W = GetWindow(W, GW_HWNDNEXT)) {
    if (!(GetWindowLongPtrA(W, GWL_STYLE) & WS_VISIBLE)) continue;
    TChild C;
    C.Window = W;
    GetWindowRect(W, &C.Bounds);
    MapWindowPoints(HWND_DESKTOP, Wnd, reinterpret_cast<POINT*>(&C.Bounds), 2);
    Children.push_back(C);
  }
  for (int I = 0; I < Parent.ControlCount(); ++I) {
    TControl* Control = Parent.Controls(I);
    if (!Control->Visible() || !HasAccessibleText(Control)) continue;
    TChild C;
    C.Graphic = static_cast<TGraphicControl*>(Control);
    C.Text = C.Graphic->AccessibleText();
    C.Bounds = Control->BoundsRect();
    Children.push_back(C);
  }
  for (TWinControl::TPaintedText& Painted : Parent.PaintedTexts()) {
    TChild C;
    C.Text = std::move(Painted.Text);
    C.Bounds = Painted.Bounds;
    Children.push_back(C);
  }
  std::stable_sort(Children.begin(), Children.end(), [](const TChild& A, const TChild& B) {
    return A.Bounds.top != B.Bounds.top ? A.Bounds.top < B.Bounds.top : A.Bounds.left < B.Bounds.left;
  });
  return Children;
}

// The accessible object of a window with simple elements.
// It looks its control up again for every call: a screen reader may keep it
// after the window is gone.
class TAccessibleClient final : public IAccessible {
public:
  explicit TAccessibleClient(HWND Wnd) : Wnd_(Wnd) {
    CreateStdAccessibleObject(Wnd, OBJID_CLIENT, IidAccessible(), Standard_.PPV());
  }
  TAccessibleClient(const TAccessibleClient&) = delete;
  TAccessibleClient& operator=(const TAccessibleClient&) = delete;
  bool Valid() const { return static_cast<bool>(Standard_); }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Out) override {
    if (!Out) return E_POINTER;
    if (Iid == IID_IUnknown || Iid == IID_IDispatch || Iid == IidAccessible()) {
      *Out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *Out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&References_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG Left = InterlockedDecrement(&References_);
    if (Left == 0) delete this;
    return static_cast<ULONG>(Left);
  }

  // IDispatch: the standard object's.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override { return Standard_->GetTypeInfoCount(Count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT Index, LCID Locale, ITypeInfo** Info) override {
    return Standard_->GetTypeInfo(Index, Locale, Info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID Iid, LPOLESTR* Names, UINT Count, LCID Locale, DISPID* Ids) override {
    return Standard_->GetIDsOfNames(Iid, Names, Count, Locale, Ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID Id, REFIID Iid, LCID Locale, WORD Flags, DISPPARAMS* Params,
                                   VARIANT* Result, EXCEPINFO* Exception, UINT* ArgError) override {
    return Standard_->Invoke(Id, Iid, Locale, Flags, Params, Result, Exception, ArgError);
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** Parent) override { return Standard_->get_accParent(Parent); }

  HRESULT STDMETHODCALLTYPE get_accChildCount(long* Count) override {
    if (!Count) return E_POINTER;
    TWinControl* Control = Live();
    if (!Control) return CO_E_OBJNOTCONNECTED;
    *Count = static_cast<long>(ChildrenOf(*Control).size());
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT Id, IDispatch** Child) override {
    if (!Child) return E_POINTER;
    *Child = nullptr;
    TTarget T;
    if (HRESULT R = Resolve(Id, T); R != S_OK) return R;
    if (!T.Window) return T.Simple() ? S_FALSE : E_INVALIDARG;  // a simple element: its parent answers for it
    return AccessibleObjectFromWindow(T.Window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(Child));
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT Id, BSTR* Name) override {
    return Answer(Id, Name, [](TTarget& T, BSTR* Out) {
      *Out = ToBstr(T.Text);
      return *Out ? S_OK : E_OUTOFMEMORY;
    }, &IAccessible::get_accName);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT Id, VARIANT* Role) override {
    return Answer(Id, Role, [](TTarget&, VARIANT* Out) {
      *Out = ChildVariant(ROLE_SYSTEM_STATICTEXT);
      return S_OK;
    }, &IAccessible::get_accRole);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT Id, VARIANT* State) override {
    return Answer(Id, State, [](TTarget& T, VARIANT* Out) {
      LONG S = STATE_SYSTEM_READONLY;
      if (T.Graphic && !T.Graphic->Showing()) S |= STATE_SYSTEM_INVISIBLE;
      if (T.Graphic && !T.Graphic->Enabled()) S |= STATE_SYSTEM_UNAVAILABLE;
      *Out = ChildVariant(S);
      return S_OK;
    }, &IAccessible::get_accState);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT Id, BSTR* Value) override {
    return Answer(Id, Value, NotOffered<BSTR*>, &IAccessible::get_accValue);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT Id, BSTR* Text) override {
    return Answer(Id, Text, NotOffered<BSTR*>, &IAccessible::get_accDescription);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT Id, BSTR* Text) override {
    return Answer(Id, Text, NotOffered<BSTR*>, &IAccessible::get_accHelp);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT Id, BSTR* Text) override {
    return Answer(Id, Text, NotOffered<BSTR*>, &IAccessible::get_accKeyboardShortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT Id, BSTR* Text) override {
    return Answer(Id, Text, NotOffered<BSTR*>, &IAccessible::get_accDefaultAction);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* File, VARIANT Id, long* Topic) override {
    TTarget T;
    if (HRESULT R = Resolve(Id, T); R != S_OK) return R;
    if (T.Simple()) return DISP_E_MEMBERNOTFOUND;
    return T.Object->get_accHelpTopic(File, ChildVariant(CHILDID_SELF), Topic);
  }

  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* Focus) override {
    TWinControl* Control;
    if (HRESULT R = Begin(Focus, Control); R != S_OK) return R;
    const HWND Focused = GetFocus();
    if (Focused == Wnd_) {
      *Focus = ChildVariant(CHILDID_SELF);
      return S_OK;
    }
    const std::vector<TChild> Children = ChildrenOf(*Control);
    for (const TChild& C : Children)
      if (C.Window && (C.Window == Focused || IsChild(C.Window, Focused))) {
        IDispatch* Child = nullptr;
        if (AccessibleObjectFromWindow(C.Window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                       reinterpret_cast<void**>(&Child)) != S_OK)
          return S_FALSE;
        Focus->vt = VT_DISPATCH;
        Focus->pdispVal = Child;
        return S_OK;
      }
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* Selection) override {
    return Standard_->get_accSelection(Selection);
  }

  HRESULT STDMETHODCALLTYPE accLocation(long* Left, long* Top, long* Width, long* Height, VARIANT Id) override {
    if (!Left || !Top || !Width || !Height) return E_POINTER;
    TTarget T;
    if (HRESULT R = Resolve(Id, T); R != S_OK) return R;
    if (!T.Simple()) return T.Object->accLocation(Left, Top, Width, Height, ChildVariant(CHILDID_SELF));
    RECT R = T.Bounds;
    MapWindowPoints(Wnd_, HWND_DESKTOP, reinterpret_cast<POINT*>(&R), 2);
    *Left = R.left;
    *Top = R.top;
    *Width = R.right - R.left;
    *Height = R.bottom - R.top;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accHitTest(long X, long Y, VARIANT* Hit) override {
    TWinControl* Control;
    if (HRESULT R = Begin(Hit, Control); R != S_OK) return R;
    // Windows lie above the graphic controls their parent paints.
    HRESULT R = Standard_->accHitTest(X, Y, Hit);
    if (R != S_OK || Hit->vt != VT_I4 || Hit->lVal != CHILDID_SELF) return R;
    POINT P{X, Y};
    ScreenToClient(Wnd_, &P);
    const std::vector<TChild> Children = ChildrenOf(*Control);
    for (size_t I = Children.size(); I-- > 0;)
      if (!Children[I].Window && PtInRect(&Children[I].Bounds, P)) {
        *Hit = ChildVariant(static_cast<LONG>(I + 1));
        break;
      }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accNavigate(long Direction, VARIANT Start, VARIANT* End) override {
    TWinControl* Control;
    if (HRESULT R = Begin(End, Control); R != S_OK) return R;
    if (Start.vt != VT_I4) return E_INVALIDARG;
    const auto Count = static_cast<LONG>(ChildrenOf(*Control).size());
    LONG To = 0;
    if (Start.lVal == CHILDID_SELF) {
      if (Direction == NAVDIR_FIRSTCHILD) To = 1;
      else if (Direction == NAVDIR_LASTCHILD) To = Count;
      else return Standard_->accNavigate(Direction, Start, End);
    } else if (Start.lVal < 1 || Start.lVal > Count) {
      return E_INVALIDARG;
    } else if (Direction == NAVDIR_NEXT) {
      To = Start.lVal + 1;
    } else if (Direction == NAVDIR_PREVIOUS) {
      To = Start.lVal - 1;
    }
    if (To < 1 || To > Count) return S_FALSE;
    IDispatch* Child = nullptr;
    if (get_accChild(ChildVariant(To), &Child) == S_OK && Child) {
      End->vt = VT_DISPATCH;
      End->pdispVal = Child;
    } else {
      *End = ChildVariant(To);
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accSelect(long Flags, VARIANT Id) override {
    TTarget T;
    if (HRESULT R = Resolve(Id, T); R != S_OK) return R;
    if (T.Simple()) return DISP_E_MEMBERNOTFOUND;
    return T.Object->accSelect(Flags, ChildVariant(CHILDID_SELF));
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT Id) override {
    TTarget T;
    if (HRESULT R = Resolve(Id, T); R != S_OK) return R;
    if (T.Simple()) return DISP_E_MEMBERNOTFOUND;
    return T.Object->accDoDefaultAction(ChildVariant(CHILDID_SELF));
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
  ~TAccessibleClient() = default;

  // What a child id stands for: the window itself or a child window (Object
  // answers for it as CHILDID_SELF), or a simple element we answer for.
  struct TTarget {
    TComPtr<IAccessible> ChildObject;
    IAccessible* Object = nullptr;  // not owned: the standard object or ChildObject
    HWND Window = nullptr;
    const TGraphicControl* Graphic = nullptr;
    std::string Text;
    RECT Bounds{};
    bool Simple() const { return !Object; }
  };

  TWinControl* Live() const { return IsWindow(Wnd_) ? TWinControl::FromHandle(Wnd_) : nullptr; }

  // Empties the answer and finds the control; anything but S_OK ends the call.
  HRESULT Begin(VARIANT* Out, TWinControl*& Control) const {
    if (!Out) return E_POINTER;
    VariantInit(Out);
    Control = Live();
    return Control ? S_OK : CO_E_OBJNOTCONNECTED;
  }

  HRESULT Resolve(const VARIANT& Id, TTarget& T) {
    TWinControl* Control = Live();
    if (!Control) return CO_E_OBJNOTCONNECTED;
    if (Id.vt != VT_I4) return E_INVALIDARG;
    if (Id.lVal == CHILDID_SELF) {
      T.Object = Standard_.Get();
      return S_OK;
    }
    const std::vector<TChild> Children = ChildrenOf(*Control);
    if (Id.lVal < 1 || Id.lVal > static_cast<LONG>(Children.size())) return E_INVALIDARG;
    const TChild& C = Children[static_cast<size_t>(Id.lVal - 1)];
    T.Window = C.Window;
    T.Graphic = C.Graphic;
    T.Text = C.Text;
    T.Bounds = C.Bounds;
    if (C.Window) {
      HRESULT R = AccessibleObjectFromWindow(C.Window, static_cast<DWORD>(OBJID_WINDOW), IidAccessible(),
                                             T.ChildObject.PPV());
      if (R != S_OK) return R;
      T.Object = T.ChildObject.Get();
    }
    return S_OK;
  }

  // A property: a simple element's from OnSimple, any other object's own.
  template <class TOut, class TOnSimple>
  HRESULT Answer(const VARIANT& Id, TOut* Out, TOnSimple OnSimple,
                 HRESULT (STDMETHODCALLTYPE IAccessible::*Method)(VARIANT, TOut*)) {
    if (!Out) return E_POINTER;
    TTarget T;
    if (HRESULT R = Resolve(Id, T); R != S_OK) return R;
    if (T.Simple()) return OnSimple(T, Out);
    return (T.Object->*Method)(ChildVariant(CHILDID_SELF), Out);
  }

  template <class TOut>
  static HRESULT NotOffered(TTarget&, TOut Out) {
    *Out = {};
    return DISP_E_MEMBERNOTFOUND;
  }

  LONG References_ = 1;
  HWND Wnd_;
  TComPtr<IAccessible> Standard_;
};

}  // namespace

bool TWinControl::AnswerGetObject(TMessage& M) {
  if (static_cast<LONG>(static_cast<DWORD>(M.LParam)) != OBJID_CLIENT) return false;
  // A window of a system class answers for itself, unless it paints texts it lists.
  const bool Labels = OwnClass_ && std::any_of(Controls_.begin(), Controls_.end(), HasAccessibleText);
  if (!Labels && PaintedTexts().empty()) return false;
  auto* Client = new TAccessibleClient(Handle_);
  LRESULT Result = Client->Valid() ? LresultFromObject(IidAccessible(), M.WParam, Client) : 0;
  Client->Release();
  // Not answered (no COM on this thread, for one): the system's own object.
  if (Result <= 0) return false;
  M.Result = Result;
  return true;
}

void TGraphicControl::TextChanged() {
  TControl::TextChanged();
  if (AccessibleText().empty() || !Parent_ || !Parent_->HandleAllocated()) return;
  const std::vector<TChild> Children = ChildrenOf(*Parent_);
  for (size_t I = 0; I < Children.size(); ++I)
    if (Children[I].Graphic == this)
      NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Parent_->Handle(), OBJID_CLIENT, static_cast<LONG>(I + 1));
}
