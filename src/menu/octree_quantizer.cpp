// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/octree_quantizer.h"

#include <algorithm>
#include <memory>

namespace vantrel {
namespace {

struct Node {
  bool leaf = false;
  std::uint64_t count = 0, r = 0, g = 0, b = 0;
  std::unique_ptr<Node> children[8];
  Node* nextReducible = nullptr;
};

class Octree {
 public:
  Octree(int maxColours, int colourBits) : maxColours_(maxColours), bits_(colourBits) {
    reducible_.assign(size_t(bits_), nullptr);
  }

  void Add(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint64_t weight) {
    Insert(root_, r, g, b, weight, 0);
    while (leaves_ > maxColours_) Reduce();
  }

  std::vector<PaletteColour> Palette() {
    std::vector<PaletteColour> palette;
    Collect(root_.get(), palette);
    return palette;
  }

 private:
  static int ChildIndex(std::uint8_t r, std::uint8_t g, std::uint8_t b, int level) {
    const int shift = 7 - level;
    return (((r >> shift) & 1) << 2) | (((g >> shift) & 1) << 1) | ((b >> shift) & 1);
  }

  void Insert(std::unique_ptr<Node>& node, std::uint8_t r, std::uint8_t g, std::uint8_t b,
              std::uint64_t weight, int level) {
    if (!node) {
      node = std::make_unique<Node>();
      node->leaf = level == bits_;
      if (node->leaf) {
        ++leaves_;
      } else {
        node->nextReducible = reducible_[size_t(level)];
        reducible_[size_t(level)] = node.get();
      }
    }
    if (node->leaf) {
      node->count += weight;
      node->r += r * weight;
      node->g += g * weight;
      node->b += b * weight;
      return;
    }
    Insert(node->children[ChildIndex(r, g, b, level)], r, g, b, weight, level + 1);
  }

  // Folds the most recently made node of the deepest level that has one into a leaf.
  void Reduce() {
    int level = bits_ - 1;
    while (level > 0 && !reducible_[size_t(level)]) --level;
    Node* node = reducible_[size_t(level)];
    if (!node) return;
    reducible_[size_t(level)] = node->nextReducible;
    int merged = 0;
    for (auto& child : node->children) {
      if (!child) continue;
      node->count += child->count;
      node->r += child->r;
      node->g += child->g;
      node->b += child->b;
      child.reset();
      ++merged;
    }
    node->leaf = true;
    leaves_ -= merged - 1;
  }

  static void Collect(const Node* node, std::vector<PaletteColour>& palette) {
    if (!node) return;
    if (node->leaf) {
      const std::uint64_t n = std::max<std::uint64_t>(node->count, 1);
      palette.push_back({std::uint8_t(node->r / n), std::uint8_t(node->g / n), std::uint8_t(node->b / n)});
      return;
    }
    for (const auto& child : node->children) Collect(child.get(), palette);
  }

  int maxColours_;
  int bits_;
  int leaves_ = 0;
  std::unique_ptr<Node> root_;
  std::vector<Node*> reducible_;
};

int Nearest(const std::vector<PaletteColour>& palette, const std::uint8_t* p) {
  int best = 0;
  long bestDistance = -1;
  for (size_t i = 0; i < palette.size(); ++i) {
    long dr = long(p[0]) - palette[i].r, dg = long(p[1]) - palette[i].g, db = long(p[2]) - palette[i].b;
    long d = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || d < bestDistance) best = int(i), bestDistance = d;
  }
  return best;
}

}  // namespace

PalettedImage QuantizeOctree(const RgbImage& image, int maxColours, int colourBits) {
  maxColours = std::clamp(maxColours, 1, 16);
  colourBits = std::clamp(colourBits, 1, 8);
  PalettedImage out;
  out.width = image.width;
  out.height = image.height;
  if (image.Empty()) return out;

  // Runs of equal pixels enter the tree once with their length as weight: menu buttons
  // are mostly black, so this keeps the quantizer fast without changing its result.
  Octree tree(maxColours, colourBits);
  const std::uint8_t* p = image.pixels.data();
  const size_t count = size_t(image.width) * size_t(image.height);
  for (size_t i = 0; i < count;) {
    size_t run = 1;
    while (i + run < count && std::equal(p + i * 3, p + i * 3 + 3, p + (i + run) * 3)) ++run;
    tree.Add(p[i * 3], p[i * 3 + 1], p[i * 3 + 2], run);
    i += run;
  }
  std::vector<PaletteColour> palette = tree.Palette();
  out.usedColours = int(palette.size());
  std::copy(palette.begin(), palette.end(), out.palette.begin());

  out.indices.resize(count);
  int lastIndex = 0;
  const std::uint8_t* lastPixel = nullptr;
  for (size_t i = 0; i < count; ++i) {
    const std::uint8_t* pixel = p + i * 3;
    if (!lastPixel || !std::equal(pixel, pixel + 3, lastPixel)) lastIndex = Nearest(palette, pixel);
    lastPixel = pixel;
    out.indices[i] = std::uint8_t(lastIndex);
  }
  return out;
}

}  // namespace vantrel
