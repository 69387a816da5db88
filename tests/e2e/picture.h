// The memory-map picture as readerconsole carries it, decoded here to compare with the screen.
#pragma once

#include <windows.h>

#include <vector>

namespace e2e {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels; // row by row from the top
    COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Decodes the MEMORY_MAP_JPG resource of the program file (a Unix path of the build tree).
Picture MemoryMapOf(const char* exeUnixPath);

// Up to n points spread over the picture whose colours stand out from the window background, with
// at least two different colours among them, so that an empty or wrong window cannot match.
std::vector<POINT> DistinctivePoints(const Picture& picture, int n);

// Colours equal within a small tolerance per channel.
bool Close(COLORREF a, COLORREF b);

} // namespace e2e
