// Arbitrary bytes as the file "mltlang.cfg". Loading an existing file never
// raises: damage falls back to the defaults. What was loaded saves and loads
// back to the same values.
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "mltlang/MLTLANG_config.h"

namespace {

std::string TempName(const char* What) {
  return "/tmp/fuzz_mltlang_" + std::to_string(getpid()) + "_" + What + ".cfg";
}

std::vector<TLangid> Ids(const TConfiguration& C) {
  std::vector<TLangid> R;
  for (int I = 0; I < C.LangList().Count(); ++I) R.push_back(C.LangList().GetId(I));
  return R;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const std::string Input = TempName("in"), Output = TempName("out");
  {
    std::ofstream F(Input, std::ios::binary | std::ios::trunc);
    F.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
  }
  TConfiguration C;
  try {
    C.LoadFromFile(Input);
  } catch (...) {
    FUZZ_CHECK(!"LoadFromFile raised on an existing file");
  }
  C.SaveToFile(Output);
  TConfiguration Back;
  Back.LoadFromFile(Output);
  FUZZ_CHECK(Ids(Back) == Ids(C));
  FUZZ_CHECK(Back.DefMaxLang() == C.DefMaxLang());
  FUZZ_CHECK(Back.Reserved() == C.Reserved());
  FUZZ_CHECK(Back.DictPath() == C.DictPath());
  return 0;
}
