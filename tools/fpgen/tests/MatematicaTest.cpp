#include "Matematica.h"

#include <cmath>
#include <gtest/gtest.h>

namespace mat = portiva::fpgen::mat;

TEST(Matematica, SenoYCosenoCoincidenConLaBibliotecaEnTodoElRango) {
    for (double x = -200.0; x <= 200.0; x += 0.0137) {
        ASSERT_NEAR(mat::sin(x), std::sin(x), 2e-14) << x;
        ASSERT_NEAR(mat::cos(x), std::cos(x), 2e-14) << x;
    }
    EXPECT_EQ(mat::sin(0.0), 0.0);
    EXPECT_EQ(mat::cos(0.0), 1.0);
}

TEST(Matematica, ExponencialYLogaritmoTienenErrorRelativoMinimo) {
    for (double x = -700.0; x <= 700.0; x += 0.731) {
        const double e = std::exp(x);
        ASSERT_NEAR(mat::exp(x) / e, 1.0, 1e-14) << x;
    }
    for (double x = 1e-300; x < 1e300; x *= 1.37) {
        const double l = std::log(x);
        ASSERT_NEAR(mat::log(x), l, 1e-15 * std::max(1.0, std::fabs(l))) << x;
    }
    EXPECT_EQ(mat::exp(0.0), 1.0);
    EXPECT_EQ(mat::log(1.0), 0.0);
    EXPECT_EQ(mat::exp(-1000.0), 0.0);
    EXPECT_TRUE(std::isinf(mat::exp(1000.0)));
    EXPECT_TRUE(std::isnan(mat::log(-1.0)));
}

TEST(Matematica, ArcotangenteEnLosCuatroCuadrantesYLosEjes) {
    for (double y = -3.0; y <= 3.0; y += 0.0731)
        for (double x = -3.0; x <= 3.0; x += 0.0677) {
            ASSERT_NEAR(mat::atan2(y, x), std::atan2(y, x), 4e-15) << y << ", " << x;
        }
    EXPECT_DOUBLE_EQ(mat::atan2(0.0, -1.0), mat::pi);
    EXPECT_DOUBLE_EQ(mat::atan2(1.0, 0.0), mat::pi / 2);
    EXPECT_DOUBLE_EQ(mat::atan2(-1.0, 0.0), -mat::pi / 2);
    EXPECT_EQ(mat::atan2(0.0, 0.0), 0.0);
    for (double x : {1e-300, 1e-8, 0.2, 1.0, 5.0, 1e8, 1e300})
        EXPECT_NEAR(mat::atan(x), std::atan(x), 4e-16 * std::max(1.0, std::atan(x))) << x;
}
