#pragma once

// Timings of one kind gathered by a benchmark, printed as median, minimum and maximum.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace portiva::banco {

inline double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Cifras {
    std::vector<double> ms;
    void agregar(double v) { ms.push_back(v); }
    double mediana() const {
        auto c = ms;
        std::sort(c.begin(), c.end());
        return c.empty() ? 0 : c[c.size() / 2];
    }
    double minimo() const { return ms.empty() ? 0 : *std::min_element(ms.begin(), ms.end()); }
    double maximo() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
    void imprimir(const char* que, int decimales = 1) const {
        if (ms.empty())
            return;
        std::printf("  %-46s median %7.*f ms   min %7.*f   max %7.*f   (n=%zu)\n", que, decimales,
                    mediana(), decimales, minimo(), decimales, maximo(), ms.size());
    }
};

} // namespace portiva::banco
