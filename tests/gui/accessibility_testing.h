// Reading windows as assistive technology does, through their accessible
// objects (MSAA): what a client object lists, and the names a screen reader
// hears under a window. Works across processes too.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "gui/handles.h"

namespace acctest {

inline const IID& IidAccessible() {
  static const IID Iid = __uuidof(IAccessible);
  return Iid;
}

inline std::string Narrow(BSTR Text) {
  if (!Text) return {};
  char Buffer[1024] = {};
  WideCharToMultiByte(CP_ACP, 0, Text, -1, Buffer, sizeof Buffer - 1, nullptr, nullptr);
  SysFreeString(Text);
  return Buffer;
}

inline VARIANT Child(LONG Id) {
  VARIANT V;
  VariantInit(&V);
  V.vt = VT_I4;
  V.lVal = Id;
  return V;
}

// One simple child of a client object, as a screen reader reads it.
struct TSimpleChild {
  LONG Id;
  std::string Name;
  LONG Role;
  LONG State;
  RECT Screen;
};

struct TClient {
  TComPtr<IAccessible> Object;
  std::vector<TSimpleChild> Simple;  // in the order the object lists its children
  long Count = 0;
  long Windows = 0;  // children that are objects of their own
};

// What the client object of Wnd lists; no object when the window has none.
inline TClient ReadClient(HWND Wnd) {
  TClient C;
  if (AccessibleObjectFromWindow(Wnd, static_cast<DWORD>(OBJID_CLIENT), IidAccessible(), C.Object.PPV()) != S_OK)
    return C;
  C.Object->get_accChildCount(&C.Count);
  if (C.Count <= 0) return C;
  std::vector<VARIANT> Children(static_cast<size_t>(C.Count));
  long Got = 0;
  AccessibleChildren(C.Object.Get(), 0, C.Count, Children.data(), &Got);
  for (long I = 0; I < Got; ++I) {
    VARIANT& V = Children[static_cast<size_t>(I)];
    if (V.vt == VT_DISPATCH) {
      ++C.Windows;
      V.pdispVal->Release();
      continue;
    }
    TSimpleChild S{V.lVal, {}, 0, 0, {}};
    BSTR Name = nullptr;
    C.Object->get_accName(V, &Name);
    S.Name = Narrow(Name);
    VARIANT Role, State;
    VariantInit(&Role);
    VariantInit(&State);
    C.Object->get_accRole(V, &Role);
    C.Object->get_accState(V, &State);
    S.Role = Role.lVal;
    S.State = State.lVal;
    long L = 0, T = 0, W = 0, H = 0;
    C.Object->accLocation(&L, &T, &W, &H, V);
    S.Screen = RECT{L, T, L + W, T + H};
    C.Simple.push_back(S);
  }
  return C;
}

// The names of the simple elements (painted texts) a screen reader finds under
// Wnd: in its client object and in those of all the windows below it.
inline std::vector<std::string> PaintedTexts(HWND Wnd) {
  std::vector<std::string> Names;
  auto Add = [&Names](HWND W) {
    for (const TSimpleChild& S : ReadClient(W).Simple) Names.push_back(S.Name);
  };
  Add(Wnd);
  EnumChildWindows(
      Wnd,
      [](HWND W, LPARAM Data) {
        (*reinterpret_cast<decltype(Add)*>(Data))(W);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Add));
  return Names;
}

}  // namespace acctest
