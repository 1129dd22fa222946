#include "mltlang/MLTLANG.h"

#include <functional>
#include <memory>
#include <vector>

#include "classes/typinfo.h"
#include "gui/dialogs.h"
#include "gui/forms.h"
#include "gui/exceptionsink.h"

namespace {

// --- What every translation component of the process shares ----------------------

// Every live component, in creation order; made by the first, released with the last.
std::unique_ptr<std::vector<TMltLang*>> Instances;
// Set while one switch is passed on, so that the components reached do not pass it on again.
bool Propagating = false;
// The last switch made at run time, for forms loaded later.
int LastLang = 0;
TLangid LastLangId = lgNEUTRAL;
bool LastById = false;

// Passes a switch from From to every other component. Propagating is cleared
// however this ends: a component that raises must not keep every later switch
// from reaching the others.
void PassOn(const TMltLang* From, const std::function<void(TMltLang&)>& Switch) {
  if (Propagating) return;
  struct TGuard {
    TGuard() { Propagating = true; }
    ~TGuard() { Propagating = false; }
  } Guard;
  // By index: a handler on the way may make or free components.
  for (size_t I = 0; Instances && I < Instances->size(); ++I)
    if (TMltLang* C = (*Instances)[I]; C != From) Switch(*C);
}

void RemoveInstance(const TMltLang* C) {
  if (!Instances) return;
  std::erase(*Instances, C);
  if (Instances->empty()) Instances.reset();
}

// Depth first through the ownership tree: a component's own components are
// searched before its own name is compared.
TComponent* FindComponentByName(TComponent* Root, const std::string& Name) {
  if (!Root) return nullptr;
  if (Root->Name() == Name) return Root;
  for (int I = 0; I < Root->ComponentCount(); ++I) {
    TComponent* C = Root->Components(I);
    if (C->ComponentCount() > 0)
      if (TComponent* Found = FindComponentByName(C, Name)) return Found;
    if (C->Name() == Name) return C;
  }
  return nullptr;
}

bool IsInTree(const TComponent* Root, const TComponent* C) {
  if (!C || !Root) return false;
  if (C == Root) return true;
  for (int I = 0; I < Root->ComponentCount(); ++I)
    if (IsInTree(Root->Components(I), C)) return true;
  return false;
}

// Frees the item in slot I of List and leaves the slot empty for a Pack.
void DropItem(TInfoList& List, int I) {
  List.FreeItem(List.Get(I));
  List.Put(I, nullptr);
}

}  // namespace

// --- TMltLang ---------------------------------------------------------------------

BEGIN_CLASS_INFO(TMltLang, TComponent, ComponentCreator<TMltLang>)
  P.Int("ActiveLang", &TMltLang::ActiveLang, &TMltLang::SetActiveLang);
  P.Enum("ActiveLangById", &TMltLang::ActiveLangById, &TMltLang::SetActiveLangById, LangidNames());
  P.Int("MaxLang", &TMltLang::MaxLang, &TMltLang::SetMaxLang);
  // Reading and storing the items first brings them in step with the form.
  P.Obj<TInfoList>("Items", [](const TMltLang& M) { return const_cast<TMltLang&>(M).Items(); }, &TMltLang::SetItems,
                   [](const TMltLang& M) {
                     const_cast<TMltLang&>(M).SyncItems();
                     return true;
                   });
  P.Str("DefDictionary", &TMltLang::DefDictionary, &TMltLang::SetDefDictionary);
  P.Enum("LangId", &TMltLang::LangId, &TMltLang::SetLangId, LangidNames());
  P.Event("OnBeforeChanging", &TMltLang::OnBeforeChanging);
  P.Event("OnLanguageChanged", &TMltLang::OnLanguageChanged);
END_CLASS_INFO

void RegisterMltlangClasses() {
  RegisterMltlangRecordClasses();
  RegisterComponentClass(TMltLang::StaticClassInfo());
}

TMltLang::TMltLang(TComponent* AOwner) : TComponent(AOwner) {
  if (!Instances) Instances = std::make_unique<std::vector<TMltLang*>>();
  Instances->push_back(this);
  try {
    const bool Designing = ComponentState().Contains(csDesigning);
    if (Designing) OpenConfiguration();
    DefDictionary_ = "default.dct";
    Items_ = std::make_unique<TInfoList>();
    SetMaxLang(2);
    if (Designing) {
      ActiveLang_ = 0;
      SetMaxLang(Configuration()->DefMaxLang());
      DefDictionary_ = Configuration()->DictPath();
    }
  } catch (...) {
    RemoveInstance(this);
    throw;
  }
}

TMltLang::~TMltLang() {
  // A form that outlives its component must not show through a handler that is
  // gone; a form being destroyed is past showing.
  if (ChainedForm_ && !ChainedForm_->ComponentState().Contains(csDestroying) && ChainedForm_->OnShow.Data == this)
    ChainedForm_->OnShow = SavedOnShow;
  RemoveInstance(this);
  if (!Instances) {
    // A destructor cannot hand the error on; the application shows it.
    try {
      CloseConfiguration();
    } catch (...) {
      HandleWindowException(this);
    }
  }
  Items_.reset();
}

TForm* TMltLang::OwnerForm() const {
  for (TComponent* C = Owner(); C; C = C->Owner())
    if (auto* F = dynamic_cast<TForm*>(C)) return F;
  return nullptr;
}

void TMltLang::SetActiveLang(int V) {
  if (ComponentState().Contains(csReading)) {
    ActiveLang_ = V;  // applied by the loaded hook
    return;
  }
  if (V < 0 || V >= MaxLang()) return;
  Switch(
      V, [this](TMltLang& C) { C.SetActiveLang(ActiveLang_); },
      [this] {
        LastLang = ActiveLang_;
        LastById = false;
      });
}

void TMltLang::SetActiveLangById(TLangid Id) {
  if (ComponentState().Contains(csReading)) return;
  const TLngLst& Languages = *Items_->Languages();
  int Slot = -1;
  for (int S = 0; S < Languages.Count(); ++S)
    if (auto* L = dynamic_cast<TLngId*>(Languages.Get(S)); L && L->Id == Id) Slot = S;
  if (Slot < 0) return;
  Switch(
      Slot, [Id](TMltLang& C) { C.SetActiveLangById(Id); },
      [Id] {
        LastLangId = Id;
        LastById = true;
      });
}

void TMltLang::Switch(int V, const std::function<void(TMltLang&)>& PassOnTo, const std::function<void()>& Remember) {
  if (!ChangeTo(V)) return;
  PassOn(this, PassOnTo);
  if (!ComponentState().Contains(csDesigning)) Remember();  // forms loaded later follow run-time switches only
  OnLanguageChanged(this);
}

bool TMltLang::ChangeTo(int V) {
  if (OnBeforeChanging) {
    bool Allowed = true;
    OnBeforeChanging(this, Allowed);
    if (!Allowed) return false;
  }
  if (ComponentState().Contains(csDesigning)) {
    SyncItems();
    FetchAll();  // the texts edited in the designer go into the slot being left
  }
  // Base texts first, so that what slot V leaves untranslated shows in the base
  // language and never in the language being left.
  if (V != ActiveLang_ && ActiveLang_ != 0) {
    ActiveLang_ = 0;
    ApplyAll();
  }
  if (V != ActiveLang_) {
    ActiveLang_ = V;
    ApplyAll();
  }
  return true;
}

int TMltLang::MaxLang() const { return Items_->Languages()->Count(); }

void TMltLang::SetMaxLang(int N) {
  // DefaultLangOrder names as many slots as there are identifiers.
  if (N < 2 || N > LangidCount || N <= ActiveLang_) return;
  TLngLst& Languages = *Items_->Languages();
  while (Languages.Count() < N) {
    auto Slot = std::make_unique<TLngId>(NewSlotId(Languages.Count()));
    Languages.Add(Slot.get());
    Slot.release();
  }
  for (int S = Languages.Count() - 1; S >= N; --S) {
    Languages.FreeItem(Languages.Get(S));
    Languages.Delete(S);
  }
  for (int I = 0; I < Items_->Count(); ++I)
    if (TCI* Item = Items_->Item(I)) Item->SetLength(N);
}

TLangid TMltLang::NewSlotId(int Slot) const {
  const TConfiguration* Config = Configuration();
  if (Config && Config->LangList().Count() > Slot) return Config->LangList().GetId(Slot);
  return DefaultLangOrder[static_cast<size_t>(Slot)];
}

TInfoList* TMltLang::Items() {
  SyncItems();
  FetchAll();
  return Items_.get();
}

void TMltLang::SetItems(TInfoList* Value) {
  if (Value && Value != Items_.get()) Items_->Assign(Value);
  ApplyAll();
}

TLangid TMltLang::LangId() const {
  const TLngLst& Languages = *Items_->Languages();
  if (ActiveLang_ < 0 || ActiveLang_ >= Languages.Count()) return lgNEUTRAL;
  return Languages.GetId(ActiveLang_);
}

void TMltLang::SetLangId(TLangid Id) {
  TLngLst& Languages = *Items_->Languages();
  if (auto* L = dynamic_cast<TLngId*>(Languages.Get(ActiveLang_))) {
    L->Id = Id;
    return;
  }
  Languages.Put(ActiveLang_, new TLngId(Id));  // the slot had lost its identifier
}

void TMltLang::SyncItems() {
  const TForm* Form = OwnerForm();
  for (int I = 0; I < Items_->Count(); ++I) {
    TCI* Item = Items_->Item(I);
    if (!Item || !IsInTree(Form, Item->Control())) {
      DropItem(*Items_, I);
      continue;
    }
    const TComponent* C = Item->Control();
    if (Item->CompName() != C->Name()) Item->SetCompName(C->Name());
    if (Item->CompIndex() != C->ComponentIndex()) Item->SetCompIndex(C->ComponentIndex());
  }
  Items_->Pack();
}

void TMltLang::ApplyAll() {
  for (int I = 0; I < Items_->Count(); ++I)
    if (TCI* Item = Items_->Item(I); Item && Item->Control()) Item->Apply(ActiveLang_, ComponentState());
}

void TMltLang::FetchAll() {
  for (int I = 0; I < Items_->Count(); ++I)
    if (TCI* Item = Items_->Item(I); Item && Item->Control()) Item->Fetch(ActiveLang_);
}

void TMltLang::Loaded() {
  TComponent::Loaded();
  TForm* Form = OwnerForm();
  BindItems(Form);
  if (ComponentState().Contains(csDesigning)) {
    ApplyAll();
    return;
  }
  // The first form of the process finds slot 0 active: no text changes, but the
  // switch is passed on and reported all the same.
  if (LastById) SetActiveLangById(LastLangId);
  else SetActiveLang(LastLang);
  ChainIntoOnShow(Form);
}

// Items arrive from the resource unbound: by name, the form's own by its mark
// -1 when the form has been renamed, and whatever finds no component is dropped.
void TMltLang::BindItems(TForm* Form) {
  for (int I = 0; I < Items_->Count(); ++I) {
    TCI* Item = Items_->Item(I);
    TComponent* C = Item ? FindComponentByName(Form, Item->CompName()) : nullptr;
    if (C) {
      Item->SetControl(C);
      Item->SetCompIndex(C->ComponentIndex());
    } else if (Item && Form && Item->CompIndex() == -1) {
      Item->SetControl(Form);
    } else {
      DropItem(*Items_, I);
    }
  }
  Items_->Pack();
}

void TMltLang::ChainIntoOnShow(TForm* Form) {
  if (!Form) return;
  SavedOnShow = Form->OnShow;
  Form->OnShow = TNotifyEvent([this](TObject* Sender) { ShowHandler(Sender); }, this);
  ChainedForm_ = Form;
}

void TMltLang::ShowHandler(TObject* Sender) {
  ApplyAll();
  SavedOnShow(Sender);
}

void TMltLang::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove || AComponent == this || !Items_) return;
  const TForm* Form = OwnerForm();
  const bool Designing = ComponentState().Contains(csDesigning);
  const bool FormSettled = Form && !Form->ComponentState().Contains(csLoading) &&
                           !Form->ComponentState().Contains(csReading) &&
                           !Form->ComponentState().Contains(csWriting) &&
                           !Form->ComponentState().Contains(csDestroying);
  const bool Drop = Designing && FormSettled;
  for (int I = 0; I < Items_->Count(); ++I) {
    TCI* Item = Items_->Item(I);
    if (!Item || Item->Control() != AComponent) continue;
    // At run time the item stays but lets go of the component, which is about
    // to be freed: the next showing must not write into it.
    if (Drop) DropItem(*Items_, I);
    else Item->SetControl(nullptr);
  }
  if (Drop) Items_->Pack();
}

// --- The design configuration ----------------------------------------------------

namespace {

std::string ExeDir_;
std::unique_ptr<TConfiguration> Configuration_;

std::string ConfigurationFile() { return ExeDir_ + "mltlang.cfg"; }

}  // namespace

const std::string& ExeDir() { return ExeDir_; }

TConfiguration* Configuration() { return Configuration_.get(); }

void OpenConfiguration() {
  if (ExeDir_.empty()) ExeDir_ = ExecutableDir();
  if (Configuration_) return;
  std::string Path = ConfigurationFile();
  try {
    Configuration_ = std::make_unique<TConfiguration>(Path);
    return;
  } catch (const EFOpenError&) {
  }
  Configuration_ = std::make_unique<TConfiguration>();
  bool Saved = true;
  try {
    Configuration_->SaveToFile(Path);
  } catch (const Exception&) {
    Saved = false;
  }
  MessageDlg(std::string(Saved ? "New configuration file created in:" : "Error writing new configuration file in:") +
                 "\r" + Path,
             mtInformation, {mbOK}, 0);
}

void CloseConfiguration() {
  if (!Configuration_) return;
  std::unique_ptr<TConfiguration> Closing = std::move(Configuration_);
  Closing->SaveToFile(ConfigurationFile());
}
