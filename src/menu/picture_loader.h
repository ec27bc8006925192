// SPDX-License-Identifier: GPL-3.0-or-later
// Background pictures of the menu: the file formats the menu accepts, chosen by the
// file's extension, and their decoding into plain pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

enum class PictureFormat { kBmp, kJpeg, kGif, kPng, kIco, kTiff, kTga, kPcx, kWmf };

// The format named by the text after the path's last ".", without regard to case; none
// for an empty or unlisted extension.
std::optional<PictureFormat> PictureFormatForPath(const std::string& path);

// Pixels as 0xAARRGGBB words with premultiplied alpha, rows top to bottom.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  bool Empty() const { return width <= 0 || height <= 0; }
};

// Decodes the file as the given format (the first image of an animation or icon file);
// false, with `picture` empty, when the file cannot be read or is not in that format.
bool LoadPicture(const std::string& path, PictureFormat format, Picture& picture);

// Why a file cannot be the menu's background ("" when it can): it is not a readable regular
// file, its extension names no format the menu takes, it is cut short, or it does not
// decode. Asked before a run, so a picture that would leave the menu black stops it.
std::string PictureUnusableReason(const std::string& path);

}  // namespace vantrel
