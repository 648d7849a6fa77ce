#include "platform/gdi/font.h"

TFont::TFont(const std::string& face_name, int height, int weight, bool italic, bool underline) {
  TFont_Spec font_spec;
  font_spec.face_name = face_name;
  font_spec.height = height;
  font_spec.weight = weight <= 0 ? FW_NORMAL : weight;
  font_spec.italic = italic;
  font_spec.underline = underline;
  data_ = std::make_shared<const TFont_Spec>(std::move(font_spec));
}

TFont::TFont(const TFont_Spec& font_spec) : data_(std::make_shared<const TFont_Spec>(font_spec)) {}

TFont TFont::Stock(int index) {
  static const TFont system("MS Sans Serif", 16, FW_BOLD), gui("MS Sans Serif", 13), ansi("MS Sans Serif", 13);
  switch (index) {
    case DEFAULT_GUI_FONT: return gui;
    case ANSI_VAR_FONT: return ansi;
    default: return system;
  }
}
