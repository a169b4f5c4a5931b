// The full-screen test: does the foreground window cover the primary screen?
#pragma once

namespace vantor {

// Only the size counts, not the position; equal sizes count as full screen.
inline bool CoversScreen(int windowWidth, int windowHeight, double screenWidth, double screenHeight) {
    return screenWidth <= windowWidth && screenHeight <= windowHeight;
}

} // namespace vantor
