#include "gallery/printer.h"

Printer* The_Printer = nullptr;

Printer::Printer() { The_Printer = this; }

Printer::~Printer() {
  if (The_Printer == this) The_Printer = nullptr;
}
