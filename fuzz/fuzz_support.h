// What the fuzz targets share: sanity checks that end the run with a report.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "mltlang/Mltlang1.h"

// The records' classes, registered once before the first input as a program
// does at start-up (libFuzzer calls LLVMFuzzerInitialize first). Each fuzzer
// is one source file that includes this header once.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  RegisterMltlangRecordClasses();
  return 0;
}

// A property that every input must keep; its failure is a finding.
#define FUZZ_CHECK(Cond)                                                    \
  do {                                                                      \
    if (!(Cond)) {                                                          \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #Cond); \
      std::abort();                                                         \
    }                                                                       \
  } while (0)
