#pragma once
// The whole-circuit picture rendered with the window's QPainter canvas into a PNG file.

#include <span>
#include <string>

#include "engine/synthesis/gate.h"
#include "ui/circuitpicture.h"

class QImage;

// Draws gates 1..count of `list` laid out by `layout` on a white image of the
// layout's size; a null image when one that large cannot be allocated.
QImage circuitPictureImage(const CircuitPictureLayout& layout, std::span<const TGATE1> list, int count);

// Writes that image to `path` as PNG through replaceFile; false when the image
// could not be made, FileError (with the file and the reason) when it could not be written.
bool writeCircuitPicturePng(const CircuitPictureLayout& layout, std::span<const TGATE1> list, int count,
                            const std::string& path);
