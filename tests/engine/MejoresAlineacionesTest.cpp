// The quick count's best alignments kept for pairing in full.
#include "MejoresAlineaciones.h"

#include <gtest/gtest.h>

namespace {

using portiva::motor::MejoresAlineaciones;

TEST(MejoresAlineaciones, KeepsTheHighestCountsBestFirstAndTheFirstOfEqualOnes) {
    MejoresAlineaciones<char, 3> m;
    EXPECT_EQ(m.size(), 0);
    m.ofrecer('a', 4);
    m.ofrecer('b', 9);
    EXPECT_EQ(m.size(), 2);
    EXPECT_EQ(m[0], 'b');
    EXPECT_EQ(m[1], 'a');
    m.ofrecer('c', 4); // equal to 'a': ranks after it
    m.ofrecer('d', 2); // full, and below the third: not kept
    ASSERT_EQ(m.size(), 3);
    EXPECT_EQ(m[0], 'b');
    EXPECT_EQ(m[1], 'a');
    EXPECT_EQ(m[2], 'c');
    m.ofrecer('e', 4); // equal to the third: does not beat it
    EXPECT_EQ(m[2], 'c');
    m.ofrecer('f', 9); // equal to the best: second, and the lowest drops out
    m.ofrecer('g', 11);
    const char esperado[] = {'g', 'b', 'f'};
    const int cuentas[] = {11, 9, 9};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(m[k], esperado[k]) << k;
        EXPECT_EQ(m.cuenta(k), cuentas[k]) << k;
    }
}

TEST(MejoresAlineaciones, WithOneKeptItIsThePlainBestWhereTheFirstFoundWinsATie) {
    MejoresAlineaciones<int, 1> m;
    for (int k = 0; k < 6; ++k)
        m.ofrecer(k, k % 3); // counts 0 1 2 0 1 2
    ASSERT_EQ(m.size(), 1);
    EXPECT_EQ(m[0], 2);
    EXPECT_EQ(m.cuenta(0), 2);
}

} // namespace
