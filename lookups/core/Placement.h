#pragma once
// Where a lookup window opens: at the right edge of the window it serves
// (the reference), a little below that window's top, so the field the user
// typed in stays visible.
//
// The reference is the window that opened the lookup; when that is an
// entry window the lookup is known to cover badly (each lookup names its
// own), the window that opened that one is taken instead. Left = the
// reference's right edge − the lookup's width − 200 twips; when that is not
// positive the lookup is centred horizontally. Top = the reference's top +
// 1300 twips, moved up or down as far as needed to keep the whole lookup on
// the screen. Without a reference the lookup is centred.
#include <optional>
#include <span>
#include <string_view>

namespace qtmv::lookups {

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline constexpr int kPlacementRightGapPx = 13;   // 200 twips at 15 twips a pixel
inline constexpr int kPlacementTopOffsetPx = 87;  // 1300 twips

// The top-left corner of the lookup (left and top of the returned box; width
// and height are the lookup's).
Box PlaceLookup(const std::optional<Box>& reference, int width, int height, const Box& screen);

// The callers each lookup looks past when placing itself.
inline constexpr std::string_view kSkipDownstream[] = {"frm下游廠商", "frm下游廠商_印刷", "frm工務預排作業_耗時"};
inline constexpr std::string_view kSkipOutsourcing[] = {"frm下游廠商", "frm下游廠商_印刷"};
inline constexpr std::string_view kSkipScheduling[] = {"frm工務預排作業_耗時"};

bool IsSkipped(std::span<const std::string_view> skipped, std::string_view windowName);

} // namespace qtmv::lookups
