#pragma once

#include <QtGlobal>

#include <cstdint>
#include <vector>

namespace portiva {

// A captured image as the engine's image event delivers it: 8-bit grey pixels, row by row,
// kept as received and handed back to the engine unchanged. Width and Height are 0 until the
// first image arrives.
struct ImagenHuella {
    std::vector<std::uint8_t> RawImage;
    qint32 Width = 0;
    qint32 Height = 0;
    qint32 Resolution = 0;

    // The pixels cover Width x Height (the engine reads that many bytes).
    bool Completa() const {
        return Width > 0 && Height > 0 &&
               RawImage.size() >=
                   static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height);
    }
};

} // namespace portiva
