#include "mltlang/Mltlang0.h"

#include "classes/streams.h"

const TEnumInfo& LangidNames() {
  static const TEnumInfo Names{
      "lgNEUTRAL", "lgBULGARIAN", "lgCHINESE", "lgCROATIAN", "lgCZECH", "lgDANISH", "lgDUTCH", "lgENGLISH",
      "lgFINNISH", "lgFRENCH", "lgGERMAN", "lgGREEK", "lgHUNGARIAN", "lgICELANDIC", "lgITALIAN", "lgJAPANESE",
      "lgKOREAN", "lgNORWEGIAN", "lgPOLISH", "lgPORTUGUESE", "lgROMANIAN", "lgRUSSIAN", "lgSLOVAK", "lgSLOVENIAN",
      "lgSPANISH", "lgSWEDISH", "lgTURKISH", "lgDUTCH_BELGIAN", "lgENGLISH_AMERICAN", "lgENGLISH_AUSTRALIAN",
      "lgENGLISH_CANADIAN", "lgENGLISH_NEW_ZEALAND", "lgENGLISH_IRELAND", "lgFRENCH_BELGIAN", "lgFRENCH_CANADIAN",
      "lgFRENCH_SWISS", "lgGERMAN_SWISS", "lgGERMAN_AUSTRIAN", "lgITALIAN_SWISS", "lgNORWEGIAN_NYNORSK",
      "lgPORTUGUESE_BRAZILIAN", "lgSPANISH_MEXICAN", "lgSPANISH_MODERN"};
  return Names;
}

const std::array<TLangid, LangidCount> DefaultLangOrder = {
    lgENGLISH, lgGERMAN, lgFRENCH, lgSPANISH, lgPORTUGUESE, lgITALIAN, lgJAPANESE, lgCHINESE, lgKOREAN,
    lgDUTCH, lgSWEDISH, lgDANISH, lgFINNISH, lgNORWEGIAN, lgICELANDIC, lgGREEK, lgTURKISH, lgRUSSIAN,
    lgPOLISH, lgCZECH, lgSLOVAK, lgHUNGARIAN, lgBULGARIAN, lgROMANIAN, lgCROATIAN, lgSLOVENIAN,
    lgDUTCH_BELGIAN, lgENGLISH_AMERICAN, lgENGLISH_AUSTRALIAN, lgENGLISH_CANADIAN, lgENGLISH_NEW_ZEALAND,
    lgENGLISH_IRELAND, lgFRENCH_BELGIAN, lgFRENCH_CANADIAN, lgFRENCH_SWISS, lgGERMAN_SWISS, lgGERMAN_AUSTRIAN,
    lgITALIAN_SWISS, lgNORWEGIAN_NYNORSK, lgPORTUGUESE_BRAZILIAN, lgSPANISH_MEXICAN, lgSPANISH_MODERN,
    lgNEUTRAL};

BEGIN_CLASS_INFO(TLngId, TObject, nullptr)
END_CLASS_INFO

void TLngId::LoadRecord(TLngId& Obj, TStream& Stream) {
  Obj.Id = static_cast<TLangid>(Stream.ReadInt32() & 0xFF);
}

void TLngId::StoreRecord(const TLngId& Obj, TStream& Stream) { Stream.WriteInt32(Obj.Id); }

BEGIN_CLASS_INFO(TLngLst, TObjectList, nullptr)
END_CLASS_INFO

TObject* TLngLst::CreateBlank() { return new TLngLst(TBlank{}); }

TLangid TLngLst::GetId(int Slot) const {
  // A damaged stream may have put any registered class into the list.
  auto* L = dynamic_cast<const TLngId*>(Get(Slot));
  if (!L) throw EListError(Format("No language identifier in slot %d", Slot));
  return L->Id;
}

int TLngLst::IndexOfId(TLangid Id) {
  for (int I = 0; I < Count(); ++I)
    if (auto* L = dynamic_cast<const TLngId*>(Get(I)); L && L->Id == Id) return I;
  auto New = std::make_unique<TLngId>(Id);
  int Slot = Add(New.get());
  New.release();
  return Slot;
}
