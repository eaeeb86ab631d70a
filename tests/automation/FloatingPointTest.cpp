// Both Windows builds must round alike: the i686 one computes in SSE2 doubles, as x64 does, not
// in x87's 80-bit registers, or money, formats and the evaluator could differ by bitness.
#include <gtest/gtest.h>

#include <cfloat>

TEST(FloatingPoint, IntermediatesAreDoubles) {
    EXPECT_EQ(FLT_EVAL_METHOD, 0);
    // Half an epsilon above 1 rounds back to 1 in a double; an 80-bit intermediate keeps it.
    volatile double half = DBL_EPSILON / 2;
    double sum = 1.0 + half;
    EXPECT_EQ(sum - 1.0, 0.0);
}
