#include "hxc/plan.h"

#include <algorithm>
#include <cmath>

#include "common/number_text.h"

namespace halvex::hxc {

namespace {

using ui::Color;
using ui::Shape;

constexpr Color kPaper{255, 255, 255};
constexpr Color kFrame{160, 160, 160};
constexpr Color kWall{40, 40, 40};
constexpr Color kFloor{246, 244, 236};
constexpr Color kCircle{60, 120, 200};
constexpr Color kLoudspeaker{20, 40, 90};
constexpr Color kDimension{120, 40, 40};
constexpr Color kGuide{200, 160, 160};

// Room for the dimensions left of and below the room, and a margin above
// and to the right.
constexpr double kLeftMargin = 24, kBottomMargin = 16, kMargin = 5;
constexpr double kDotRadius = 1.5;
constexpr double kTextHeight = 9;

Shape Box(Shape::Kind kind, double x, double y, double w, double h, Color color, std::optional<Color> fill) {
  Shape shape;
  shape.kind = kind;
  shape.x = x;
  shape.y = y;
  shape.w = w;
  shape.h = h;
  shape.color = color;
  shape.fill = fill;
  return shape;
}

Shape Line(double x1, double y1, double x2, double y2, Color color) {
  return Box(Shape::Kind::Line, x1, y1, x2 - x1, y2 - y1, color, std::nullopt);
}

Shape Text(double x, double y, double w, double h, std::string text, Color color) {
  Shape shape = Box(Shape::Kind::Text, x, y, w, h, color, std::nullopt);
  shape.text = std::move(text);
  return shape;
}

std::string Feet(double feet) { return FormatNumber(cone::RoundedTenth(feet), 7, false) + " ft"; }

}  // namespace

std::vector<Shape> PlanShapes(const cone::ConeInputs& inputs, const cone::ConeLayout* layout, double width,
                              double height, const std::string& message) {
  std::vector<Shape> shapes;
  shapes.push_back(Box(Shape::Kind::Rectangle, 0, 0, width, height, kFrame, kPaper));
  const double length = inputs.roomLength, across = inputs.roomWidth;
  const double roomArea = (width - kLeftMargin - kMargin), roomHeight = (height - kBottomMargin - kMargin);
  if (layout == nullptr || !(length > 0 && across > 0)) {
    shapes.push_back(Text(0, 0, width, height, message, kWall));
    return shapes;
  }
  const double scale = std::min(roomArea / length, roomHeight / across);
  const double w = length * scale, h = across * scale;
  const double left = kLeftMargin + (roomArea - w) / 2, bottom = kMargin + roomHeight - (roomHeight - h) / 2;
  const double top = bottom - h;
  shapes.push_back(Box(Shape::Kind::Rectangle, left, top, w, h, kFloor, kFloor));

  const std::vector<cone::Position> positions = cone::ConePositions(*layout, inputs.grid, kMaxDrawnLoudspeakers);
  const double r = layout->radius * scale;
  for (const cone::Position& p : positions) {
    shapes.push_back(Box(Shape::Kind::Ellipse, left + p.x * scale - r, bottom - p.y * scale - r, 2 * r, 2 * r, kCircle,
                         std::nullopt));
  }
  // The circles reach past the walls; the paper around the room covers them.
  shapes.push_back(Box(Shape::Kind::Rectangle, 0, 0, width, top, kPaper, kPaper));
  shapes.push_back(Box(Shape::Kind::Rectangle, 0, bottom, width, height - bottom, kPaper, kPaper));
  shapes.push_back(Box(Shape::Kind::Rectangle, 0, 0, left, height, kPaper, kPaper));
  shapes.push_back(Box(Shape::Kind::Rectangle, left + w, 0, width - left - w, height, kPaper, kPaper));
  shapes.push_back(Box(Shape::Kind::Rectangle, 0, 0, width, height, kFrame, std::nullopt));
  shapes.push_back(Box(Shape::Kind::Rectangle, left, top, w, h, kWall, std::nullopt));
  for (const cone::Position& p : positions) {
    shapes.push_back(Box(Shape::Kind::Ellipse, left + p.x * scale - kDotRadius, bottom - p.y * scale - kDotRadius,
                         2 * kDotRadius, 2 * kDotRadius, kLoudspeaker, kLoudspeaker));
  }
  if (positions.empty()) {
    shapes.push_back(Text(left, top, w, h, FormatNumber(layout->total, 7, false) + " loudspeakers", kWall));
  }

  // The first loudspeaker's distances: along the length below the room, along
  // the width left of it.
  const double firstX = left + layout->spacingX / 2 * scale, firstY = bottom - layout->spacingY / 2 * scale;
  const double below = bottom + 4, beside = left - 4;
  shapes.push_back(Line(firstX, firstY, firstX, below + 2, kGuide));
  shapes.push_back(Line(firstX, firstY, beside - 2, firstY, kGuide));
  shapes.push_back(Line(left, below, firstX, below, kDimension));
  shapes.push_back(Line(left, below - 2, left, below + 2, kDimension));
  shapes.push_back(Line(firstX, below - 2, firstX, below + 2, kDimension));
  shapes.push_back(Line(beside, bottom, beside, firstY, kDimension));
  shapes.push_back(Line(beside - 2, bottom, beside + 2, bottom, kDimension));
  shapes.push_back(Line(beside - 2, firstY, beside + 2, firstY, kDimension));
  const double alongMiddle = (left + firstX) / 2, acrossMiddle = (bottom + firstY) / 2;
  shapes.push_back(Text(alongMiddle - 30, below + 1, 60, kTextHeight, Feet(layout->spacingX / 2), kDimension));
  shapes.push_back(Text(0, acrossMiddle - kTextHeight / 2, beside - 1, kTextHeight, Feet(layout->spacingY / 2), kDimension));
  return shapes;
}

}  // namespace halvex::hxc
