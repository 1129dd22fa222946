// Language identifiers and the language list: one identifier per language slot
// of a translation component, so that slots can be found by language.
#pragma once

#include <array>
#include <cstdint>

#include "classes/typinfo.h"
#include "mltlang/tContain.h"

// Stored in one byte; form resources name the values.
enum TLangid : uint8_t {
  lgNEUTRAL, lgBULGARIAN, lgCHINESE, lgCROATIAN, lgCZECH, lgDANISH, lgDUTCH, lgENGLISH, lgFINNISH,
  lgFRENCH, lgGERMAN, lgGREEK, lgHUNGARIAN, lgICELANDIC, lgITALIAN, lgJAPANESE, lgKOREAN, lgNORWEGIAN,
  lgPOLISH, lgPORTUGUESE, lgROMANIAN, lgRUSSIAN, lgSLOVAK, lgSLOVENIAN, lgSPANISH, lgSWEDISH, lgTURKISH,
  lgDUTCH_BELGIAN, lgENGLISH_AMERICAN, lgENGLISH_AUSTRALIAN, lgENGLISH_CANADIAN, lgENGLISH_NEW_ZEALAND,
  lgENGLISH_IRELAND, lgFRENCH_BELGIAN, lgFRENCH_CANADIAN, lgFRENCH_SWISS, lgGERMAN_SWISS, lgGERMAN_AUSTRIAN,
  lgITALIAN_SWISS, lgNORWEGIAN_NYNORSK, lgPORTUGUESE_BRAZILIAN, lgSPANISH_MEXICAN, lgSPANISH_MODERN
};

inline constexpr int LangidCount = lgSPANISH_MODERN + 1;

// The names of the identifiers, for published properties of type TLangid.
const TEnumInfo& LangidNames();

// The identifier each new language slot takes: entry n for slot n.
extern const std::array<TLangid, LangidCount> DefaultLangOrder;

// The identifier of one language slot. Its record is 4 bytes: the identifier as a
// little-endian 32-bit integer.
class TLngId : public TObject {
  DECLARE_CLASS(TLngId)
public:
  explicit TLngId(TLangid AId = lgNEUTRAL) : Id(AId) {}
  static TObject* CreateBlank() { return new TLngId; }

  static void LoadRecord(TLngId& Obj, TStream& Stream);
  static void StoreRecord(const TLngId& Obj, TStream& Stream);

  TLangid Id;
};

// Element n is the identifier of language slot n.
class TLngLst : public TObjectList {
  DECLARE_CLASS(TLngLst)
public:
  TLngLst() = default;
  static TObject* CreateBlank();

  // The identifier of Slot; EListError when the slot does not exist or holds no
  // identifier.
  TLangid GetId(int Slot) const;
  // The first slot with Id; when there is none, a new slot is appended with it.
  int IndexOfId(TLangid Id);

protected:
  explicit TLngLst(TBlank B) : TObjectList(B) {}
};
