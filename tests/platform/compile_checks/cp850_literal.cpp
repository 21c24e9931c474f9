// Compiled (syntax only) by two CTest tests: as it is, it must compile; with
// KX_LITERAL_NOT_IN_CP850 defined, the literal holds the euro sign, which code
// page 850 lacks, and compilation must fail.
#include "platform/cp850.h"

using namespace kx::literals;

#ifdef KX_LITERAL_NOT_IN_CP850
constexpr auto kText = "preço em €"_cp;
#else
constexpr auto kText = "preço em R$"_cp;
#endif

static_assert(!kText.empty());
