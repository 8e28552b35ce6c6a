#pragma once

#include "imaging/imagehandle.h"

class QPrinter;
class QWidget;

namespace image {

/// The printer and page the program prints on, chosen in Print Setup and
/// kept for the run.
QPrinter& programPrinter();
/// The Print Setup dialog on programPrinter().
void printSetup(QWidget* parent);

/// Prints the picture on the printer's page: with `fitToPage` turned to the
/// page's shape, two thirds of the page and centred, else at its size on the
/// screen from the top-left corner of the printable area. 1 or a negative
/// code of errors.h.
int printPicture(QPrinter& printer, const imaging::ImageHandle& picture, bool fitToPage);

}  // namespace image
