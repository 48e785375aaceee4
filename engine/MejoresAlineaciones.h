#pragma once

#include <array>
#include <cstddef>

namespace portiva::motor {

// The K alignments of highest count offered so far, highest first. Of equal counts the one
// offered first ranks first, and one that does not beat the K-th is not kept.
template <typename T, int K> class MejoresAlineaciones {
public:
    void ofrecer(const T& t, int cuenta) {
        if (n_ == K && cuenta <= cuenta_[K - 1])
            return;
        int k = n_ < K ? n_++ : K - 1;
        for (; k > 0 && cuenta_[static_cast<std::size_t>(k - 1)] < cuenta; --k) {
            t_[static_cast<std::size_t>(k)] = t_[static_cast<std::size_t>(k - 1)];
            cuenta_[static_cast<std::size_t>(k)] = cuenta_[static_cast<std::size_t>(k - 1)];
        }
        t_[static_cast<std::size_t>(k)] = t;
        cuenta_[static_cast<std::size_t>(k)] = cuenta;
    }
    int size() const { return n_; }
    const T& operator[](int k) const { return t_[static_cast<std::size_t>(k)]; }
    int cuenta(int k) const { return cuenta_[static_cast<std::size_t>(k)]; }

private:
    std::array<T, K> t_{};
    std::array<int, K> cuenta_{};
    int n_ = 0;
};

} // namespace portiva::motor
