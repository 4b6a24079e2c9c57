// Icon files (.ico), as the icon copies in the system folder hold them: checked, or made from an
// icon group of a program or library. The layouts are written out here, without Windows headers.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

// The most bytes an icon copy may hold: far more than any real icon needs.
constexpr std::size_t MaxIconFileBytes = 1u << 20;

// True when bytes are an icon file of at most MaxIconFileBytes: the header (reserved 0, type 1,
// at least one image), then one entry per image whose bytes lie in the file after the entries.
bool IsIconFile(const std::string& bytes);

// Reads one image of an icon group (an RT_ICON resource) by its id; nullopt when there is none.
using IconImageReader = std::function<std::optional<std::string>(unsigned id)>;

// The icon file for an icon group resource (the same header, then 14-byte entries that end in
// the image's id rather than its place), each image read through readImage. Nullopt when the
// group is malformed, an image is missing or empty, or the file would exceed MaxIconFileBytes.
std::optional<std::string> IconFileFromGroup(const std::string& group, const IconImageReader& readImage);
