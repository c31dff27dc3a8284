// File: vantrel/matrix/matrix_pixel.h
//
// `MatrixPixel<T>`: one cell of a matrix together with what it holds, the
// unit in which drawings into a matrix are listed.
//
//   MatrixPixel<int> pixel(MatrixCoordinate(2, 1), 7);
//   pixel.content = 8;                               // both fields writable
//
// A plain value; equal when both fields are equal (where T has equality).
#pragma once

#include <utility>

#include "vantrel/matrix/matrix_coordinate.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class T>
struct MatrixPixel {
  MatrixPixel(MatrixCoordinate coordinate, T content)
      : coordinate(coordinate), content(std::move(content)) {}

  friend bool operator==(const MatrixPixel&, const MatrixPixel&) = default;

  MatrixCoordinate coordinate;
  T content;
};

}  // namespace vantrel
