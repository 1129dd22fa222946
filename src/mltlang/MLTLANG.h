// The translation component TMltLang, which a form carries to switch the texts
// of its components between language slots, and the process-wide design
// configuration that translation components made in a form designer share.
//
// All translation components of the process act as one: setting ActiveLang (a
// slot) or ActiveLangById (a language) on any of them switches every other one,
// and a form loaded later starts in the language chosen last. The new texts are
// in place when the setter returns. Nothing else needs calling: the form reader
// creates, reads and resolves the component, and every showing of its form
// puts the active slot's texts back.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "classes/components.h"
#include "mltlang/MLTLANG_config.h"
#include "mltlang/Mltlang1.h"

class TForm;

// Asked before every language change; Allowed (true on entry) set to false refuses it.
using TBeforeChangingEvent = TEvent<TObject*, bool&>;

class TMltLang : public TComponent {
  DECLARE_CLASS(TMltLang)
public:
  explicit TMltLang(TComponent* AOwner);
  ~TMltLang() override;

  // The active slot, 0 <= ActiveLang < MaxLang. A value out of range is ignored;
  // the active value itself applies nothing but is still asked, passed on and
  // reported.
  int ActiveLang() const { return ActiveLang_; }
  void SetActiveLang(int V);
  // The last slot carrying Id becomes active here; every other component
  // switches to its own last slot for Id, or stays where it is without one.
  TLangid ActiveLangById() const { return LangId(); }
  void SetActiveLangById(TLangid Id);
  // The number of slots. Values below 2, above the 43 identifiers there are, or
  // not above ActiveLang are ignored; fewer slots cut every item's texts.
  int MaxLang() const;
  void SetMaxLang(int N);
  // The items and slots, after the components' current texts have been taken
  // into the active slot. Setting takes a deep copy and applies the active slot.
  TInfoList* Items();
  void SetItems(TInfoList* Value);
  // The items as they stand, without taking any text.
  TInfoList& ItemList() const { return *Items_; }
  // Carried and stored, not otherwise used.
  const std::string& DefDictionary() const { return DefDictionary_; }
  void SetDefDictionary(const std::string& Value) { DefDictionary_ = Value; }
  // The identifier of the active slot (lgNEUTRAL when there is no such slot).
  // Setting it needs the slot: EListError otherwise.
  TLangid LangId() const;
  void SetLangId(TLangid Id);

  TBeforeChangingEvent OnBeforeChanging;
  TNotifyEvent OnLanguageChanged;

  // The form the component serves: the first form up its chain of owners.
  TForm* OwnerForm() const;

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void SyncItems();
  void ApplyAll();
  void FetchAll();
  // A switch to slot V: changed here, passed on with PassOnTo, remembered for
  // forms loaded later, reported.
  void Switch(int V, const std::function<void(TMltLang&)>& PassOnTo, const std::function<void()>& Remember);
  // Asks OnBeforeChanging, takes designed texts into the slot being left, and
  // lays the base texts and then slot V over the components. False when refused.
  bool ChangeTo(int V);
  void BindItems(TForm* Form);
  void ChainIntoOnShow(TForm* Form);
  void ShowHandler(TObject* Sender);
  TLangid NewSlotId(int Slot) const;

  std::unique_ptr<TInfoList> Items_;
  int ActiveLang_ = 0;
  std::string DefDictionary_;
  TNotifyEvent SavedOnShow;
  TForm* ChainedForm_ = nullptr;  // not owned: the form whose OnShow runs ShowHandler
};

// The translation package's classes: its records for the object container
// (RegisterMltlangRecordClasses) and TMltLang for the form reader. A program
// calls it at start-up, before a form holding a translation component is read.
// Later calls do nothing.
void RegisterMltlangClasses();

// --- The design configuration ----------------------------------------------------

// The directory of the running executable with its trailing separator, set by the
// first OpenConfiguration; empty before.
const std::string& ExeDir();
// The configuration of the design session; null when none is open (at run time).
TConfiguration* Configuration();

// When a translation component is created in design state: reads ExeDir +
// "mltlang.cfg" into the one configuration of the process, unless it exists.
// A file that cannot be opened is replaced by a fresh configuration, and an
// information box tells where the new file went or that it could not be written.
void OpenConfiguration();
// When the last translation component goes: saves the configuration to ExeDir +
// "mltlang.cfg" and releases it. A failure to write propagates.
void CloseConfiguration();
