#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace portiva::bench {

// The image without its first `n` rows and columns: the print moves against the extraction's
// block grid and is otherwise untouched. Any grey image with `ancho`, `alto` and row-major
// `pixeles`; nothing is done when `n` leaves no image.
template <class Imagen> void recortar(Imagen& img, int n) {
    if (n <= 0 || n >= img.ancho || n >= img.alto)
        return;
    const int w = img.ancho - n, h = img.alto - n;
    std::vector<std::uint8_t> p(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        std::copy_n(img.pixeles.begin() + static_cast<std::ptrdiff_t>((y + n) * img.ancho + n), w,
                    p.begin() + static_cast<std::ptrdiff_t>(y * w));
    img.pixeles = std::move(p);
    img.ancho = w;
    img.alto = h;
}

} // namespace portiva::bench
