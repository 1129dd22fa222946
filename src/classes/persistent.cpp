#include "classes/persistent.h"

#include "classes/sysutils.h"
#include "classes/typinfo.h"

TFormValue TFormValue::Integer(int64_t V) {
  TFormValue R;
  R.Kind = vkInteger;
  R.Int = V;
  return R;
}

TFormValue TFormValue::String(std::string S) {
  TFormValue R;
  R.Kind = vkString;
  R.Str = std::move(S);
  return R;
}

TFormValue TFormValue::Ident(std::string S) {
  TFormValue R;
  R.Kind = vkIdent;
  R.Str = std::move(S);
  return R;
}

BEGIN_CLASS_INFO(TPersistent, TObject, nullptr)
END_CLASS_INFO

void TPersistent::Assign(const TPersistent* Source) {
  if (Source) {
    Source->AssignTo(this);
    return;
  }
  throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) const {
  throw EConvertError("Cannot assign a " + ClassName() + " to a " + Dest->ClassName());
}
