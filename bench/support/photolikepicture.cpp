#include "photolikepicture.h"

#include <algorithm>
#include <cmath>
#include <vector>

QImage PhotoLikePicture(int seed, int width, int height)
{
    std::vector<int> alongX(width), alongY(height), diagonal(width + height), antiDiagonal(width + height);
    for (int x = 0; x < width; ++x)
        alongX[x] = int(40 * std::sin(x * 0.0021 + seed));
    for (int y = 0; y < height; ++y)
        alongY[y] = int(35 * std::sin(y * 0.0033 + 2 * seed));
    for (int d = 0; d < width + height; ++d) {
        diagonal[d] = int(30 * std::sin(d * 0.0047 + 3 * seed));
        antiDiagonal[d] = int(20 * std::sin(d * 0.011 + seed));
    }
    QImage image(width, height, QImage::Format_RGB32);
    quint32 state = 0x9E3779B9u * quint32(seed + 1);
    const auto clamp = [](int value) { return std::clamp(value, 0, 255); };
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int base =
                128 + alongX[x] + alongY[y] + diagonal[x + y] + antiDiagonal[x - y + height - 1] / 2;
            const int grain = int(state & 31) - 16, tint = int((state >> 8) & 15) - 8;
            row[x] = qRgb(clamp(base + grain), clamp(base / 2 + 64 + grain + tint),
                          clamp(255 - base + grain - tint));
        }
    }
    return image;
}
