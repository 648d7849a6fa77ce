// Logical fonts over TFont_Spec: face, cell or em height, weight, italic,
// underline. A TFont is a handle on immutable shared data, like TPen.
#pragma once

#include <memory>
#include <string>

#include "platform/gdi/font_engine.h"

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;

constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;
constexpr int ANSI_VAR_FONT = 12;

class TFont {
 public:
  // CreateFont with what the layer honours: a positive height is the cell
  // height, a negative one the em height, 0 a default size.
  TFont(const std::string& face_name, int height, int weight = FW_NORMAL, bool italic = false,
        bool underline = false);
  explicit TFont(const TFont_Spec& font_spec);
  static TFont Stock(int index);  // SYSTEM_FONT, DEFAULT_GUI_FONT, ANSI_VAR_FONT

  const TFont_Spec& Font_Spec() const { return *data_; }
  const std::shared_ptr<const TFont_Spec>& Data() const { return data_; }

 private:
  std::shared_ptr<const TFont_Spec> data_;
};
