#include "lookups/core/Placement.h"

#include <algorithm>

namespace qtmv::lookups {

Box PlaceLookup(const std::optional<Box>& reference, int width, int height, const Box& screen)
{
    Box out{0, 0, width, height};
    const int centredLeft = screen.left + std::max(0, (screen.width - width) / 2);
    if (!reference) {
        out.left = centredLeft;
        out.top = screen.top + std::max(0, (screen.height - height) / 2);
        return out;
    }
    out.left = reference->left + reference->width - width - kPlacementRightGapPx;
    if (out.left <= 0)
        out.left = centredLeft;
    out.top = reference->top + kPlacementTopOffsetPx;
    // Low on the screen the lookup moves up, so its last rows stay visible.
    out.top = std::min(out.top, screen.top + screen.height - height);
    out.top = std::max(out.top, screen.top);
    return out;
}

bool IsSkipped(std::span<const std::string_view> skipped, std::string_view windowName)
{
    return std::find(skipped.begin(), skipped.end(), windowName) != skipped.end();
}

} // namespace qtmv::lookups
