#include <gtest/gtest.h>

#include "runtime/Demangle.h"

namespace {

TEST(DemangleTest, RoutineNamesAsWritten) {
  const struct {
    const char* linkageName;
    const char* routine;
  } kCases[] = {
      {"_Z7BEOLVASv", "BEOLVAS"},
      {"_Z10KIIRMATRIXR6TMATRIXR11TRESZMATRIX", "KIIRMATRIX"},
      {"_ZL5UJLAPv", "UJLAP"},
      {"_ZN12_GLOBAL__N_17OnFaultEiP9siginfo_tPv", "OnFault"},
      {"_ZN6Rutink9BILLREVAREv", "BILLREVAR"},
      {"_ZN1a2bc3defEi", "def"},
      {"_ZNL4Open4FileEv", "File"},
      {"main", "main"},
      {"FELDOLGOZ", "FELDOLGOZ"},
      {"", ""},
      // Forms the parser does not take apart are kept whole.
      {"_ZN3FooC1Ev", "_ZN3FooC1Ev"},
      {"_ZSt9terminatev", "_ZSt9terminatev"},
      {"_Z", "_Z"},
      {"_Z9Short", "_Z9Short"},
      {"_ZN3Foo", "_ZN3Foo"},
      {"_Z03Foov", "_Z03Foov"},
      {"_Z99999999999999999999999x", "_Z99999999999999999999999x"},
  };
  for (const auto& row : kCases)
    EXPECT_EQ(RoutineName(row.linkageName), row.routine) << row.linkageName;
}

}  // namespace
